// The one block of memory that holds a feed document's decoded text followed by its tree (see
// feed_node.h for why they share it).
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <string_view>

namespace qf {

// Owns the block; used by one thread. Positions in it are byte offsets, which stay valid when it grows;
// pointers into it do not (the block itself never moves: it is a reservation of address space whose
// pages are committed as it fills).
class DocumentBlock {
  public:
    static constexpr size_t kNone = static_cast<size_t>(-1);

    // Drops everything and makes room for `max_chars` characters of text and about `tree_bytes` after
    // them. The text is then written at text() and ended with EndText. False when memory runs out.
    bool Reset(size_t max_chars, size_t tree_bytes);
    // Frees the block.
    void Clear();

    char16_t* text() { return reinterpret_cast<char16_t*>(data_.get()); }
    std::u16string_view text_view() const {
        return {reinterpret_cast<const char16_t*>(data_.get()), text_chars_};
    }
    // The text is `chars` characters long (at most the `max_chars` of Reset); the tree follows it.
    void EndText(size_t chars);

    // Room for `count` default-made objects of T (4-byte aligned, 4-byte multiple sizes); their offset, or
    // kNone when memory runs out or the block would outgrow the reach of the tree's 32-bit distances.
    template <typename T>
    size_t Make(size_t count = 1) {
        static_assert(alignof(T) <= 4 && sizeof(T) % 4 == 0);
        const size_t offset = Grow(sizeof(T) * count);
        if (offset != kNone) {
            for (size_t i = 0; i < count; ++i) new (data_.get() + offset + i * sizeof(T)) T{};
        }
        return offset;
    }
    // Copies `chars` after what the block holds; their offset, or kNone as for Make.
    size_t Copy(std::u16string_view chars);

    template <typename T>
    T* at(size_t offset) {
        return reinterpret_cast<T*>(data_.get() + offset);
    }

  private:
    struct Release {
        void operator()(std::byte* data) const;
    };

    // Makes `bytes` (rounded up to 4) available at the end; their offset, or kNone.
    size_t Grow(size_t bytes);

    std::unique_ptr<std::byte, Release> data_;
    size_t capacity_ = 0;  // committed bytes
    size_t used_ = 0;
    size_t text_chars_ = 0;
};

}  // namespace qf
