#include "support/run_program.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstring>
#include <filesystem>

extern char** environ;

namespace qf::test {
namespace {

// Pumps stdin and both output pipes together so that a child writing a lot never blocks on a full pipe.
void Pump(int in_fd, const std::string& stdin_text, int out_fd, int err_fd, ProgramResult& result) {
    size_t written = 0;
    if (stdin_text.empty()) {
        ::close(in_fd);
        in_fd = -1;
    }
    std::array<char, 65536> buffer;
    while (out_fd >= 0 || err_fd >= 0) {
        std::array<pollfd, 3> fds{pollfd{out_fd, POLLIN, 0}, pollfd{err_fd, POLLIN, 0},
                                  pollfd{in_fd, POLLOUT, 0}};
        if (::poll(fds.data(), fds.size(), -1) < 0) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            ssize_t n = ::read(fds[i].fd, buffer.data(), buffer.size());
            if (n <= 0) {
                ::close(fds[i].fd);
                (i == 0 ? out_fd : err_fd) = -1;
            } else {
                (i == 0 ? result.out : result.err).append(buffer.data(), n);
            }
        }
        if (in_fd >= 0 && fds[2].revents != 0) {
            ssize_t n = ::write(in_fd, stdin_text.data() + written, stdin_text.size() - written);
            if (n > 0) written += n;
            if (n <= 0 || written == stdin_text.size()) {
                ::close(in_fd);
                in_fd = -1;
            }
        }
    }
    if (in_fd >= 0) ::close(in_fd);
}

}  // namespace

std::string BuiltProgram(const std::string& name) {
    for (const char* folder : {"cli", "emulator"}) {
        std::filesystem::path candidate = std::filesystem::path(QF_BINARY_DIR) / folder / name;
        if (std::filesystem::exists(candidate)) return candidate.string();
    }
    return name;
}

pid_t SpawnProgram(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                   const posix_spawn_file_actions_t& actions, int& error) {
    std::vector<std::string> env_strings;
    for (char** e = environ; *e != nullptr; ++e) env_strings.emplace_back(*e);
    env_strings.insert(env_strings.end(), env.begin(), env.end());
    std::vector<char*> envp, args;
    for (auto& s : env_strings) envp.push_back(s.data());
    envp.push_back(nullptr);
    std::vector<std::string> argv_copy = argv;
    for (auto& s : argv_copy) args.push_back(s.data());
    args.push_back(nullptr);
    pid_t pid = -1;
    error = ::posix_spawn(&pid, args[0], &actions, nullptr, args.data(), envp.data());
    return error == 0 ? pid : -1;
}

ProgramResult RunProgram(const std::vector<std::string>& argv, const std::string& stdin_text,
                         const std::vector<std::string>& env) {
    // A child that exits without reading all of its input must not kill the test with SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    std::array<int, 2> in{}, out{}, err{};
    if (::pipe2(in.data(), O_CLOEXEC) != 0 || ::pipe2(out.data(), O_CLOEXEC) != 0 ||
        ::pipe2(err.data(), O_CLOEXEC) != 0) {
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);

    ProgramResult result;
    int rc = 0;
    pid_t pid = SpawnProgram(argv, env, actions, rc);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    if (rc != 0) {
        ::close(in[1]);
        ::close(out[0]);
        ::close(err[0]);
        result.err = std::string("cannot start ") + argv[0] + ": " + std::strerror(rc);
        return result;
    }
    Pump(in[1], stdin_text, out[0], err[0], result);
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

::testing::AssertionResult FailedWith(const ProgramResult& result, int exit_code, const std::string& reason,
                                      ErrorLines lines) {
    bool code = exit_code == kNonZero ? result.exit_code != 0 : result.exit_code == exit_code;
    bool one_line = std::count(result.err.begin(), result.err.end(), '\n') == 1 && result.err.back() == '\n';
    if (code && result.err.find(reason) != std::string::npos && (lines == ErrorLines::kAny || one_line))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "exit code " << result.exit_code << " and " << result.err
                                         << "(wanted " << exit_code << " and \"" << reason << "\")";
}

}  // namespace qf::test
