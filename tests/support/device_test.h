// The base of the tests that run the built programs on a throw-away device: `quillfeed` commands,
// `quillfeed-emu` scripts and the JSON files they leave there. Main test thread.
#pragma once

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/run_program.h"
#include "support/temp_device.h"

namespace qf::test {

// The environment that pins the programs' clock to 3 May 2024, 09:00.
inline const std::vector<std::string> kPinnedClock = {"QUILLFEED_CLOCK=2024-05-03T09:00:00"};

class DeviceTest : public ::testing::Test {
  protected:
    // `quillfeed --device ROOT args...`, with `env_` added to its environment.
    ProgramResult Quillfeed(std::vector<std::string> args) const;
    // Quillfeed with --json, its output parsed (an empty object, and a failed expectation, when it printed
    // nothing).
    nlohmann::json QuillfeedJson(std::vector<std::string> args) const;
    // `quillfeed-emu HOST --device ROOT --script FILE extra...` with `lines` as the script and `env_`. In
    // "dump NAME" and "screenshot NAME" lines a NAME without a folder is a file in the device folder.
    ProgramResult Emulate(const std::string& host, const std::vector<std::string>& lines,
                          const std::vector<std::string>& extra = {}) const;
    // The JSON file NAME in the device folder.
    nlohmann::json Dump(const std::string& name) const;
    std::string Host(const std::string& name) const { return device_.HostPath(name).string(); }
    // The first column of every row `sql` answers in the device's database, read straight with SQLite
    // (waiting up to 10 s for a lock) and joined; "(error)" when the statement does not compile.
    std::string Sql(const std::string& sql) const;
    std::string root() const { return device_.root().string(); }

    TempDevice device_;
    std::vector<std::string> env_;
};

// Every text drawn in `window` (a window of a dump), each followed by `separator`.
std::string Texts(const nlohmann::json& window, const std::string& separator = "|");

// The first column of every row `sql` answers in the SQLite file at the host path `file`, read straight
// (waiting up to 10 s for a lock) and joined; "(error)" when the statement does not compile.
std::string SqlText(const std::string& file, const std::string& sql);

// The values at the JSON pointers (such as "/items/0/rect") as one compact array, null where absent, so
// that one comparison checks several fields of a dump.
std::string Pick(const nlohmann::json& from, std::initializer_list<const char*> pointers);

// The first element of the array `in` that has every member of `fields`; nullptr when none has.
const nlohmann::json* Find(const nlohmann::json& in, const nlohmann::json& fields);

}  // namespace qf::test
