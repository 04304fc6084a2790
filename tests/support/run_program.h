// Runs one of the built programs (quillfeed, quillfeed-emu) as a child process and collects its output.
#pragma once

#include <gtest/gtest.h>
#include <spawn.h>

#include <string>
#include <vector>

namespace qf::test {

struct ProgramResult {
    int exit_code = -1;  // -1 when the child did not exit normally
    std::string out;
    std::string err;
};

// Path of a program built by this tree ("quillfeed" -> <build>/cli/quillfeed).
std::string BuiltProgram(const std::string& name);

// Starts `argv` (argv[0] a path) with `actions` and the extra `env` entries ("NAME=value") added to this
// process's environment: the child's pid, or -1 with posix_spawn's error in `error`.
pid_t SpawnProgram(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                   const posix_spawn_file_actions_t& actions, int& error);

// Runs `argv` (argv[0] a path) with `stdin_text` on its standard input and the extra `env` entries
// ("NAME=value") added to this process's environment; waits for it. Any thread.
ProgramResult RunProgram(const std::vector<std::string>& argv, const std::string& stdin_text = {},
                         const std::vector<std::string>& env = {});

// The exit code FailedWith takes for "any but 0".
constexpr int kNonZero = 256;
enum class ErrorLines { kAny, kOne };
// Passes when `result` ended with `exit_code` (any but 0 with kNonZero) and its standard error holds
// `reason`, all of it on one line with ErrorLines::kOne.
::testing::AssertionResult FailedWith(const ProgramResult& result, int exit_code, const std::string& reason,
                                      ErrorLines lines = ErrorLines::kAny);

}  // namespace qf::test
