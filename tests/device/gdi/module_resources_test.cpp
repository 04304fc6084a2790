// A library loaded by device path, and the pictures in the resource folder beside it.
#include <gtest/gtest.h>

#include <filesystem>

#include "gdi_fixture.h"
#include "qfdevice/gdi_io.h"
#include "windows.h"

namespace qf::test {
namespace {

namespace fs = std::filesystem;

class ModuleResources : public ::testing::Test {
  protected:
    // \Lib\Blend.dll (the alpha-blending library) with the plug-in's committed pictures beside it.
    void SetUp() override {
        fs::create_directories(device_.device().HostPath("Lib"));
        fs::copy_file(fs::path(QF_BINARY_DIR) / "device" / "libsbshalphablend.so",
                      device_.device().HostPath("Lib/Blend.dll"));
        fs::copy(fs::path(QF_SOURCE_DIR) / "resources" / "plugin",
                 device_.device().HostPath("Lib/Blend.resources"), fs::copy_options::recursive);
        module_ = LoadLibraryW(u"\\lib\\blend.dll");
        ASSERT_NE(module_, nullptr);
    }
    void TearDown() override { EXPECT_TRUE(FreeLibrary(module_)); }

    GdiDevice device_;
    HMODULE module_ = nullptr;
};

TEST_F(ModuleResources, BitmapsComeFromBesideTheModule) {
    HBITMAP bitmap = LoadBitmapW(module_, MAKEINTRESOURCE(171));
    ASSERT_NE(bitmap, nullptr);
    auto size = qf::device::BitmapSize(bitmap);
    EXPECT_EQ(std::pair(size->cx, size->cy), std::pair(LONG{38}, LONG{20}));
    DeleteObject(bitmap);
    EXPECT_EQ(LoadBitmapW(module_, MAKEINTRESOURCE(999)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(LoadBitmapW(module_, u"..\\..\\Lib\\Blend"), nullptr);
}

}  // namespace
}  // namespace qf::test
