#include "output_buffer.h"

#include <cstdio>

#include "windows.h"

namespace qf::cli {
namespace {

constexpr size_t kFlushBytes = size_t{64} << 10;

bool NeedsEscape(char c) { return c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20; }

}  // namespace

void OutputBuffer::Append(std::string_view text) {
    buffer_ += text;
    FlushIfFull();
}

void OutputBuffer::AppendJsonString(std::u16string_view text) {
    const std::string utf8 = WideToUtf8(text);
    buffer_ += '"';
    size_t start = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (!NeedsEscape(c)) continue;
        buffer_.append(utf8, start, i - start);
        start = i + 1;
        switch (c) {
            case '"':
                buffer_ += "\\\"";
                break;
            case '\\':
                buffer_ += "\\\\";
                break;
            case '\b':
                buffer_ += "\\b";
                break;
            case '\f':
                buffer_ += "\\f";
                break;
            case '\n':
                buffer_ += "\\n";
                break;
            case '\r':
                buffer_ += "\\r";
                break;
            case '\t':
                buffer_ += "\\t";
                break;
            default: {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                buffer_ += escaped;
            }
        }
    }
    buffer_.append(utf8, start);
    buffer_ += '"';
    FlushIfFull();
}

void OutputBuffer::FlushIfFull() {
    if (buffer_.size() >= kFlushBytes) Flush();
}

void OutputBuffer::Flush() {
    if (buffer_.empty()) return;
    std::fwrite(buffer_.data(), 1, buffer_.size(), stdout);
    std::fflush(stdout);
    buffer_.clear();
}

}  // namespace qf::cli
