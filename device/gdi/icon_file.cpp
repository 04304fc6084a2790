#include <cstring>

#include "gdi/bitmap.h"
#include "gdi/icon.h"

namespace qf::device::gdi {
namespace {

struct IconEntry {
    int width;
    int height;
    std::uint32_t size;
    std::uint32_t offset;
};

std::uint32_t Little(std::span<const std::uint8_t> bytes, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[at + i];
    return value;
}

std::optional<std::vector<IconEntry>> ReadDirectory(std::span<const std::uint8_t> bytes) {
    constexpr std::size_t kHeader = 6;
    constexpr std::size_t kEntry = 16;
    if (bytes.size() < kHeader || Little(bytes, 0, 2) != 0 || Little(bytes, 2, 2) != 1) return std::nullopt;
    std::size_t count = Little(bytes, 4, 2);
    if (count == 0 || bytes.size() < kHeader + count * kEntry) return std::nullopt;
    std::vector<IconEntry> entries;
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t at = kHeader + i * kEntry;
        // A size byte of 0 stands for 256.
        IconEntry entry{bytes[at] == 0 ? 256 : bytes[at], bytes[at + 1] == 0 ? 256 : bytes[at + 1],
                        Little(bytes, at + 8, 4), Little(bytes, at + 12, 4)};
        if (std::uint64_t{entry.offset} + entry.size > bytes.size()) return std::nullopt;
        entries.push_back(entry);
    }
    return entries;
}

const IconEntry& Nearest(const std::vector<IconEntry>& entries, int width, int height) {
    const IconEntry* larger = nullptr;
    const IconEntry* largest = &entries.front();
    for (const IconEntry& entry : entries) {
        if (entry.width == width && entry.height == height) return entry;
        if (entry.width >= width && entry.height >= height &&
            (larger == nullptr || entry.width < larger->width))
            larger = &entry;
        if (entry.width > largest->width) largest = &entry;
    }
    return larger != nullptr ? *larger : *largest;
}

}  // namespace

std::optional<DecodedImage> DecodeIconFile(std::span<const std::uint8_t> bytes, int width, int height) {
    auto entries = ReadDirectory(bytes);
    if (!entries) return std::nullopt;
    const IconEntry& entry = Nearest(*entries, width, height);
    auto image = bytes.subspan(entry.offset, entry.size);
    constexpr std::uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G'};
    if (image.size() < sizeof(kPngSignature) ||
        std::memcmp(image.data(), kPngSignature, sizeof(kPngSignature)) != 0)
        return std::nullopt;
    return DecodeImage(image, Bitmap::kMaxPixels);
}

}  // namespace qf::device::gdi
