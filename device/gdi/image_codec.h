// Image files in and PNG files out, through stb_image and stb_image_write (compiled privately into
// the runtime, so they never clash with another copy of stb in the process).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace qf::device::gdi {

struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first
    std::vector<std::uint8_t> alpha;    // one per pixel, 255 = opaque (pictures without alpha: all 255)
};

// Decodes a BMP, PNG, JPEG or GIF (first frame) held in memory; nullopt when it is none of these, is
// damaged, or is larger than `max_pixels`.
std::optional<DecodedImage> DecodeImage(std::span<const std::uint8_t> bytes, std::int64_t max_pixels);

// The picture scaled to width x height (both at least 1) by nearest pixel.
DecodedImage Resized(const DecodedImage& image, int width, int height);

// Writes 0x00RRGGBB pixels (top row first) as a 24-bit PNG; false on an I/O error.
bool EncodePng(const std::filesystem::path& file, int width, int height,
               std::span<const std::uint32_t> pixels);

}  // namespace qf::device::gdi
