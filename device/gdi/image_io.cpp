// Image files into bitmaps, and bitmaps, DCs and window surfaces out to PNG files.
#include <fstream>
#include <iterator>

#include "gdi/gdi_state.h"
#include "gdi/image_codec.h"
#include "qfdevice/device.h"
#include "qfdevice/gdi_io.h"
#include "windows.h"

namespace qf::device {
namespace {

using gdi::Bitmap;

// Image files larger than this are not skins or icons; refuse them rather than read them whole.
constexpr std::uintmax_t kMaxImageFileBytes = 32u << 20;

std::optional<std::vector<std::uint8_t>> ReadFile(const std::filesystem::path& path) {
    std::error_code error;
    std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > kMaxImageFileBytes) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))
        return std::nullopt;
    return bytes;
}

// The pixels of the bitmap that `find` picks under the lock; empty when it finds none.
template <class Find>
SurfacePixels PixelsOf(Find find) {
    gdi::LockedGdi state;
    const Bitmap* bitmap = find(*state);
    return bitmap != nullptr ? bitmap->ReadPixels() : SurfacePixels{};
}

}  // namespace

LoadedImage LoadImageFile(std::u16string_view device_path) {
    auto path = MapPath(device_path);
    auto bytes = path ? ReadFile(*path) : std::nullopt;
    if (!bytes) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return {};
    }
    auto image = gdi::DecodeImage(*bytes, Bitmap::kMaxPixels);
    if (!image) {
        SetLastError(ERROR_BAD_FORMAT);
        return {};
    }
    auto bitmap = std::make_shared<Bitmap>(image->width, image->height, gdi::RowOrder::kTopDown,
                                           gdi::BitmapKind::kDibSection);
    for (int y = 0; y < image->height; ++y) {
        std::copy_n(image->pixels.data() + static_cast<std::size_t>(y) * image->width, image->width,
                    bitmap->Row(y));
    }
    gdi::LockedGdi state;
    return {static_cast<HBITMAP>(state->Insert(std::move(bitmap))), image->width, image->height};
}

std::optional<SIZE> BitmapSize(HBITMAP bitmap) {
    gdi::LockedGdi state;
    const Bitmap* found = state->Find<Bitmap>(bitmap);
    if (found == nullptr) return std::nullopt;
    return SIZE{found->width(), found->height()};
}

bool WritePixelsPng(const SurfacePixels& pixels, const std::filesystem::path& file) {
    return gdi::EncodePng(file, pixels.width, pixels.height, pixels.pixels);
}

bool WriteBitmapPng(HBITMAP bitmap, const std::filesystem::path& file) {
    return WritePixelsPng(PixelsOf([&](gdi::GdiState& state) { return state.Find<Bitmap>(bitmap); }), file);
}

bool WriteDcPng(HDC dc, const std::filesystem::path& file) {
    return WritePixelsPng(PixelsOf([&](gdi::GdiState& state) -> const Bitmap* {
                              auto* found = state.Find<gdi::Dc>(dc);
                              return found != nullptr ? found->bitmap.get() : nullptr;
                          }),
                          file);
}

}  // namespace qf::device

QF_EXTERN_C HBITMAP WINAPI SHLoadDIBitmap(LPCWSTR device_path) {
    if (device_path == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return qf::device::LoadImageFile(device_path).bitmap;
}
