// A small VARIANT: the typed value that the record layer reads from and writes to fields. It holds one of
// the types the database uses and converts between them with the rules of VariantChangeType.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace qf {

enum VARENUM : unsigned short {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R8 = 5,
    VT_DATE = 7,
    VT_BSTR = 8,
    VT_BOOL = 11,
};

// A value and its type. Copyable; any thread.
class Variant {
  public:
    Variant() = default;  // VT_EMPTY
    static Variant Null();
    static Variant I2(std::int16_t value);
    static Variant I4(std::int32_t value);
    static Variant R8(double value);
    static Variant Date(DATE value);
    static Variant String(std::u16string value);
    static Variant Bool(bool value);

    VARENUM type() const { return type_; }
    bool IsEmptyOrNull() const { return type_ == VT_EMPTY || type_ == VT_NULL; }
    // The held number of a VT_I2, VT_I4 or VT_BOOL (-1 for true) value; 0 for other types.
    std::int32_t integer() const { return integer_; }
    // The held number of a VT_R8 or VT_DATE value; 0 for other types.
    double real() const { return real_; }
    // The held text of a VT_BSTR value; empty for other types.
    const std::u16string& text() const { return text_; }

    friend bool operator==(const Variant& a, const Variant& b) = default;

  private:
    VARENUM type_ = VT_EMPTY;
    std::int32_t integer_ = 0;
    double real_ = 0;
    std::u16string text_;
};

// `value` converted to `target` as VariantChangeType does: numbers round half to even and must fit,
// text must hold a whole number, a decimal number or a date of the database's text forms, VT_EMPTY gives
// 0 or the empty string, VT_NULL converts to nothing else. nullopt when the conversion fails.
std::optional<Variant> ChangeType(const Variant& value, VARENUM target);

}  // namespace qf
