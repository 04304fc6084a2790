#include "parse/document_block.h"

#include <algorithm>
#include <cstring>

namespace qf {
namespace {

// The tree's distances are 32 bits wide in units of 2 (text) and 4 (links) bytes.
constexpr size_t kMaxBlockBytes = (size_t{1} << 33) - 16;

size_t RoundUp4(size_t bytes) { return (bytes + 3) & ~size_t{3}; }

}  // namespace

bool DocumentBlock::Reset(size_t max_chars, size_t tree_bytes) {
    Clear();
    if (max_chars > kMaxBlockBytes / 2) return false;
    const size_t capacity = std::min(kMaxBlockBytes, RoundUp4(max_chars * 2) + RoundUp4(tree_bytes) + 64);
    // Not zeroed: pages that the text and tree never reach are never touched.
    data_.reset(static_cast<std::byte*>(std::malloc(capacity)));
    if (!data_) return false;
    capacity_ = capacity;
    return true;
}

void DocumentBlock::Clear() {
    data_.reset();
    capacity_ = used_ = text_chars_ = 0;
}

void DocumentBlock::EndText(size_t chars) {
    text_chars_ = chars;
    used_ = RoundUp4(chars * 2);
}

size_t DocumentBlock::Grow(size_t bytes) {
    bytes = RoundUp4(bytes);
    if (bytes > kMaxBlockBytes - used_) return kNone;
    if (used_ + bytes > capacity_) {
        // Big blocks are moved by remapping their pages, so doubling costs no copying.
        const size_t capacity = std::min(kMaxBlockBytes, std::max(capacity_ * 2, used_ + bytes));
        auto* grown = static_cast<std::byte*>(std::realloc(data_.get(), capacity));
        if (grown == nullptr) return kNone;
        data_.release();
        data_.reset(grown);
        capacity_ = capacity;
    }
    const size_t offset = used_;
    used_ += bytes;
    return offset;
}

size_t DocumentBlock::Copy(std::u16string_view chars) {
    const size_t offset = Grow(chars.size() * 2);
    if (offset != kNone && !chars.empty()) std::memcpy(data_.get() + offset, chars.data(), chars.size() * 2);
    return offset;
}

}  // namespace qf
