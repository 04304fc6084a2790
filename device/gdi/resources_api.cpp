// Pictures from a module's resources, and drawing icons.
#include <algorithm>

#include "gdi/gdi_state.h"
#include "gdi/icon.h"
#include "gdi/image_files.h"
#include "system/module_resources.h"
#include "system/win32_result.h"
#include "windows.h"

namespace {

using qf::device::FailWith;
using qf::device::gdi::DecodedImage;

// The standard icon size (SM_CXICON) of the device.
constexpr int kDefaultIconSize = 32;

HANDLE LoadBitmapResource(HINSTANCE instance, LPCWSTR name, int cx, int cy) {
    auto file = qf::device::ResourceFile(instance, "Bitmap", name, ".bmp");
    if (const DWORD* error = std::get_if<DWORD>(&file)) {
        FailWith(*error);
        return nullptr;
    }
    auto decoded = qf::device::gdi::DecodeHostFile(std::get<std::filesystem::path>(file));
    if (const DWORD* error = std::get_if<DWORD>(&decoded)) {
        FailWith(*error == ERROR_FILE_NOT_FOUND ? static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND) : *error);
        return nullptr;
    }
    auto& image = std::get<DecodedImage>(decoded);
    if (cx > 0 && cy > 0) image = qf::device::gdi::Resized(image, cx, cy);
    return qf::device::gdi::NewDibSection(image);
}

HANDLE LoadIconResource(HINSTANCE instance, LPCWSTR name, int cx, int cy) {
    auto file = qf::device::ResourceFile(instance, "Icon", name, ".ico");
    if (const DWORD* error = std::get_if<DWORD>(&file)) {
        FailWith(*error);
        return nullptr;
    }
    if (cx <= 0) cx = kDefaultIconSize;
    if (cy <= 0) cy = kDefaultIconSize;
    auto bytes = qf::device::gdi::ReadImageBytes(std::get<std::filesystem::path>(file));
    auto image = bytes ? qf::device::gdi::DecodeIconFile(*bytes, cx, cy) : std::nullopt;
    if (!image || static_cast<std::int64_t>(cx) * cy > qf::device::gdi::Bitmap::kMaxPixels) {
        FailWith(ERROR_BAD_FORMAT);
        return nullptr;
    }
    if (image->width != cx || image->height != cy) *image = qf::device::gdi::Resized(*image, cx, cy);
    qf::device::gdi::LockedGdi gdi;
    return gdi->Insert(std::make_shared<qf::device::gdi::Icon>(std::move(*image)));
}

std::uint32_t Blend(std::uint32_t over, std::uint32_t under, unsigned alpha) {
    std::uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        unsigned a = (over >> shift) & 0xFF;
        unsigned b = (under >> shift) & 0xFF;
        result |= ((a * alpha + b * (255 - alpha) + 127) / 255) << shift;
    }
    return result;
}

}  // namespace

QF_EXTERN_C HANDLE WINAPI LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy, UINT) {
    switch (type) {
        case IMAGE_BITMAP:
            return LoadBitmapResource(instance, name, cx, cy);
        case IMAGE_ICON:
            return LoadIconResource(instance, name, cx, cy);
        default:
            FailWith(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
}

QF_EXTERN_C HBITMAP WINAPI LoadBitmapW(HINSTANCE instance, LPCWSTR name) {
    return static_cast<HBITMAP>(LoadImageW(instance, name, IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

QF_EXTERN_C HICON WINAPI LoadIconW(HINSTANCE instance, LPCWSTR name) {
    return static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
}

QF_EXTERN_C BOOL WINAPI DestroyIcon(HICON icon) {
    qf::device::gdi::LockedGdi gdi;
    if (gdi->Find<qf::device::gdi::Icon>(icon) == nullptr) return FALSE;
    gdi->Erase(icon);
    return TRUE;
}

QF_EXTERN_C BOOL WINAPI DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT, HBRUSH,
                                   UINT flags) {
    if (flags != DI_NORMAL && flags != DI_IMAGE) return FailWith(ERROR_INVALID_PARAMETER);
    qf::device::gdi::LockedGdi gdi;
    auto* to = gdi->Find<qf::device::gdi::Dc>(dc);
    auto* from = gdi->Find<qf::device::gdi::Icon>(icon);
    if (to == nullptr || from == nullptr) return FALSE;
    const DecodedImage& own = from->image();
    if (cx <= 0) cx = own.width;
    if (cy <= 0) cy = own.height;
    if (static_cast<std::int64_t>(cx) * cy > qf::device::gdi::Bitmap::kMaxPixels)
        return FailWith(ERROR_INVALID_PARAMETER);
    DecodedImage scaled = cx == own.width && cy == own.height ? own : qf::device::gdi::Resized(own, cx, cy);
    auto& target = *to->bitmap;
    // Rows and columns of the icon that land on the bitmap, in 64 bits so that no position overflows.
    std::int64_t first_row = std::max<std::int64_t>(0, -std::int64_t{y});
    std::int64_t end_row = std::min<std::int64_t>(cy, std::int64_t{target.height()} - y);
    std::int64_t first_column = std::max<std::int64_t>(0, -std::int64_t{x});
    std::int64_t end_column = std::min<std::int64_t>(cx, std::int64_t{target.width()} - x);
    for (std::int64_t row = first_row; row < end_row; ++row) {
        std::uint32_t* line = target.Row(static_cast<int>(y + row));
        for (std::int64_t column = first_column; column < end_column; ++column) {
            std::size_t at = static_cast<std::size_t>(row * cx + column);
            unsigned alpha = flags == DI_NORMAL ? scaled.alpha[at] : 255;
            line[x + column] = Blend(scaled.pixels[at], line[x + column], alpha);
        }
    }
    return TRUE;
}
