// How `quillfeed` commands answer: a value (in the end the exit code) or the failure that ends the
// command. Ordinary failures (bad arguments, missing files, a database that does not open) travel back
// as values up to main, which prints them; nothing in the command line throws for them.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace qf::cli {

// A failure that ends the command: main prints it as one line "quillfeed: <message>" on stderr (and as
// {"ok":false,"error":...} on stdout with --json) and exits with `exit_code`.
struct CommandFailure {
    std::string message;
    int exit_code = 1;
};

inline CommandFailure Fail(std::string message, int exit_code = 1) {
    return CommandFailure{std::move(message), exit_code};
}

// A T, or the CommandFailure that prevented it. A plain value; any thread.
template <typename T>
class [[nodiscard]] Expected {
  public:
    Expected(T value) : state_(std::move(value)) {}                   // NOLINT: a value converts implicitly
    Expected(CommandFailure failure) : state_(std::move(failure)) {}  // NOLINT: so does a failure

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }
    // The value; only when ok().
    T& operator*() { return std::get<0>(state_); }
    T* operator->() { return &std::get<0>(state_); }
    // The failure; only when !ok().
    const CommandFailure& failure() const { return std::get<1>(state_); }

  private:
    std::variant<T, CommandFailure> state_;
};

// Success, or the failure that prevented it.
template <>
class [[nodiscard]] Expected<void> {
  public:
    Expected() = default;
    Expected(CommandFailure failure) : failure_(std::move(failure)), failed_(true) {}  // NOLINT: implicit

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const CommandFailure& failure() const { return failure_; }

  private:
    CommandFailure failure_;
    bool failed_ = false;
};

using Status = Expected<void>;
// What a command answers: its exit code, or the failure that ends it.
using CommandResult = Expected<int>;

}  // namespace qf::cli
