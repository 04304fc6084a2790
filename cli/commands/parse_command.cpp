// `quillfeed parse FILE`: runs the item's feed parser on a host file and prints the parsed feed exactly
// as the download run would get it (raw texts, before cleanup). The custom field mappings come from the
// device's settings when there is a device; without one the standard mappings apply.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "commands/commands.h"
#include "common/settings_store.h"
#include "parse/feed_parser.h"
#include "qfdevice/device.h"
#include "windows.h"

namespace qf::cli {
namespace {

// Longest description shown in the text summary.
constexpr size_t kSummaryDescriptionChars = 160;

std::string ReadHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw CommandError("cannot read " + path);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw CommandError("cannot read " + path);
    return bytes;
}

CustomMappingSource DeviceMappings() {
    if (!std::filesystem::is_directory(qf::device::StateDir())) return NoCustomMapping;
    return [](int map_index) { return ReadCustomMapping(AppSettings(), map_index); };
}

// Keys in the order of the parsed feed's fields, for people reading the output.
nlohmann::ordered_json ToJson(const ParsedFeed& feed) {
    nlohmann::ordered_json items = nlohmann::ordered_json::array();
    for (const ParsedItem& item : feed.items) {
        items.push_back(nlohmann::ordered_json{{"title", WideToUtf8(item.title)},
                                               {"description", WideToUtf8(item.description)},
                                               {"link", WideToUtf8(item.link)},
                                               {"date", WideToUtf8(item.date)},
                                               {"guid", WideToUtf8(item.guid)},
                                               {"enclosureUrl", WideToUtf8(item.enclosureUrl)},
                                               {"enclosureLength", item.enclosureLength}});
    }
    return nlohmann::ordered_json{{"ok", true},
                                  {"sourcePath", WideToUtf8(feed.sourcePath)},
                                  {"formatCode", feed.formatCode},
                                  {"formatName", WideToUtf8(feed.formatName)},
                                  {"title", WideToUtf8(feed.title)},
                                  {"link", WideToUtf8(feed.link)},
                                  {"description", WideToUtf8(feed.description)},
                                  {"date", WideToUtf8(feed.date)},
                                  {"items", std::move(items)}};
}

// One line of at most kSummaryDescriptionChars characters.
std::string OneLine(std::u16string text) {
    for (char16_t& c : text) {
        if (c == u'\r' || c == u'\n' || c == u'\t') c = u' ';
    }
    if (text.size() > kSummaryDescriptionChars) text = text.substr(0, kSummaryDescriptionChars) + u"...";
    return WideToUtf8(text);
}

void PrintField(const char* label, const std::u16string& value) {
    if (!value.empty()) std::cout << "    " << label << ": " << OneLine(value) << '\n';
}

void PrintSummary(const ParsedFeed& feed) {
    std::cout << WideToUtf8(feed.title) << '\n'
              << "  format: " << WideToUtf8(feed.formatName) << " (" << feed.formatCode << ")\n";
    if (!feed.link.empty()) std::cout << "  link: " << OneLine(feed.link) << '\n';
    if (!feed.date.empty()) std::cout << "  date: " << OneLine(feed.date) << '\n';
    if (!feed.description.empty()) std::cout << "  description: " << OneLine(feed.description) << '\n';
    std::cout << "  " << feed.items.size() << (feed.items.size() == 1 ? " item" : " items") << '\n';
    for (size_t i = 0; i < feed.items.size(); ++i) {
        const ParsedItem& item = feed.items[i];
        std::cout << "  " << i + 1 << ". " << OneLine(item.title) << '\n';
        PrintField("link", item.link);
        PrintField("date", item.date);
        PrintField("guid", item.guid);
        PrintField("description", item.description);
        if (!item.enclosureUrl.empty()) {
            std::cout << "    enclosure: " << WideToUtf8(item.enclosureUrl) << " (" << item.enclosureLength
                      << " bytes)\n";
        }
    }
}

int RunParse(CommandContext& context, const std::string& file) {
    context.UseDevice(DeviceNeed::kMayCreate);
    const std::string bytes = ReadHostFile(file);
    ParsedFeed feed;
    switch (ParseFeedBytes(feed, bytes, Utf8ToWide(file), DeviceMappings())) {
        case FeedParseStatus::kOk:
            break;
        case FeedParseStatus::kUnreadable:
            throw CommandError(file + ": no XML elements could be read");
        case FeedParseStatus::kUnknownFormat:
            throw CommandError(file + ": not an RSS, Atom or OPML feed");
    }
    if (context.json()) {
        std::cout << ToJson(feed).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    } else {
        PrintSummary(feed);
    }
    return 0;
}

}  // namespace

void AddParseCommand(CLI::App& app, CommandContext& context) {
    auto file = std::make_shared<std::string>();
    CLI::App* parse =
        app.add_subcommand("parse", "Parse a feed file (RSS, Atom, OPML) and print what it holds");
    parse->add_option("file", *file, "The feed file (a path on this computer)")->required();
    parse->callback(
        [&context, file] { context.SetAction([&context, file] { return RunParse(context, *file); }); });
}

}  // namespace qf::cli
