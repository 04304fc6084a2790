#include <gtest/gtest.h>

#include <fstream>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

#include <imgdecmp.h>

#include "gdi_fixture.h"
#include "qfdevice/gdi_io.h"
#include "windows.h"

namespace qf::test {
namespace {

// A 3 x 2 picture: red, green, blue on top; white, black, pure red (a skin's transparent colour) below.
constexpr unsigned char kRgb[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 255, 0, 0};

void ExpectPicture(HBITMAP bitmap) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(GetPixel(dc, i % 3, i / 3), RGB(kRgb[3 * i], kRgb[3 * i + 1], kRgb[3 * i + 2])) << i;
    SelectObject(dc, old);
    DeleteDC(dc);
}

TEST(ImageFiles, BmpAndPngLoadByDevicePathMissingOrDamagedFilesGiveNone) {
    GdiDevice device;
    auto folder = device.device().HostPath("Program Files/Quillfeed/images/today");
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(stbi_write_bmp((folder / "menuButton.bmp").c_str(), 3, 2, 3, kRgb));
    ASSERT_TRUE(stbi_write_png((folder / "up.png").c_str(), 3, 2, 3, kRgb, 9));
    // Device paths match names without regard to case.
    auto loaded = qf::device::LoadImageFile(u"\\program files\\Quillfeed\\IMAGES\\today\\menubutton.bmp");
    ASSERT_NE(loaded.bitmap, nullptr);
    EXPECT_EQ(std::pair(loaded.width, loaded.height), std::pair(3, 2));
    ExpectPicture(loaded.bitmap);
    HBITMAP png = SHLoadDIBitmap(u"\\Program Files\\Quillfeed\\images\\today\\up.png");
    ASSERT_NE(png, nullptr);
    ExpectPicture(png);
    auto size = qf::device::BitmapSize(png);
    ASSERT_TRUE(size);
    EXPECT_EQ(size->cx, 3);
    DeleteObject(png);
    DeleteObject(loaded.bitmap);

    // Missing or damaged files give no bitmap.
    SetLastError(0);
    EXPECT_EQ(SHLoadDIBitmap(u"\\nothing.bmp"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    std::ofstream(device.device().HostPath("broken.bmp")) << "BM this is not a bitmap";
    EXPECT_EQ(SHLoadDIBitmap(u"\\broken.bmp"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_FORMAT));
    EXPECT_EQ(SHLoadDIBitmap(u"\\..\\outside.bmp"), nullptr);
    EXPECT_EQ(SHLoadDIBitmap(nullptr), nullptr);
    EXPECT_FALSE(qf::device::BitmapSize(nullptr));
}

// The decoder pulls a picture through the caller's small buffer, scales it, and colours its transparent
// pixels when asked; a bad record or bytes that are no picture give no bitmap.
TEST(DecompressImage, ReadsThroughTheCallbackScalesAndColoursTransparency) {
    GdiDevice device;
    // 2 x 1 RGBA: opaque blue, then fully transparent green.
    const unsigned char rgba[] = {0, 0, 255, 255, 0, 255, 0, 0};
    int size = 0;
    unsigned char* png = stbi_write_png_to_mem(rgba, 8, 2, 1, 4, &size);
    ASSERT_NE(png, nullptr);
    struct Source {
        std::string bytes;
        std::size_t at = 0;
    } source{std::string(reinterpret_cast<char*>(png), size)};
    STBIW_FREE(png);
    auto read = [](LPSTR buffer, DWORD max, LPARAM param) -> DWORD {
        auto* from = reinterpret_cast<Source*>(param);
        DWORD count = static_cast<DWORD>(std::min<std::size_t>(max, from->bytes.size() - from->at));
        std::copy_n(from->bytes.data() + from->at, count, buffer);
        from->at += count;
        return count;
    };
    BYTE buffer[7];
    HBITMAP bitmap = nullptr;
    DecompressImageInfo info{};
    info.dwSize = sizeof(info), info.pbBuffer = buffer, info.dwBufferMax = sizeof(buffer),
    info.phBM = &bitmap;
    info.iBitDepth = 16, info.lParam = reinterpret_cast<LPARAM>(&source), info.iScale = 300,
    info.iMaxWidth = 4;
    info.pfnGetData = read, info.crTransparentOverride = RGB(255, 0, 0);
    ASSERT_EQ(DecompressImageIndirect(&info), S_OK);
    // Tripled to 6 x 3, then shrunk to the width of 4 with its shape kept.
    auto size_of = qf::device::BitmapSize(bitmap);
    ASSERT_TRUE(size_of);
    EXPECT_EQ(std::pair(size_of->cx, size_of->cy), std::pair(LONG{4}, LONG{2}));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    EXPECT_EQ(Pixels(dc, {{0, 0}, {3, 1}}), (std::vector{RGB(0, 0, 255), RGB(255, 0, 0)}));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);

    source = {"GIF89a but not really", 0};
    EXPECT_EQ(DecompressImageIndirect(&info), E_FAIL);
    EXPECT_EQ(bitmap, nullptr);
    info.dwSize = 0;
    EXPECT_EQ(DecompressImageIndirect(&info), E_INVALIDARG);
    EXPECT_EQ(DecompressImageIndirect(nullptr), E_INVALIDARG);
}

}  // namespace
}  // namespace qf::test
