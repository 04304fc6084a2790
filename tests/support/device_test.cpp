#include "support/device_test.h"

#include <sqlite3.h>

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

std::string DeviceTest::Sql(const std::string& sql) const {
    return SqlText(Host("Program Files/Quillfeed/Quillfeed.cdb"), sql);
}

std::string Texts(const nlohmann::json& window, const std::string& separator) {
    std::string texts;
    for (const nlohmann::json& text : window["texts"]) texts += text["text"].get<std::string>() + separator;
    return texts;
}

std::string SqlText(const std::string& file, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_busy_timeout(db, 10000);
    sqlite3_stmt* statement = nullptr;
    std::string text = "(error)";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
        text.clear();
        while (sqlite3_step(statement) == SQLITE_ROW) {
            const unsigned char* cell = sqlite3_column_text(statement, 0);
            text += cell ? reinterpret_cast<const char*>(cell) : "";
        }
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return text;
}

std::string Pick(const nlohmann::json& from, std::initializer_list<const char*> pointers) {
    nlohmann::json values = nlohmann::json::array();
    for (const char* pointer : pointers) {
        nlohmann::json::json_pointer at(pointer);
        values.push_back(from.contains(at) ? from[at] : nullptr);
    }
    return values.dump();
}

const nlohmann::json* Find(const nlohmann::json& in, const nlohmann::json& fields) {
    for (const nlohmann::json& element : in) {
        bool all = true;
        for (const auto& [key, value] : fields.items())
            all = all && element.value(key, nlohmann::json()) == value;
        if (all) return &element;
    }
    return nullptr;
}

}  // namespace qf::test
