// `quillfeed settings get|set|list`: the item's settings, read and written through the same store the
// item uses, so the command line sees exactly what the item sees.
#include <charconv>
#include <iostream>
#include <optional>

#include "commands/commands.h"
#include "commands/settings_walk.h"
#include "common/settings_store.h"
#include "windows.h"

namespace qf::cli {
namespace {

struct SettingsArgs {
    std::string section;
    std::string key;
    std::string value;
    std::optional<std::string> default_value;
    bool as_dword = false;
    bool as_string = false;
};

std::optional<LONG> ParseDword(const std::string& text) {
    bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* begin = text.data() + (hex ? 2 : 0);
    const char* end = text.data() + text.size();
    if (hex) {
        std::uint32_t value = 0;
        auto [ptr, ec] = std::from_chars(begin, end, value, 16);
        if (ec != std::errc() || ptr != end) return std::nullopt;
        return static_cast<LONG>(value);
    }
    std::int64_t value = 0;
    auto [ptr, ec] = std::from_chars(begin, end, value, 10);
    if (ec != std::errc() || ptr != end || value < INT32_MIN || value > UINT32_MAX) return std::nullopt;
    return static_cast<LONG>(static_cast<std::uint32_t>(value));
}

nlohmann::json ToJson(const SettingValue& setting) {
    nlohmann::json value =
        setting.type == REG_DWORD ? nlohmann::json(setting.number) : nlohmann::json(WideToUtf8(setting.text));
    return {{"section", WideToUtf8(setting.section)},
            {"key", WideToUtf8(setting.key)},
            {"type", setting.type == REG_DWORD ? "dword" : "string"},
            {"value", value}};
}

std::string ToText(const SettingValue& setting) {
    return setting.type == REG_DWORD ? std::to_string(setting.number) : WideToUtf8(setting.text);
}

CommandResult RunGet(CommandContext& context, const SettingsArgs& args) {
    if (Status used = context.UseDevice(DeviceNeed::kExisting); !used) return used.failure();
    std::optional<SettingValue> found = ReadSetting(Utf8ToWide(args.section), Utf8ToWide(args.key));
    if (!found) {
        std::string fallback = args.default_value.value_or("");
        return ReplyAsIs(
            context, {{"section", args.section}, {"key", args.key}, {"type", "missing"}, {"value", fallback}},
            [&](std::ostream& out) { out << fallback << '\n'; });
    }
    return ReplyAsIs(context, ToJson(*found), [&](std::ostream& out) { out << ToText(*found) << '\n'; });
}

CommandResult RunSet(CommandContext& context, const SettingsArgs& args) {
    if (!args.as_dword && !args.as_string) return Fail("settings set needs --dword or --string");
    if (Status used = context.UseDevice(DeviceNeed::kExisting); !used) return used.failure();
    std::u16string section = Utf8ToWide(args.section);
    std::u16string key = Utf8ToWide(args.key);
    if (args.as_dword) {
        std::optional<LONG> number = ParseDword(args.value);
        if (!number) return Fail("not a 32-bit number: '" + args.value + "'");
        AppSettings().WriteDword(section, key, *number);
    } else {
        AppSettings().WriteString(section, key, Utf8ToWide(args.value));
    }
    std::optional<SettingValue> stored = ReadSetting(section, key);
    if (!stored) return Fail("could not write " + args.section + "/" + args.key);
    return ReplyAsIs(context, ToJson(*stored), [&](std::ostream& out) {
        out << args.section << '/' << args.key << " = " << ToText(*stored) << '\n';
    });
}

CommandResult RunList(CommandContext& context, const SettingsArgs& args) {
    if (Status used = context.UseDevice(DeviceNeed::kExisting); !used) return used.failure();
    std::vector<SettingValue> settings = ListSettings(Utf8ToWide(args.section));
    nlohmann::json list = nlohmann::json::array();
    for (const SettingValue& setting : settings) list.push_back(ToJson(setting));
    return ReplyAsIs(context, list, [&](std::ostream& out) {
        for (const SettingValue& setting : settings) {
            out << WideToUtf8(setting.section) << '/' << WideToUtf8(setting.key) << " = " << ToText(setting)
                << '\n';
        }
    });
}

}  // namespace

void AddSettingsCommands(CLI::App& app, CommandContext& context) {
    auto args = std::make_shared<SettingsArgs>();
    CLI::App* settings = app.add_subcommand("settings", "Read and write the item's settings");
    settings->require_subcommand(1);

    CLI::App* get = settings->add_subcommand("get", "Print one setting (the default when it is not set)");
    get->add_option("section", args->section, "Section, e.g. Today or RSSMap\\Map3")->required();
    get->add_option("key", args->key, "Key, e.g. VSize")->required();
    get->add_option("--default", args->default_value, "Printed when the setting is missing");
    get->callback(Action(context, args, RunGet));

    CLI::App* set = settings->add_subcommand("set", "Store one setting");
    set->add_option("section", args->section, "Section")->required();
    set->add_option("key", args->key, "Key")->required();
    set->add_option("value", args->value, "Value: text, or a number (decimal or 0x hex) with --dword")
        ->required();
    auto* dword_flag = set->add_flag("--dword", args->as_dword, "Store a REG_DWORD number");
    auto* string_flag = set->add_flag("--string", args->as_string, "Store a REG_SZ text");
    dword_flag->excludes(string_flag);
    set->callback(Action(context, args, RunSet));

    CLI::App* list = settings->add_subcommand("list", "Print every setting, or those of one section");
    list->add_option("section", args->section, "Section (with its subsections)");
    list->callback(Action(context, args, RunList));
}

}  // namespace qf::cli
