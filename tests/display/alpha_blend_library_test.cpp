// The tab host's alpha-blending library as the plug-in uses it: loaded from the install folder, blending
// through a mask, stretched for a low-resolution skin on a doubled screen.
#include "display/alpha_blend_library.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "display/gdi_handles.h"
#include "support/temp_device.h"

namespace qf::display {
namespace {

namespace fs = std::filesystem;

GdiObject<HBITMAP> SolidBitmap(int width, int height, COLORREF color) {
    MemoryDc dc(nullptr);
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc.get(), width, height));
    ScopedSelection selected(dc.get(), bitmap.get());
    GdiObject<HBRUSH> brush(CreateSolidBrush(color));
    RECT all{0, 0, width, height};
    FillRect(dc.get(), &all, brush.get());
    return bitmap;
}

class AlphaBlend : public ::testing::Test {
  protected:
    void InstallLibrary() {
        fs::create_directories(device_.HostPath("Q"));
        fs::copy_file(fs::path(QF_BINARY_DIR) / "device" / "libsbshalphablend.so",
                      device_.HostPath("Q/SBSHAlphaBlend.dll"));
    }
    HDC canvas() const { return canvas_.get(); }
    // The canvas's pixel at (x, y) and the one diagonally below it.
    std::pair<COLORREF, COLORREF> Corner(int x, int y) {
        return {GetPixel(canvas_.get(), x, y), GetPixel(canvas_.get(), x + 1, y + 1)};
    }

    qf::test::TempDevice device_;
    // A white 40 x 40 canvas (new bitmaps are white).
    GdiObject<HBITMAP> surface_{CreateCompatibleBitmap(MemoryDc(nullptr).get(), 40, 40)};
    MemoryDc canvas_{nullptr};
    ScopedSelection selected_{canvas_.get(), surface_.get()};
};

TEST_F(AlphaBlend, MaskWeighsTheBitmapAndLowResolutionIsStretched) {
    auto icon = SolidBitmap(8, 8, RGB(0, 0, 200));
    // Without the library nothing is drawn.
    EXPECT_FALSE(
        AlphaBlendLibrary::Load(u"\\Q").Draw(canvas(), 0, 0, 8, 8, icon.get(), nullptr, SkinScale{}));
    EXPECT_EQ(GetPixel(canvas(), 5, 5), RGB(255, 255, 255));
    InstallLibrary();
    AlphaBlendLibrary library = AlphaBlendLibrary::Load(u"\\Q");
    ASSERT_TRUE(library.loaded());
    auto half = SolidBitmap(8, 8, RGB(128, 128, 128));
    auto opaque = SolidBitmap(8, 8, RGB(255, 255, 255));
    // Scale 1: an 8 x 8 area, blended half and half with the white below.
    ASSERT_TRUE(library.Draw(canvas(), 0, 0, 8, 8, icon.get(), half.get(), SkinScale{}));
    EXPECT_EQ(Corner(7, 7), std::pair(RGB(127, 127, 227), RGB(255, 255, 255)));
    // A plain skin on a doubled screen covers 16 x 16; a high-resolution skin's bitmap is drawn 1:1.
    ASSERT_TRUE(library.Draw(canvas(), 20, 0, 8, 8, icon.get(), opaque.get(), SkinScale{2, false, false}));
    EXPECT_EQ(Corner(35, 15), std::pair(RGB(0, 0, 200), RGB(255, 255, 255)));
    auto big = SolidBitmap(16, 16, RGB(0, 150, 0));
    auto big_mask = SolidBitmap(16, 16, RGB(255, 255, 255));
    ASSERT_TRUE(library.Draw(canvas(), 0, 20, 8, 8, big.get(), big_mask.get(), SkinScale{2, true, false}));
    EXPECT_EQ(Corner(15, 35), std::pair(RGB(0, 150, 0), RGB(255, 255, 255)));
}

}  // namespace
}  // namespace qf::display
