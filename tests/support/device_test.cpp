#include "support/device_test.h"

#include <fstream>

namespace qf::test {

ProgramResult DeviceTest::Quillfeed(std::vector<std::string> args) const {
    args.insert(args.begin(), {BuiltProgram("quillfeed"), "--device", root()});
    return RunProgram(args, {}, env_);
}

nlohmann::json DeviceTest::QuillfeedJson(std::vector<std::string> args) const {
    args.insert(args.begin(), "--json");
    ProgramResult result = Quillfeed(args);
    EXPECT_FALSE(result.out.empty()) << result.err;
    return nlohmann::json::parse(result.out.empty() ? "{}" : result.out);
}

ProgramResult DeviceTest::Emulate(const std::string& host, const std::vector<std::string>& lines,
                                  const std::vector<std::string>& extra) const {
    std::ofstream script(device_.HostPath("script.txt"));
    for (const std::string& line : lines) {
        size_t space = line.find(' ');
        std::string verb = line.substr(0, space);
        bool local = (verb == "dump" || verb == "screenshot") && line.find('/') == std::string::npos;
        script << (local ? verb + " " + Host(line.substr(space + 1)) : line) << '\n';
    }
    script.close();
    std::vector<std::string> args = {
        BuiltProgram("quillfeed-emu"), host, "--device", root(), "--script", Host("script.txt")};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunProgram(args, {}, env_);
}

nlohmann::json DeviceTest::Dump(const std::string& name) const {
    std::ifstream in(device_.HostPath(name));
    return nlohmann::json::parse(in);
}

std::string Pick(const nlohmann::json& from, std::initializer_list<const char*> pointers) {
    nlohmann::json values = nlohmann::json::array();
    for (const char* pointer : pointers) {
        nlohmann::json::json_pointer at(pointer);
        values.push_back(from.contains(at) ? from[at] : nullptr);
    }
    return values.dump();
}

}  // namespace qf::test
