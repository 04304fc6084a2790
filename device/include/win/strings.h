// Wide-string helpers and the code pages of the device: UTF-8 and the ANSI page (Windows-1252).
#pragma once

#include <string>
#include <string_view>

#include "win/types.h"

#define CP_ACP 0
#define CP_OEMCP 1
#define CP_UTF8 65001
#define MB_ERR_INVALID_CHARS 0x00000008

// Any thread. Converts `cb_multi` bytes of `multi` (-1: up to and including the terminating zero) in
// `code_page` (CP_UTF8, CP_ACP/CP_OEMCP = Windows-1252) to UTF-16. With `cch_wide` 0 answers the length
// needed, else writes at most `cch_wide` characters. Answers 0 on an unknown code page, on a buffer that
// is too small, on empty input, and, as the device does with or without MB_ERR_INVALID_CHARS, on bytes
// that are not valid UTF-8 (ERROR_NO_UNICODE_TRANSLATION).
QF_EXTERN_C int WINAPI MultiByteToWideChar(UINT code_page, DWORD flags, LPCSTR multi, int cb_multi,
                                           LPWSTR wide, int cch_wide);
// Any thread. The reverse conversion; characters with no byte in CP_ACP become `default_char` (or '?')
// and set *used_default. Answers 0 on an unknown code page, a buffer that is too small or empty input.
QF_EXTERN_C int WINAPI WideCharToMultiByte(UINT code_page, DWORD flags, LPCWSTR wide, int cch_wide,
                                           LPSTR multi, int cb_multi, LPCSTR default_char,
                                           LPBOOL used_default);

// Any thread. Length of a zero-terminated wide string (0 for null).
QF_EXTERN_C int WINAPI lstrlenW(LPCWSTR s);
// Any thread. Ordinal comparison of two zero-terminated wide strings: <0, 0, >0; null sorts first.
QF_EXTERN_C int WINAPI lstrcmpW(LPCWSTR a, LPCWSTR b);
// Any thread. As lstrcmpW, ignoring the case of the letters of ASCII, Latin-1, Latin Extended-A, basic
// Greek and basic Cyrillic (folded to lower case).
QF_EXTERN_C int WINAPI lstrcmpiW(LPCWSTR a, LPCWSTR b);

namespace qf {

// Host-side conveniences over the two functions above, for code outside the plug-in (hosts, tests).
// UTF-8 to UTF-16; invalid sequences become U+FFFD.
std::u16string Utf8ToWide(std::string_view utf8);
// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string WideToUtf8(std::u16string_view wide);
// Windows-1252 bytes to UTF-16 (the five undefined bytes map to the C1 controls of the same value).
std::u16string AnsiToWide(std::string_view ansi);
// UTF-16 to Windows-1252; characters without a byte become '?'.
std::string WideToAnsi(std::u16string_view wide);

}  // namespace qf
