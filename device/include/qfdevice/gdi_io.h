// Host-side access to GDI pictures: image files in, PNG files out. Hosts, the command line and tests
// use this; the plug-in uses SHLoadDIBitmap and GetObjectW.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "qfdevice/window_surface.h"
#include "win/gdi.h"

namespace qf::device {

// A bitmap decoded from an image file with its size.
struct LoadedImage {
    HBITMAP bitmap = nullptr;  // owned by the caller (DeleteObject); null when loading failed
    int width = 0;
    int height = 0;
};
// Any thread. As SHLoadDIBitmap, also answering the size.
LoadedImage LoadImageFile(std::u16string_view device_path);
// Any thread. Width and height of a bitmap; nullopt for a bad handle.
std::optional<SIZE> BitmapSize(HBITMAP bitmap);

// Any thread. Write the pixels as a 24-bit PNG file at the host path; false on a bad handle, an empty
// picture or an I/O error. A DC is written through the bitmap selected into it.
bool WriteBitmapPng(HBITMAP bitmap, const std::filesystem::path& file);
bool WriteDcPng(HDC dc, const std::filesystem::path& file);
bool WritePixelsPng(const SurfacePixels& pixels, const std::filesystem::path& file);

}  // namespace qf::device
