#include "support/background_program.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/run_program.h"

namespace qf::test {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

BackgroundProgram::BackgroundProgram(const std::vector<std::string>& argv,
                                     const std::vector<std::string>& env,
                                     const std::filesystem::path& output_prefix)
    : output_prefix_(output_prefix) {
    std::signal(SIGPIPE, SIG_IGN);
    int in[2];
    if (::pipe2(in, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    std::string out = output_prefix.string() + ".out";
    std::string err = output_prefix.string() + ".err";
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int error = 0;
    pid_ = SpawnProgram(argv, env, actions, error);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    stdin_fd_ = in[1];
}

BackgroundProgram::~BackgroundProgram() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        Finish();
    }
    if (stdin_fd_ >= 0) ::close(stdin_fd_);
}

bool BackgroundProgram::Write(const std::string& text) {
    if (stdin_fd_ < 0) return false;
    return ::write(stdin_fd_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

void BackgroundProgram::Signal(int signal) {
    if (pid_ > 0) ::kill(pid_, signal);
}

int BackgroundProgram::Finish() {
    if (stdin_fd_ >= 0) {
        ::close(stdin_fd_);
        stdin_fd_ = -1;
    }
    if (pid_ <= 0) return -1;
    int status = 0;
    pid_t waited = ::waitpid(pid_, &status, 0);
    pid_ = -1;
    if (waited < 0 || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

std::optional<int> BackgroundProgram::WaitFor(std::chrono::milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (pid_ > 0) {
        int status = 0;
        pid_t waited = ::waitpid(pid_, &status, WNOHANG);
        if (waited == pid_ || waited < 0) {
            pid_ = -1;
            return status;
        }
        if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return std::nullopt;
}

std::string BackgroundProgram::Output() const { return ReadFile(output_prefix_.string() + ".out"); }

std::string BackgroundProgram::Errors() const { return ReadFile(output_prefix_.string() + ".err"); }

}  // namespace qf::test
