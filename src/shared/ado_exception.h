// The one exception type of the record access layer. Database operations catch CException around their
// statements, release the database lock and report failure, so none of these ever leaves the database code.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace qf {

// Error codes carried by CAdoException, or returned where noted.
inline constexpr std::int32_t kAdoConvertFailed = -11;  // a field value does not convert to the asked type
inline constexpr std::int32_t kAdoNoRecordset = -12;    // the recordset's engine object cannot be made
inline constexpr std::int32_t kAdoOpenFailed = -13;     // connection Open (returned, never thrown)
inline constexpr std::int32_t kAdoSetRefused = -15;     // a field set was refused
inline constexpr std::int32_t kAdoReadRefused = -16;    // a field value could not be read
inline constexpr std::int32_t kAdoUpdateRefused = -18;  // the changed row could not be written

// The framework's base exception: what database operations catch.
class CException : public std::exception {
  public:
    const char* what() const noexcept override { return "CException"; }
};

// A refusal of the engine: the line in the record layer that threw, its source unit and the error code.
class CAdoException : public CException {
  public:
    CAdoException(std::int32_t line, std::u16string source_file, std::int32_t error_code)
        : line_(line), source_file_(std::move(source_file)), error_code_(error_code) {}

    std::int32_t line() const { return line_; }
    const std::u16string& source_file() const { return source_file_; }
    std::int32_t error_code() const { return error_code_; }
    const char* what() const noexcept override { return "CAdoException"; }

  private:
    std::int32_t line_;
    std::u16string source_file_;
    std::int32_t error_code_;
};

// The source unit recorded in every CAdoException of the record layer.
inline constexpr char16_t kAdoSourceFile[] = u"shared\\adoclass31";

}  // namespace qf

// Throws CAdoException with the current line and the record layer's source unit.
#define QF_ADO_THROW(code) throw ::qf::CAdoException(__LINE__, ::qf::kAdoSourceFile, (code))
