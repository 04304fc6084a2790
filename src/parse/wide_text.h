// Small helpers on UTF-16 text shared by the feed parser: white space, case folding, trimming,
// replacing and reading numbers the way the device's C library does.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qf::text {

// True for the Unicode white-space characters (the ASCII ones, NEL, no-break space, the typographic
// spaces, line and paragraph separators, ideographic space), as the device's iswspace answers.
bool IsWhiteSpace(char16_t c);

// Case folding of the device: ASCII and Latin-1 letters only.
char16_t ToLower(char16_t c);
std::u16string ToLower(std::u16string_view text);
bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);

// Views of `text` without leading, trailing or surrounding white space.
std::u16string_view TrimLeft(std::u16string_view text);
std::u16string_view TrimRight(std::u16string_view text);
std::u16string_view Trim(std::u16string_view text);
// Removes trailing white space from `text` in place.
void TrimRightInPlace(std::u16string& text);

// Replaces every occurrence of `from` (not empty) by `to`, scanning left to right without re-reading
// replaced text. Linear in the size of `text` and the result.
void ReplaceAll(std::u16string& text, std::u16string_view from, std::u16string_view to);

// The leading decimal number of `text` as _wtoi reads it: optional white space, an optional sign, then
// digits up to the first other character; 0 when there are no digits. Saturates at the 32-bit limits.
std::int32_t LeadingNumber(std::u16string_view text);

// ASCII text as UTF-16 (for building fixed strings from numbers).
std::u16string FromAscii(std::string_view ascii);

}  // namespace qf::text
