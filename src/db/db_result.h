// DbResult: what every operation of the database object answers, a value or the reason it has none.
// Exceptions of the record layer never leave src/db: they end as kQueryFailed.
#pragma once

#include <optional>
#include <type_traits>
#include <utility>

namespace qf {

// Why a database operation has no result.
enum class DbError {
    kNotReady,       // no database is open (Open did not succeed, or it was reset)
    kLockTimedOut,   // another thread or process held the database lock past the time-out
    kFileMissing,    // the database file is no longer there
    kConnectFailed,  // the file does not open
    kQueryFailed,    // a statement or a read inside the operation failed
    kNotFound,       // the record asked for does not exist
    kRefused,        // the operation does not apply to its arguments (nothing was changed)
};

// A T, or the DbError that prevented it. Any thread; a plain value.
template <typename T>
class [[nodiscard]] DbResult {
  public:
    DbResult(T value) : value_(std::move(value)) {}  // NOLINT: a value converts implicitly
    DbResult(DbError error) : error_(error) {}       // NOLINT: so does an error

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    // The reason; meaningful only when !ok().
    DbError error() const { return error_; }

    // The value; only when ok().
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    // The value, or `fallback` when the operation failed.
    T value_or(T fallback) const { return value_ ? *value_ : std::move(fallback); }

  private:
    std::optional<T> value_;
    DbError error_ = DbError::kQueryFailed;
};

// The result of an operation that answers nothing but success. Not nodiscard: several callers go on
// whatever a maintenance step gives, as the main application does.
template <>
class DbResult<void> {
  public:
    DbResult() = default;
    DbResult(DbError error) : error_(error) {}  // NOLINT: an error converts implicitly

    bool ok() const { return !error_.has_value(); }
    explicit operator bool() const { return ok(); }
    DbError error() const { return error_.value_or(DbError::kQueryFailed); }

  private:
    std::optional<DbError> error_;
};

using DbStatus = DbResult<void>;

// DbResult<T> for a T, and DbResult<T> itself for a DbResult<T>.
template <typename T>
struct AsDbResult {
    using type = DbResult<T>;
};
template <typename T>
struct AsDbResult<DbResult<T>> {
    using type = DbResult<T>;
};

}  // namespace qf
