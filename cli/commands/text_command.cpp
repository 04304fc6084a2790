// `quillfeed text decode|clean TEXT`: the item's text rules applied to a text from the command line, so
// that they can be checked from outside.
#include <iostream>

#include "commands/commands.h"
#include "parse/text_cleanup.h"
#include "windows.h"

namespace qf::cli {
namespace {

enum class Cleanup { kDecode, kLongText, kOneLine };

std::u16string Apply(Cleanup cleanup, const std::u16string& text) {
    switch (cleanup) {
        case Cleanup::kDecode:
            return DecodeEntities(text);
        case Cleanup::kLongText:
            return StripCdata(DecodeEntities(text));
        case Cleanup::kOneLine:
            return StripMarkup(DecodeEntities(DecodeEntities(text)));
    }
    return text;
}

CommandResult RunText(CommandContext& context, Cleanup cleanup, const std::string& input) {
    const std::string result = WideToUtf8(Apply(cleanup, Utf8ToWide(input)));
    return Reply(context, {{"text", input}, {"result", result}},
                 [&](std::ostream& out) { out << result << '\n'; });
}

}  // namespace

void AddTextCommands(CLI::App& app, CommandContext& context) {
    CLI::App* text = app.add_subcommand("text", "Apply the item's text rules to a text");
    text->require_subcommand(1);
    auto input = std::make_shared<std::string>();
    auto one_line = std::make_shared<bool>(false);

    CLI::App* decode = text->add_subcommand("decode", "Decode entity references once, as the item does");
    decode->add_option("text", *input, "Text as a feed writes it, e.g. \"Fish &amp;amp; Chips\"")->required();
    decode->callback([&context, input] {
        context.SetAction([&context, input] { return RunText(context, Cleanup::kDecode, *input); });
    });

    CLI::App* clean = text->add_subcommand(
        "clean", "The cleanup an item description gets: entities decoded once, CDATA sections opened");
    clean->add_option("text", *input, "Text as a feed writes it")->required();
    clean->add_flag("--line", *one_line,
                    "The cleanup of titles and other one-line texts instead: entities decoded twice, "
                    "markup stripped");
    clean->callback([&context, input, one_line] {
        context.SetAction([&context, input, one_line] {
            return RunText(context, *one_line ? Cleanup::kOneLine : Cleanup::kLongText, *input);
        });
    });
}

}  // namespace qf::cli
