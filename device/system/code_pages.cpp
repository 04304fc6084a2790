#include <climits>
#include <cstdint>
#include <cstring>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "windows.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Bytes 0x80-0x9F of Windows-1252. The five bytes the page leaves undefined map to the C1 control of the
// same value, as the device's table does, so every byte has a character and back.
constexpr char16_t kAnsiHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

enum class Page { kUtf8, kAnsi };

std::optional<Page> PageOf(UINT code_page) {
    switch (code_page) {
        case CP_UTF8:
            return Page::kUtf8;
        case CP_ACP:
        case CP_OEMCP:
        case 1252:
            return Page::kAnsi;
        default:
            return std::nullopt;
    }
}

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Widens the ASCII bytes at the start of `in` (up to `size`) into `out`, a block at a time, and answers
// how many there were. `out` must have room for `size` units: a block is written whole even where it
// holds the first byte above 0x7F. Feeds are mostly ASCII, so this carries most of a file.
size_t WidenAscii(const unsigned char* in, size_t size, char16_t* out) {
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= size; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi8(bytes, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8), _mm_unpackhi_epi8(bytes, zero));
        const int high = _mm_movemask_epi8(bytes);
        if (high != 0) return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(high)));
    }
#else
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, in + i, sizeof word);
        if ((word & 0x8080808080808080ull) != 0) break;
        for (size_t k = 0; k < 8; ++k) out[i + k] = in[i + k];
    }
#endif
    for (; i < size && in[i] < 0x80; ++i) out[i] = in[i];
    return i;
}

char16_t* PutUtf16(char32_t code_point, char16_t* out) {
    if (code_point < 0x10000) {
        *out++ = static_cast<char16_t>(code_point);
        return out;
    }
    code_point -= 0x10000;
    *out++ = static_cast<char16_t>(0xD800 + (code_point >> 10));
    *out++ = static_cast<char16_t>(0xDC00 + (code_point & 0x3FF));
    return out;
}

char* PutUtf8(char32_t code_point, char* out) {
    auto put = [&out](unsigned value) { *out++ = static_cast<char>(value); };
    if (code_point < 0x80) {
        put(code_point);
    } else if (code_point < 0x800) {
        put(0xC0 | (code_point >> 6));
        put(0x80 | (code_point & 0x3F));
    } else if (code_point < 0x10000) {
        put(0xE0 | (code_point >> 12));
        put(0x80 | ((code_point >> 6) & 0x3F));
        put(0x80 | (code_point & 0x3F));
    } else {
        put(0xF0 | (code_point >> 18));
        put(0x80 | ((code_point >> 12) & 0x3F));
        put(0x80 | ((code_point >> 6) & 0x3F));
        put(0x80 | (code_point & 0x3F));
    }
    return out;
}

// Decodes UTF-8 the way the device does into `out`, which has room for in.size() units (no input
// yields more): each maximal ill-formed subsequence (a stray continuation byte, a truncated sequence,
// an overlong form, a surrogate, anything above U+10FFFF) becomes one U+FFFD. Answers the units
// written; `valid` becomes false when anything was replaced.
size_t DecodeUtf8(std::string_view in, char16_t* out, bool& valid) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(in.data());
    char16_t* const start = out;
    size_t i = 0;
    while (i < in.size()) {
        const size_t ascii = WidenAscii(bytes + i, in.size() - i, out);
        i += ascii;
        out += ascii;
        if (i == in.size()) break;
        const unsigned char lead = bytes[i];
        // The range allowed for the second byte rules out overlong forms, surrogates and values
        // past U+10FFFF; later continuation bytes are always 0x80-0xBF.
        size_t continuations = 0;
        char32_t code_point = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            continuations = 1;
            code_point = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            continuations = 2;
            code_point = lead & 0x0F;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            continuations = 3;
            code_point = lead & 0x07;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        }
        size_t next = i + 1;
        while (next < in.size() && next - i <= continuations) {
            const unsigned char byte = bytes[next];
            if (byte < low || byte > high) break;
            code_point = (code_point << 6) | (byte & 0x3F);
            low = 0x80;
            high = 0xBF;
            ++next;
        }
        if (continuations == 0 || next - i != continuations + 1) {
            *out++ = kReplacement;
            valid = false;
        } else {
            out = PutUtf16(code_point, out);
        }
        i = next;
    }
    return static_cast<size_t>(out - start);
}

// Encodes UTF-16 as UTF-8 after what `out` holds; an unpaired surrogate becomes U+FFFD. Sizes `out`
// once for the longest result (three bytes per unit) and cuts it back.
void EncodeUtf8(std::u16string_view in, std::string& out) {
    const size_t start = out.size();
    out.resize(start + 3 * in.size());
    char* put = out.data() + start;
    for (size_t i = 0; i < in.size(); ++i) {
        char32_t code_point = in[i];
        if (code_point < 0x80) {
            *put++ = static_cast<char>(code_point);
            continue;
        }
        if (IsHighSurrogate(code_point) && i + 1 < in.size() && IsLowSurrogate(in[i + 1])) {
            code_point = 0x10000 + ((code_point - 0xD800) << 10) + (in[i + 1] - 0xDC00);
            ++i;
        } else if (IsHighSurrogate(code_point) || IsLowSurrogate(code_point)) {
            code_point = kReplacement;
        }
        put = PutUtf8(code_point, put);
    }
    out.resize(static_cast<size_t>(put - out.data()));
}

char16_t AnsiByteToWide(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kAnsiHigh[byte - 0x80] : byte;
}

// Decodes Windows-1252 into `out`, which has room for in.size() units; answers the units written.
size_t DecodeAnsi(std::string_view in, char16_t* out) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(in.data());
    for (size_t i = 0; i < in.size(); ++i) out[i] = AnsiByteToWide(bytes[i]);
    return in.size();
}

std::optional<char> WideToAnsiByte(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (int i = 0; i < 32; ++i) {
        if (kAnsiHigh[i] == c) return static_cast<char>(0x80 + i);
    }
    return std::nullopt;
}

// Encodes UTF-16 as Windows-1252; a character without a byte (a surrogate pair counts as one) becomes
// `fallback`. Answers whether the fallback was used.
bool EncodeAnsi(std::u16string_view in, char fallback, std::string& out) {
    bool used_fallback = false;
    for (size_t i = 0; i < in.size(); ++i) {
        if (auto byte = WideToAnsiByte(in[i])) {
            out.push_back(*byte);
            continue;
        }
        if (IsHighSurrogate(in[i]) && i + 1 < in.size() && IsLowSurrogate(in[i + 1])) ++i;
        out.push_back(fallback);
        used_fallback = true;
    }
    return used_fallback;
}

// Hands a converted text to a caller's buffer with the Win32 conventions: capacity 0 asks for the
// length; a buffer that is too small is an error, not a truncation.
template <typename Char>
int Deliver(const std::basic_string<Char>& converted, Char* buffer, int capacity) {
    if (converted.size() > static_cast<size_t>(INT_MAX)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int length = static_cast<int>(converted.size());
    if (capacity == 0) return length;
    if (length > capacity) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(buffer, converted.data(), converted.size() * sizeof(Char));
    return length;
}

// The input length as the caller gave it: -1 means "up to and including the terminating zero".
template <typename Char>
size_t InputLength(const Char* text, int count) {
    return count == -1 ? std::char_traits<Char>::length(text) + 1 : static_cast<size_t>(count);
}

template <typename In, typename Out>
bool BadArguments(const In* input, int input_count, const Out* output, int output_capacity) {
    return input == nullptr || input_count == 0 || input_count < -1 || output_capacity < 0 ||
           (output == nullptr && output_capacity > 0);
}

}  // namespace

QF_EXTERN_C int WINAPI MultiByteToWideChar(UINT code_page, DWORD /*flags*/, LPCSTR multi, int cb_multi,
                                           LPWSTR wide, int cch_wide) {
    auto page = PageOf(code_page);
    if (!page || BadArguments(multi, cb_multi, wide, cch_wide)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string_view input(multi, InputLength(multi, cb_multi));
    if (input.size() > static_cast<size_t>(INT_MAX)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // No input makes more units than it has bytes: with that much room the result goes straight into
    // the caller's buffer, else through a working copy (a length query, a tight buffer).
    std::u16string working;
    const bool direct = static_cast<size_t>(cch_wide) >= input.size();
    if (!direct) working.resize(input.size());
    char16_t* out = direct ? reinterpret_cast<char16_t*>(wide) : working.data();
    bool valid = true;
    const size_t length = *page == Page::kAnsi ? DecodeAnsi(input, out) : DecodeUtf8(input, out, valid);
    if (!valid) {
        // The device refuses malformed UTF-8 whatever the flags say; callers fall back to the ANSI page.
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return 0;
    }
    if (direct) return static_cast<int>(length);
    working.resize(length);
    return Deliver(working, wide, cch_wide);
}

QF_EXTERN_C int WINAPI WideCharToMultiByte(UINT code_page, DWORD, LPCWSTR wide, int cch_wide, LPSTR multi,
                                           int cb_multi, LPCSTR default_char, LPBOOL used_default) {
    auto page = PageOf(code_page);
    // UTF-8 can encode everything, so the device refuses a default character for it.
    bool utf8_with_default = page == Page::kUtf8 && (default_char != nullptr || used_default != nullptr);
    if (!page || utf8_with_default || BadArguments(wide, cch_wide, multi, cb_multi)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::u16string_view input(wide, InputLength(wide, cch_wide));
    std::string converted;
    if (*page == Page::kUtf8) {
        EncodeUtf8(input, converted);
    } else {
        bool defaulted = EncodeAnsi(input, default_char != nullptr ? *default_char : '?', converted);
        if (used_default != nullptr) *used_default = defaulted ? TRUE : FALSE;
    }
    return Deliver(converted, multi, cb_multi);
}

namespace qf {

std::u16string Utf8ToWide(std::string_view utf8) {
    std::u16string wide(utf8.size(), u'\0');
    bool valid = true;
    wide.resize(DecodeUtf8(utf8, wide.data(), valid));
    return wide;
}

std::string WideToUtf8(std::u16string_view wide) {
    std::string utf8;
    EncodeUtf8(wide, utf8);
    return utf8;
}

std::u16string AnsiToWide(std::string_view ansi) {
    std::u16string wide(ansi.size(), u'\0');
    DecodeAnsi(ansi, wide.data());
    return wide;
}

std::string WideToAnsi(std::u16string_view wide) {
    std::string ansi;
    EncodeAnsi(wide, '?', ansi);
    return ansi;
}

}  // namespace qf
