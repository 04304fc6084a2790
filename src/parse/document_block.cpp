#include "parse/document_block.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace qf {
namespace {

// The tree's distances are 32 bits wide in units of 2 (text) and 4 (links) bytes.
constexpr size_t kMaxBlockBytes = (size_t{1} << 33) - 16;

size_t RoundUp4(size_t bytes) { return (bytes + 3) & ~size_t{3}; }

std::byte* Reserve(size_t reserved, size_t committed) {
    auto* base = static_cast<std::byte*>(VirtualAlloc(nullptr, reserved, MEM_RESERVE, PAGE_NOACCESS));
    if (base == nullptr) return nullptr;
    if (VirtualAlloc(base, committed, MEM_COMMIT, PAGE_READWRITE) == nullptr) {
        VirtualFree(base, 0, MEM_RELEASE);
        return nullptr;
    }
    return base;
}

}  // namespace

void DocumentBlock::Release::operator()(std::byte* data) const { VirtualFree(data, 0, MEM_RELEASE); }

bool DocumentBlock::Reset(size_t max_chars, size_t tree_bytes) {
    Clear();
    if (max_chars > kMaxBlockBytes / 2) return false;
    const size_t capacity = std::min(kMaxBlockBytes, RoundUp4(max_chars * 2) + RoundUp4(tree_bytes) + 64);
    // Address space is cheap: the whole reach of the tree's distances is reserved, so that growing only
    // ever commits more pages and never moves the block. Committed pages are backed by memory only where
    // the text and tree reach.
    data_.reset(Reserve(kMaxBlockBytes, capacity));
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
        const size_t capacity = std::min(kMaxBlockBytes, std::max(capacity_ * 2, used_ + bytes));
        if (VirtualAlloc(data_.get() + capacity_, capacity - capacity_, MEM_COMMIT, PAGE_READWRITE) ==
            nullptr)
            return kNone;
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
