#include "common/text_file.h"

#include <vector>

namespace qf {
namespace {

std::u16string Decode(UINT code_page, const std::vector<char>& bytes, int length) {
    int chars = MultiByteToWideChar(code_page, 0, bytes.data(), length, nullptr, 0);
    if (chars <= 0) return {};
    std::u16string text(chars, u'\0');
    MultiByteToWideChar(code_page, 0, bytes.data(), length, text.data(), chars);
    return text;
}

void ReplaceAll(std::u16string& text, std::u16string_view from, std::u16string_view to) {
    std::u16string out;
    out.reserve(text.size());
    size_t start = 0;
    for (size_t hit = text.find(from); hit != std::u16string::npos; hit = text.find(from, start)) {
        out.append(text, start, hit - start).append(to);
        start = hit + from.size();
    }
    out.append(text, start, std::u16string::npos);
    text = std::move(out);
}

bool IsTrailingSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

}  // namespace

bool TextFile::Open(const std::u16string& path, UINT mode) {
    Close();
    if (!file_.Open(path.c_str(), mode)) return false;
    open_ = true;
    needs_load_ = true;
    dirty_ = false;
    return true;
}

void TextFile::Load(TextConversion conversion) {
    if (!needs_load_) return;
    needs_load_ = false;
    text_.clear();
    position_ = 0;
    auto length = static_cast<size_t>(file_.GetLength());
    file_.SeekToBegin();
    // Two zero bytes follow the data so that it is terminated both as narrow and as wide text.
    std::vector<char> bytes(length + 2, '\0');
    length = file_.Read(bytes.data(), static_cast<UINT>(length));
    if (conversion == TextConversion::kRawWide) {
        text_.assign(reinterpret_cast<const char16_t*>(bytes.data()), length / 2);
        text_.resize(std::char_traits<char16_t>::length(text_.c_str()));
        return;
    }
    int narrow_length = static_cast<int>(std::char_traits<char>::length(bytes.data()));
    text_ = Decode(CP_UTF8, bytes, narrow_length);
    if (text_.empty()) text_ = Decode(CP_ACP, bytes, narrow_length);
    if (text_.empty()) text_.assign(bytes.begin(), bytes.begin() + narrow_length);
}

std::u16string TextFile::ReadAll(TextConversion conversion) {
    if (!open_) return {};
    Load(conversion);
    return text_;
}

bool TextFile::ReadLine(std::u16string& line) {
    if (!open_) return false;
    Load(TextConversion::kDecode);
    if (position_ >= text_.size()) return false;
    size_t newline = text_.find(u'\n', position_);
    if (newline == std::u16string::npos) {
        line = text_.substr(position_);
        position_ = text_.size();
        return true;
    }
    line = text_.substr(position_, newline - position_);
    while (!line.empty() && IsTrailingSpace(line.back())) line.pop_back();
    position_ = newline + 1;
    return true;
}

void TextFile::Write(const std::u16string& text) {
    if (!dirty_) {
        text_.clear();
        needs_load_ = false;
        dirty_ = true;
    }
    text_ += text;
}

void TextFile::Close() {
    if (!open_) return;
    if (dirty_) {
        ReplaceAll(text_, u"\r\n", u"\n");
        ReplaceAll(text_, u"\n", u"\r\n");
        int bytes_needed = WideCharToMultiByte(CP_ACP, 0, text_.data(), static_cast<int>(text_.size()),
                                               nullptr, 0, nullptr, nullptr);
        std::vector<char> bytes(static_cast<size_t>(bytes_needed) + 1, '\0');
        if (bytes_needed > 0) {
            WideCharToMultiByte(CP_ACP, 0, text_.data(), static_cast<int>(text_.size()), bytes.data(),
                                bytes_needed, nullptr, nullptr);
            file_.Write(bytes.data(), static_cast<UINT>(bytes_needed));
        }
        dirty_ = false;
    }
    file_.Close();
    open_ = false;
}

}  // namespace qf
