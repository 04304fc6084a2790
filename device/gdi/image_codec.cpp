#include "gdi/image_codec.h"

// stb is third-party code: its own warnings are not ours to fix.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_GIF
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS 16384
#include <stb/stb_image.h>
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

#include <memory>

namespace qf::device::gdi {

std::optional<DecodedImage> DecodeImage(std::span<const std::uint8_t> bytes, std::int64_t max_pixels) {
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT32_MAX)) return std::nullopt;
    int width = 0;
    int height = 0;
    int channels = 0;
    // Ask for the size first, so that a hostile header cannot make the decoder allocate a huge picture.
    if (!stbi_info_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width, &height, &channels) ||
        static_cast<std::int64_t>(width) * height > max_pixels) {
        return std::nullopt;
    }
    std::unique_ptr<stbi_uc, decltype(&stbi_image_free)> rgba(
        stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width, &height, &channels, 4),
        &stbi_image_free);
    if (!rgba) return std::nullopt;
    DecodedImage image{width, height, {}, {}};
    std::size_t count = static_cast<std::size_t>(width) * height;
    image.pixels.resize(count);
    image.alpha.resize(count);
    const stbi_uc* p = rgba.get();
    for (std::size_t i = 0; i < count; ++i, p += 4) {
        image.pixels[i] = (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
        image.alpha[i] = p[3];
    }
    return image;
}

DecodedImage Resized(const DecodedImage& image, int width, int height) {
    DecodedImage result{width, height, {}, {}};
    result.pixels.resize(static_cast<std::size_t>(width) * height);
    result.alpha.resize(result.pixels.size());
    for (int y = 0; y < height; ++y) {
        std::size_t from_row =
            static_cast<std::size_t>(std::int64_t{y} * image.height / height) * image.width;
        for (int x = 0; x < width; ++x) {
            std::size_t from = from_row + static_cast<std::size_t>(std::int64_t{x} * image.width / width);
            std::size_t to = static_cast<std::size_t>(y) * width + x;
            result.pixels[to] = image.pixels[from];
            result.alpha[to] = image.alpha[from];
        }
    }
    return result;
}

bool EncodePng(const std::filesystem::path& file, int width, int height,
               std::span<const std::uint32_t> pixels) {
    if (width <= 0 || height <= 0 || pixels.size() < static_cast<std::size_t>(width) * height) return false;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    for (std::size_t i = 0; i < static_cast<std::size_t>(width) * height; ++i) {
        rgb[3 * i] = static_cast<std::uint8_t>(pixels[i] >> 16);
        rgb[3 * i + 1] = static_cast<std::uint8_t>(pixels[i] >> 8);
        rgb[3 * i + 2] = static_cast<std::uint8_t>(pixels[i]);
    }
    return stbi_write_png(file.c_str(), width, height, 3, rgb.data(), width * 3) != 0;
}

}  // namespace qf::device::gdi
