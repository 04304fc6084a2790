#include "gdi/image_files.h"

#include <algorithm>
#include <fstream>

#include "gdi/gdi_state.h"

namespace qf::device::gdi {

std::optional<std::vector<std::uint8_t>> ReadImageBytes(const std::filesystem::path& file) {
    std::error_code error;
    std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error || size > kMaxImageFileBytes) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))
        return std::nullopt;
    return bytes;
}

std::variant<DecodedImage, DWORD> DecodeHostFile(const std::filesystem::path& file) {
    auto bytes = ReadImageBytes(file);
    if (!bytes) return DWORD{ERROR_FILE_NOT_FOUND};
    auto image = DecodeImage(*bytes, Bitmap::kMaxPixels);
    if (!image) return DWORD{ERROR_BAD_FORMAT};
    return std::move(*image);
}

HBITMAP NewDibSection(const DecodedImage& image) {
    auto bitmap =
        std::make_shared<Bitmap>(image.width, image.height, RowOrder::kTopDown, BitmapKind::kDibSection);
    for (int y = 0; y < image.height; ++y) {
        std::copy_n(image.pixels.data() + static_cast<std::size_t>(y) * image.width, image.width,
                    bitmap->Row(y));
    }
    LockedGdi state;
    return static_cast<HBITMAP>(state->Insert(std::move(bitmap)));
}

}  // namespace qf::device::gdi
