// DecompressImageIndirect over stb_image.
#include <imgdecmp.h>

#include <algorithm>

#include "gdi/bitmap.h"
#include "gdi/image_files.h"

namespace {

using qf::device::gdi::DecodedImage;

constexpr COLORREF kNoOverride = 0xFFFFFFFF;

bool IsUsable(const DecompressImageInfo* info) {
    return info != nullptr && info->dwSize == sizeof(DecompressImageInfo) && info->phBM != nullptr &&
           info->pfnGetData != nullptr && info->pbBuffer != nullptr && info->dwBufferMax > 0 &&
           info->iScale > 0;
}

// Pulls the whole picture through the callback; nullopt past the size limit.
std::optional<std::vector<std::uint8_t>> ReadAll(const DecompressImageInfo& info) {
    std::vector<std::uint8_t> bytes;
    char* buffer = reinterpret_cast<char*>(info.pbBuffer);
    for (;;) {
        DWORD got = std::min(info.pfnGetData(buffer, info.dwBufferMax, info.lParam), info.dwBufferMax);
        if (got == 0) return bytes;
        if (bytes.size() + got > qf::device::gdi::kMaxImageFileBytes) return std::nullopt;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
}

// The size after iScale, then shrunk to the maximum box with the picture's shape kept; at least 1 x 1.
std::pair<int, int> TargetSize(const DecompressImageInfo& info, int width, int height) {
    double w = static_cast<double>(width) * info.iScale / 100;
    double h = static_cast<double>(height) * info.iScale / 100;
    double fit = 1;
    if (info.iMaxWidth > 0 && w > info.iMaxWidth) fit = std::min(fit, info.iMaxWidth / w);
    if (info.iMaxHeight > 0 && h > info.iMaxHeight) fit = std::min(fit, info.iMaxHeight / h);
    auto size = [](double v) { return static_cast<int>(std::clamp(v, 1.0, 65535.0)); };
    return {size(w * fit), size(h * fit)};
}

void ApplyTransparentOverride(DecodedImage& image, COLORREF color) {
    std::uint32_t pixel = qf::device::gdi::PixelFromColor(color & 0xFFFFFF);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        if (image.alpha[i] < 128) image.pixels[i] = pixel;
    }
}

}  // namespace

QF_EXTERN_C HRESULT WINAPI DecompressImageIndirect(DecompressImageInfo* info) {
    if (info != nullptr && info->phBM != nullptr) *info->phBM = nullptr;
    if (!IsUsable(info)) return E_INVALIDARG;
    if (info->ppImageRender != nullptr) *info->ppImageRender = nullptr;
    auto bytes = ReadAll(*info);
    if (!bytes) return E_FAIL;
    auto image = qf::device::gdi::DecodeImage(*bytes, qf::device::gdi::Bitmap::kMaxPixels);
    if (!image) return E_FAIL;
    auto [width, height] = TargetSize(*info, image->width, image->height);
    if (static_cast<std::int64_t>(width) * height > qf::device::gdi::Bitmap::kMaxPixels) return E_FAIL;
    if (width != image->width || height != image->height)
        *image = qf::device::gdi::Resized(*image, width, height);
    if (info->crTransparentOverride != kNoOverride)
        ApplyTransparentOverride(*image, info->crTransparentOverride);
    *info->phBM = qf::device::gdi::NewDibSection(*image);
    return *info->phBM != nullptr ? S_OK : E_OUTOFMEMORY;
}
