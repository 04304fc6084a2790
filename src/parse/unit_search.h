// Finding one UTF-16 code unit in a text, eight units at a step where the processor allows: the feed
// reader spends most of its time looking for the next "<".
#pragma once

#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qf::text {

// The position of the first `unit` at or after `from` in `text`, or npos.
inline size_t FindUnit(std::u16string_view text, char16_t unit, size_t from) {
    const char16_t* const data = text.data();
    const size_t size = text.size();
    size_t i = from;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi16(static_cast<short>(unit));
    for (; i + 8 <= size; i += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(units, wanted));
        if (mask != 0) return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask))) / 2;
    }
#endif
    for (; i < size; ++i) {
        if (data[i] == unit) return i;
    }
    return std::u16string_view::npos;
}

}  // namespace qf::text
