// Runs one of the built programs (quillfeed, quillfeed-emu) as a child process and collects its output.
#pragma once

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

// Runs `argv` (argv[0] a path) with `stdin_text` on its standard input and the extra `env` entries
// ("NAME=value") added to this process's environment; waits for it. Any thread.
ProgramResult RunProgram(const std::vector<std::string>& argv, const std::string& stdin_text = {},
                         const std::vector<std::string>& env = {});

}  // namespace qf::test
