// Image files into bitmaps, and bitmaps, DCs and window surfaces out to PNG files.
#include "gdi/gdi_state.h"
#include "gdi/image_files.h"
#include "qfdevice/device.h"
#include "qfdevice/gdi_io.h"
#include "windows.h"

namespace qf::device {
namespace {

using gdi::Bitmap;

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
    if (!path) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return {};
    }
    auto decoded = gdi::DecodeHostFile(*path);
    if (const DWORD* error = std::get_if<DWORD>(&decoded)) {
        SetLastError(*error);
        return {};
    }
    const auto& image = std::get<gdi::DecodedImage>(decoded);
    return {gdi::NewDibSection(image), image.width, image.height};
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
