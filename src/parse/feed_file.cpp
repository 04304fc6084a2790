// Loading a feed file: reading its bytes and choosing between UTF-8 and the ANSI code page.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "parse/feed_document.h"
#include "parse/unit_search.h"

namespace qf {
namespace {

// Slices keep the code page's working copies small (and, read from a file, the bytes never whole).
constexpr size_t kSliceBytes = size_t{256} << 10;

bool IsContinuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// Decodes all of `bytes` into `out` in `code_page` with `flags`, a slice at a time; a UTF-8 slice ends
// before a byte that starts a character, so that the whole decodes exactly when every slice does. The
// units written, or nullopt when a slice yields nothing or cannot be read. `has_zero` tells whether a
// zero byte was among them (it decodes to a zero character in either page).
std::optional<size_t> DecodeSlices(FeedBytes& bytes, UINT code_page, DWORD flags, char16_t* out,
                                   bool& has_zero) {
    size_t written = 0;
    has_zero = false;
    for (size_t offset = 0; offset < bytes.size();) {
        // Three bytes more than a slice, to end it after the continuation bytes of its last character.
        const std::optional<std::string_view> slice = bytes.Slice(offset, kSliceBytes + 3);
        if (!slice || slice->empty()) return std::nullopt;
        size_t end = slice->size();
        if (offset + end < bytes.size()) {
            end = std::min(end, kSliceBytes);
            while (code_page == CP_UTF8 && end < slice->size() && IsContinuation((*slice)[end])) ++end;
        }
        has_zero = has_zero || std::memchr(slice->data(), 0, end) != nullptr;
        const int count = MultiByteToWideChar(code_page, flags, slice->data(), static_cast<int>(end),
                                              out + written, static_cast<int>(end));
        if (count <= 0) return std::nullopt;
        written += static_cast<size_t>(count);
        offset += end;
    }
    return written;
}

// Whether UTF-8 decoding with replacement characters writes back to exactly `length` bytes.
bool RoundTrips(const char16_t* text, size_t units, size_t length) {
    return units > 0 && WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(units), nullptr, 0, nullptr,
                                            nullptr) == static_cast<int>(length);
}

// A zero-terminated buffer ends at its first zero character.
size_t CutAtZero(const char16_t* text, size_t units) {
    return std::min(units, text::FindUnit(std::u16string_view(text, units), u'\0', 0));
}

class MemoryBytes : public FeedBytes {
  public:
    explicit MemoryBytes(std::string_view bytes) : bytes_(bytes) {}
    size_t size() const override { return bytes_.size(); }
    std::optional<std::string_view> Slice(size_t offset, size_t max) override {
        return bytes_.substr(offset, max);
    }

  private:
    std::string_view bytes_;
};

class DeviceFileBytes : public FeedBytes {
  public:
    bool Open(const std::u16string& path) {
        if (!file_.Open(path.c_str(), CFile::modeRead)) return false;
        size_ = file_.GetLength();
        return true;
    }
    size_t size() const override { return static_cast<size_t>(size_); }
    std::optional<std::string_view> Slice(size_t offset, size_t max) override {
        if (file_.Seek(static_cast<LONGLONG>(offset), CFile::begin) != static_cast<LONGLONG>(offset))
            return std::nullopt;
        buffer_.resize(std::min<size_t>(max, size_ - offset));
        size_t read = 0;
        while (read < buffer_.size()) {
            const UINT got = file_.Read(buffer_.data() + read, static_cast<UINT>(buffer_.size() - read));
            if (got == 0) return std::nullopt;
            read += got;
        }
        return std::string_view(buffer_);
    }

  private:
    CFile file_;
    ULONGLONG size_ = 0;
    std::string buffer_;
};

}  // namespace

std::optional<size_t> DecodeFeedBytes(FeedBytes& bytes, char16_t* out) {
    if (bytes.size() > static_cast<size_t>(INT_MAX)) return std::nullopt;
    // Valid UTF-8 always writes back to the same bytes, so the strict decoding settles the common case in
    // one pass. Invalid bytes take the full round trip: where the code page puts replacement characters
    // in their place, these can happen to take as many bytes as the sequences they replace.
    bool has_zero = false;
    std::optional<size_t> units = DecodeSlices(bytes, CP_UTF8, MB_ERR_INVALID_CHARS, out, has_zero);
    if (!units) {
        units = DecodeSlices(bytes, CP_UTF8, 0, out, has_zero);
        // Windows-1252 has a character for every byte, so this fails only when the bytes cannot be read.
        if (!units || !RoundTrips(out, *units, bytes.size()))
            units = DecodeSlices(bytes, CP_ACP, 0, out, has_zero);
    }
    if (!units) return std::nullopt;
    return has_zero ? CutAtZero(out, *units) : *units;
}

std::u16string DecodeFileText(std::string_view bytes) {
    if (bytes.size() > static_cast<size_t>(INT_MAX)) return {};
    MemoryBytes source(bytes);
    std::u16string text(bytes.size(), u'\0');
    text.resize(DecodeFeedBytes(source, text.data()).value_or(0));
    return text;
}

bool FeedDocument::LoadBytes(std::string_view bytes) {
    MemoryBytes source(bytes);
    return Load(source);
}

bool FeedDocument::LoadFile(const std::u16string& path) {
    Clear();
    DeviceFileBytes source;
    return source.Open(path) && Load(source);
}

}  // namespace qf
