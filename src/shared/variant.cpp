#include "shared/variant.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "shared/date_text.h"

namespace qf {
namespace {

std::u16string Widen(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// A decimal number as text: optional blanks, sign, digits, fraction and exponent. nullopt otherwise.
std::optional<double> ParseNumber(const std::u16string& text) {
    std::string ascii;
    for (char16_t c : text) {
        if (c > 0x7f) return std::nullopt;
        ascii.push_back(static_cast<char>(c));
    }
    size_t first = ascii.find_first_not_of(" \t");
    size_t last = ascii.find_last_not_of(" \t");
    if (first == std::string::npos) return std::nullopt;
    std::string_view body(ascii.data() + first, last - first + 1);
    if (!body.empty() && body.front() == '+') body.remove_prefix(1);
    double value = 0;
    auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (error != std::errc() || end != body.data() + body.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// The numeric value of any type but text, EMPTY and NULL.
double NumberOf(const Variant& value) {
    switch (value.type()) {
        case VT_I2:
        case VT_I4:
        case VT_BOOL:
            return value.integer();
        default:
            return value.real();
    }
}

std::optional<double> AsNumber(const Variant& value) {
    switch (value.type()) {
        case VT_EMPTY:
            return 0.0;
        case VT_NULL:
            return std::nullopt;
        case VT_BSTR:
            return ParseNumber(value.text());
        default:
            return NumberOf(value);
    }
}

std::optional<std::int32_t> RoundToRange(double number, double low, double high) {
    double rounded = std::nearbyint(number);  // the default rounding mode rounds half to even
    if (!(rounded >= low && rounded <= high)) return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

std::u16string FormatReal(double value) {
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? Widen(std::string_view(buffer, end - buffer)) : std::u16string();
}

std::optional<Variant> ToText(const Variant& value) {
    switch (value.type()) {
        case VT_EMPTY:
            return Variant::String(u"");
        case VT_NULL:
            return std::nullopt;
        case VT_BSTR:
            return value;
        case VT_I2:
        case VT_I4:
        case VT_BOOL:
            return Variant::String(Widen(std::to_string(value.integer())));
        case VT_R8:
            return Variant::String(FormatReal(value.real()));
        case VT_DATE:
            if (auto text = FormatDateText(value.real())) return Variant::String(*text);
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<Variant> ToBool(const Variant& value) {
    if (value.type() == VT_BSTR) {
        std::u16string lower;
        for (char16_t c : value.text()) lower.push_back(c >= u'A' && c <= u'Z' ? c + 32 : c);
        if (lower == u"true") return Variant::Bool(true);
        if (lower == u"false") return Variant::Bool(false);
    }
    auto number = AsNumber(value);
    if (!number) return std::nullopt;
    return Variant::Bool(*number != 0);
}

std::optional<Variant> ToDate(const Variant& value) {
    if (value.type() == VT_BSTR) {
        if (auto date = ParseDateText(value.text())) return Variant::Date(*date);
        return std::nullopt;
    }
    auto number = AsNumber(value);
    if (!number) return std::nullopt;
    return Variant::Date(*number);
}

}  // namespace

Variant Variant::Null() {
    Variant v;
    v.type_ = VT_NULL;
    return v;
}

Variant Variant::I2(std::int16_t value) {
    Variant v;
    v.type_ = VT_I2;
    v.integer_ = value;
    return v;
}

Variant Variant::I4(std::int32_t value) {
    Variant v;
    v.type_ = VT_I4;
    v.integer_ = value;
    return v;
}

Variant Variant::R8(double value) {
    Variant v;
    v.type_ = VT_R8;
    v.real_ = value;
    return v;
}

Variant Variant::Date(DATE value) {
    Variant v;
    v.type_ = VT_DATE;
    v.real_ = value;
    return v;
}

Variant Variant::String(std::u16string value) {
    Variant v;
    v.type_ = VT_BSTR;
    v.text_ = std::move(value);
    return v;
}

Variant Variant::Bool(bool value) {
    Variant v;
    v.type_ = VT_BOOL;
    v.integer_ = value ? -1 : 0;
    return v;
}

std::optional<Variant> ChangeType(const Variant& value, VARENUM target) {
    if (value.type() == target) return value;
    switch (target) {
        case VT_EMPTY:
            return Variant();
        case VT_NULL:
            return std::nullopt;
        case VT_BSTR:
            return ToText(value);
        case VT_BOOL:
            return ToBool(value);
        case VT_DATE:
            return ToDate(value);
        case VT_R8:
            if (auto number = AsNumber(value)) return Variant::R8(*number);
            return std::nullopt;
        case VT_I2:
            if (auto number = AsNumber(value)) {
                if (auto small = RoundToRange(*number, -32768, 32767)) {
                    return Variant::I2(static_cast<std::int16_t>(*small));
                }
            }
            return std::nullopt;
        case VT_I4:
            if (auto number = AsNumber(value)) {
                if (auto whole = RoundToRange(*number, std::numeric_limits<std::int32_t>::min(),
                                              std::numeric_limits<std::int32_t>::max())) {
                    return Variant::I4(*whole);
                }
            }
            return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace qf
