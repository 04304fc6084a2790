// Loading a feed file: reading its bytes and choosing between UTF-8 and the ANSI code page.
#include <windows.h>

#include <climits>

#include "parse/feed_document.h"

namespace qf {
namespace {

// The bytes decoded in `code_page`; empty when the page yields no characters.
std::u16string Decode(UINT code_page, std::string_view bytes) {
    const int length = static_cast<int>(bytes.size());
    const int count = MultiByteToWideChar(code_page, 0, bytes.data(), length, nullptr, 0);
    if (count <= 0) return {};
    std::u16string text(static_cast<size_t>(count), u'\0');
    const int written = MultiByteToWideChar(code_page, 0, bytes.data(), length, text.data(), count);
    text.resize(static_cast<size_t>(written > 0 ? written : 0));
    return text;
}

void CutAtZero(std::u16string& text) {
    const size_t zero = text.find(u'\0');
    if (zero != std::u16string::npos) text.resize(zero);
}

}  // namespace

std::u16string DecodeFileText(std::string_view bytes) {
    if (bytes.size() > static_cast<size_t>(INT_MAX)) return {};
    std::u16string text = Decode(CP_UTF8, bytes);
    // Invalid UTF-8 decodes to replacement characters, which do not write back to the same bytes.
    const bool utf8 =
        !text.empty() && WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                             0, nullptr, nullptr) == static_cast<int>(bytes.size());
    // Windows-1252 has a character for every byte, so this comes up empty only for an empty file.
    if (!utf8) text = Decode(CP_ACP, bytes);
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
