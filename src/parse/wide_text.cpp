#include "parse/wide_text.h"

#include <algorithm>
#include <limits>

namespace qf::text {

bool IsWhiteSpace(char16_t c) {
    if (c == u' ' || (c >= 0x09 && c <= 0x0D)) return true;
    if (c < 0x85) return false;
    return c == 0x85 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 ||
           c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

char16_t ToLower(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 0x20);
    // Latin-1 capitals À..Þ, except the multiplication sign.
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 0x20);
    return c;
}

std::u16string ToLower(std::u16string_view text) {
    std::u16string lower(text);
    for (char16_t& c : lower) c = ToLower(c);
    return lower;
}

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) {
               return ToLower(x) == ToLower(y);
           });
}

std::u16string_view TrimLeft(std::u16string_view text) {
    size_t start = 0;
    while (start < text.size() && IsWhiteSpace(text[start])) ++start;
    return text.substr(start);
}

std::u16string_view TrimRight(std::u16string_view text) {
    size_t end = text.size();
    while (end > 0 && IsWhiteSpace(text[end - 1])) --end;
    return text.substr(0, end);
}

std::u16string_view Trim(std::u16string_view text) { return TrimRight(TrimLeft(text)); }

void TrimRightInPlace(std::u16string& text) { text.resize(TrimRight(text).size()); }

void ReplaceAll(std::u16string& text, std::u16string_view from, std::u16string_view to) {
    size_t found = text.find(from);
    if (found == std::u16string::npos) return;
    std::u16string result;
    result.reserve(text.size());
    size_t start = 0;
    while (found != std::u16string::npos) {
        result.append(text, start, found - start);
        result.append(to);
        start = found + from.size();
        found = text.find(from, start);
    }
    result.append(text, start);
    text = std::move(result);
}

std::int32_t LeadingNumber(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && IsWhiteSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = std::min(value * 10 + (text[i] - u'0'), kLimit);
    }
    if (negative) return static_cast<std::int32_t>(-value);
    return static_cast<std::int32_t>(std::min(value, kLimit - 1));
}

std::u16string FromAscii(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

}  // namespace qf::text
