// A built program running beside the test: the test writes to its standard input while it runs, and
// collects its exit code at the end. Its output goes to files, so it never blocks on a full pipe.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace qf::test {

class BackgroundProgram {
  public:
    // Starts `argv` (argv[0] a path) with the extra `env` entries; stdout and stderr go to
    // `output_prefix` + ".out" / ".err".
    BackgroundProgram(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                      const std::filesystem::path& output_prefix);
    // Kills the program if it still runs.
    ~BackgroundProgram();
    BackgroundProgram(const BackgroundProgram&) = delete;
    BackgroundProgram& operator=(const BackgroundProgram&) = delete;

    bool started() const { return pid_ > 0; }
    // Writes to the program's standard input; false when it cannot.
    bool Write(const std::string& text);
    // Sends `signal` to the program while it runs.
    void Signal(int signal);
    // Closes standard input and waits for the program: its exit code, -1 when it did not exit normally.
    int Finish();
    // Waits up to `limit` for the program to end: its wait status (as waitpid gives it), or nothing
    // while it still runs.
    std::optional<int> WaitFor(std::chrono::milliseconds limit);
    std::string Output() const;
    std::string Errors() const;

  private:
    pid_t pid_ = -1;
    int stdin_fd_ = -1;
    std::filesystem::path output_prefix_;
};

}  // namespace qf::test
