// `quillfeed date TEXT`: what the item's date parser makes of a feed's date text, on the device clock
// (text it cannot read gives the current local time).
#include <cstdio>
#include <iostream>

#include "commands/commands.h"
#include "parse/dates.h"
#include "windows.h"

namespace qf::cli {
namespace {

std::string Text(const DateTime& time) {
    const DateTime::Fields f = time.ToFields();
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04lld-%02d-%02d %02d:%02d:%02d", static_cast<long long>(f.year),
                  f.month, f.day, f.hour, f.minute, f.second);
    return buffer;
}

CommandResult RunDate(CommandContext& context, const std::string& input) {
    if (Status used = context.UseDevice(DeviceNeed::kMayCreate); !used) return used.failure();
    const DateTime date = ParseDate(Utf8ToWide(input));
    const std::string gmt = WideToUtf8(FormatGmt(date));
    return Reply(context, {{"text", input}, {"date", Text(date)}, {"formatGmt", gmt}},
                 [&](std::ostream& out) { out << Text(date) << " (" << gmt << ")\n"; });
}

}  // namespace

void AddDateCommand(CLI::App& app, CommandContext& context) {
    auto input = std::make_shared<std::string>();
    CLI::App* date = app.add_subcommand("date", "Show the GMT time a feed date text stands for");
    date->add_option("text", *input, "A date as feeds write it, e.g. \"Mon, 02 Jan 2006 10:00:00 EDT\"")
        ->required();
    date->callback(Action(context, input, RunDate));
}

}  // namespace qf::cli
