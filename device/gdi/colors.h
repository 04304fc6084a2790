// Pixel values of 32-bit bitmaps (0x00RRGGBB, which is B, G, R, unused in memory) and their
// conversion from and to COLORREF (0x00BBGGRR).
#pragma once

#include <cstdint>

#include "win/types.h"

namespace qf::device::gdi {

constexpr std::uint32_t kWhitePixel = 0x00FFFFFF;

constexpr std::uint32_t PixelFromColor(COLORREF color) {
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

constexpr COLORREF ColorFromPixel(std::uint32_t pixel) {
    return ((pixel & 0xFF) << 16) | (pixel & 0xFF00) | ((pixel >> 16) & 0xFF);
}

// `over` laid on `under` with coverage 0 (none) to 255 (full), channel by channel.
inline std::uint32_t BlendPixel(std::uint32_t under, std::uint32_t over, unsigned coverage) {
    std::uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        std::uint32_t below = (under >> shift) & 0xFF;
        std::uint32_t above = (over >> shift) & 0xFF;
        result |= ((below * (255 - coverage) + above * coverage + 127) / 255) << shift;
    }
    return result;
}

}  // namespace qf::device::gdi
