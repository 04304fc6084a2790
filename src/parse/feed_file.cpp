// Loading a feed file: reading its bytes and choosing between UTF-8 and the ANSI code page.
#include <windows.h>

#include <algorithm>
#include <climits>

#include "parse/feed_document.h"

namespace qf {
namespace {

// The bytes decoded in `code_page` (with `flags`); empty when the page yields no characters. Neither
// page makes more UTF-16 code units than there are bytes, so one call with that room is enough.
std::u16string Decode(UINT code_page, DWORD flags, std::string_view bytes) {
    std::u16string text(bytes.size(), u'\0');
    const int length = static_cast<int>(bytes.size());
    const int count = MultiByteToWideChar(code_page, flags, bytes.data(), length, text.data(), length);
    text.resize(static_cast<size_t>(count > 0 ? count : 0));
    return text;
}

// Strict UTF-8 decoding in slices of about kSliceBytes, each ending before a byte that starts a
// character: the whole is valid exactly when every slice is, and the code page's working copies stay
// small for big files. Empty when any slice is not valid UTF-8.
std::u16string DecodeValidUtf8(std::string_view bytes) {
    constexpr size_t kSliceBytes = size_t{1} << 20;
    std::u16string text(bytes.size(), u'\0');
    size_t written = 0;
    for (size_t start = 0; start < bytes.size();) {
        size_t end = std::min(bytes.size(), start + kSliceBytes);
        while (end < bytes.size() && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80) ++end;
        const int count = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data() + start,
                                              static_cast<int>(end - start), text.data() + written,
                                              static_cast<int>(text.size() - written));
        if (count <= 0) return {};
        written += static_cast<size_t>(count);
        start = end;
    }
    text.resize(written);
    return text;
}

// Whether UTF-8 decoding with replacement characters writes back to exactly `length` bytes.
bool RoundTrips(const std::u16string& text, size_t length) {
    return !text.empty() && WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                nullptr, 0, nullptr, nullptr) == static_cast<int>(length);
}

void CutAtZero(std::u16string& text) {
    const size_t zero = text.find(u'\0');
    if (zero != std::u16string::npos) text.resize(zero);
}

}  // namespace

std::u16string DecodeFileText(std::string_view bytes) {
    if (bytes.size() > static_cast<size_t>(INT_MAX)) return {};
    // Valid UTF-8 always writes back to the same bytes, so the strict decoding settles the common case in
    // one pass. Invalid bytes take the full round trip: where the code page puts replacement characters
    // in their place, these can happen to take as many bytes as the sequences they replace.
    std::u16string text = DecodeValidUtf8(bytes);
    if (text.empty()) {
        text = Decode(CP_UTF8, 0, bytes);
        // Windows-1252 has a character for every byte, so this comes up empty only for an empty file.
        if (!RoundTrips(text, bytes.size())) text = Decode(CP_ACP, 0, bytes);
    }
    CutAtZero(text);
    return text;
}

bool FeedDocument::LoadBytes(std::string_view bytes) { return Parse(DecodeFileText(bytes)); }

bool FeedDocument::LoadFile(const std::u16string& path) {
    Clear();
    std::string bytes;
    {
        CFile file;
        if (!file.Open(path.c_str(), CFile::modeRead)) return false;
        const ULONGLONG length = file.GetLength();
        if (length > static_cast<ULONGLONG>(INT_MAX)) return false;
        bytes.resize(static_cast<size_t>(length));
        size_t read = 0;
        while (read < bytes.size()) {
            const UINT got = file.Read(bytes.data() + read, static_cast<UINT>(bytes.size() - read));
            if (got == 0) return false;
            read += got;
        }
    }
    return LoadBytes(bytes);
}

}  // namespace qf
