// The README's command reference against the programs' own --help: every command it lists exists, and
// every option it names is one that command takes.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "support/run_program.h"

namespace qf {
namespace {

// Splits `text` at every occurrence of `separator`.
std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + separator.size())
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

struct Listed {
    std::vector<std::string> command;  // "view", "add"
    std::vector<std::string> options;  // "--view"
};

// One README reference line ("quillfeed views | view add|update ... [--x]") as the commands it names.
std::vector<Listed> CommandsOf(const std::string& line) {
    std::vector<Listed> listed;
    for (const std::string& segment : Split(line.substr(line.find("quillfeed ") + 10), " | ")) {
        std::istringstream words(segment);
        std::vector<std::vector<std::string>> paths{{}};
        std::vector<std::string> options;
        bool naming = true;
        for (std::string word; words >> word;) {
            for (const std::string& option : Split(word, "|")) {
                std::smatch found;
                if (std::regex_search(option, found, std::regex("--[a-z0-9-]+"))) options.push_back(found[0]);
            }
            naming = naming && std::regex_match(word, std::regex("[a-z][a-z0-9|-]*"));
            if (!naming) continue;
            std::vector<std::vector<std::string>> longer;
            for (const auto& path : paths) {
                for (const std::string& alternative : Split(word, "|")) {
                    longer.push_back(path);
                    longer.back().push_back(alternative);
                }
            }
            paths = longer;
        }
        for (const auto& path : paths) listed.push_back({path, options});
    }
    return listed;
}

TEST(ReadmeReference, EveryListedCommandAndOptionIsInItsHelp) {
    std::ifstream readme(std::string(QF_SOURCE_DIR) + "/README.md");
    ASSERT_TRUE(readme);
    int checked = 0;
    for (std::string line; std::getline(readme, line);) {
        if (line.rfind("    quillfeed ", 0) != 0) continue;
        for (const Listed& listed : CommandsOf(line)) {
            std::vector<std::string> argv{test::BuiltProgram("quillfeed")};
            argv.insert(argv.end(), listed.command.begin(), listed.command.end());
            argv.push_back("--help");
            test::ProgramResult help = test::RunProgram(argv);
            std::string name =
                "quillfeed " + listed.command[0] + (listed.command.size() > 1 ? " " + listed.command[1] : "");
            ASSERT_EQ(help.exit_code, 0) << name << ": " << help.err;
            // CLI11 prints the usage of the command it resolved: a misspelt subcommand shows its parent's.
            EXPECT_NE(help.out.find(listed.command.back()), std::string::npos) << name;
            for (const std::string& option : listed.options)
                EXPECT_NE(help.out.find(option), std::string::npos) << name << " has no " << option;
            ++checked;
        }
    }
    EXPECT_GT(checked, 30);
}

}  // namespace
}  // namespace qf
