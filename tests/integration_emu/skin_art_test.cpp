// The item's art on the real `quillfeed-emu today`: which installed skin file each screen shows, checked
// pixel by pixel against the file (transparent red really transparent, the "_high" picture drawn 1:1 on
// a 192-dpi screen rather than the plain one stretched), replaced, fallen back to, or missing.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "integration_emu/screen_picture.h"
#include "support/run_program.h"
#include "support/temp_device.h"
#include "support/watchdog.h"

namespace qf::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr char16_t kImages[] = u"\\Program Files\\Quillfeed\\images";

class SkinArt {
  public:
    explicit SkinArt(const std::string& profile) {
        init_ = RunProgram({BuiltProgram("quillfeed"), "--device", Root(), "init", "--profile", profile});
    }
    const ProgramResult& init() const { return init_; }

    // Runs the Today screen for two seconds and writes its screenshot and dump.
    ProgramResult Screen() {
        std::ofstream(device_.HostPath("script.txt"))
            << "advance 2s\nscreenshot " << Host("out.png") << "\ndump " << Host("out.json") << "\n";
        return RunProgram(
            {BuiltProgram("quillfeed-emu"), "today", "--device", Root(), "--script", Host("script.txt")}, {},
            {"QUILLFEED_CLOCK=2024-05-03T09:00:00"});
    }
    nlohmann::json Dump() const {
        std::ifstream in(device_.HostPath("out.json"));
        return nlohmann::json::parse(in);
    }
    // Empties a skin folder below images (its files only), or fills it with the files of another.
    void Empty(const std::string& folder) {
        for (const auto& file : fs::directory_iterator(Folder(folder)))
            if (file.is_regular_file()) fs::remove(file.path());
    }
    void CopySkin(const std::string& from, const std::string& to) {
        Empty(to);
        for (const auto& file : fs::directory_iterator(Folder(from)))
            fs::copy_file(file.path(), Folder(to) / file.path().filename());
    }

  private:
    fs::path Folder(const std::string& folder) const {
        return device_.HostPath("Program Files/Quillfeed/images/" + folder);
    }
    std::string Root() const { return device_.root().string(); }
    std::string Host(const std::string& name) const { return device_.HostPath(name).string(); }

    TempDevice device_;
    ProgramResult init_;
};

// Screens: layout constants doubled only at 192 dpi, where the "_high" picture is drawn 1:1; a VGA
// screen at 96 dpi keeps scale 1 and the plain picture.
TEST(SkinArtTest, EachScreenDrawsItsOwnPictureOfTheMenuButton) {
    Watchdog watchdog(120s, "the skin screens");
    struct Case {
        std::string profile;
        const char16_t* art;
        int top;
        int height;
        int text_left;
    };
    const Case cases[] = {
        {"qvga", u"\\today\\skin\\menuButton.bmp", 26, 75, 20},
        {"vga", u"\\today\\skin\\menuButton_high.bmp", 52, 150, 40},
        {"vga96", u"\\today\\skin\\menuButton.bmp", 26, 75, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.profile);
        SkinArt device(c.profile);
        ASSERT_EQ(device.init().exit_code, 0) << device.init().err;
        ProgramResult run = device.Screen();
        ASSERT_EQ(run.exit_code, 0) << run.err;
        Picture screen(u"\\out.png");
        Picture art(std::u16string(kImages) + c.art);
        ASSERT_TRUE(art.ok());
        EXPECT_EQ(ArtMismatches(screen, art, 0, c.top), 0);
        EXPECT_GT(RedPixels(art, 0, 0, art.width(), art.height()), 0) << "the art has transparent parts";
        EXPECT_EQ(RedPixels(screen, 0, c.top, art.width(), art.height()), 0);
        nlohmann::json item = device.Dump()["items"][0];
        EXPECT_EQ(item["height"], c.height);
        ASSERT_FALSE(item["texts"].empty());
        EXPECT_EQ(item["texts"][0]["rect"]["left"], c.text_left);
    }
}

// Replacing the skin files changes the look; emptying the skin folder falls back to the fallback
// folder; with no art at all the item still paints its text.
TEST(SkinArtTest, ReplacedFallenBackAndMissingFiles) {
    Watchdog watchdog(120s, "the skin screens");
    SkinArt device("qvga");
    ASSERT_EQ(device.init().exit_code, 0) << device.init().err;
    const std::u16string images = kImages;
    Picture plain(images + u"\\today\\menuButton.bmp");
    Picture dark(images + u"\\skins\\dark\\today\\menuButton.bmp");
    ASSERT_GT(ArtMismatches(dark, plain, 0, 0), 0) << "the dark skin differs";

    device.CopySkin("skins/dark/today", "today/skin");
    ASSERT_EQ(device.Screen().exit_code, 0);
    EXPECT_EQ(ArtMismatches(Picture(u"\\out.png"), dark, 0, 26), 0);

    device.Empty("today/skin");
    device.CopySkin("skins/dark/today", "today");
    ASSERT_EQ(device.Screen().exit_code, 0);
    EXPECT_EQ(ArtMismatches(Picture(u"\\out.png"), dark, 0, 26), 0) << "from the fallback folder";

    device.Empty("today");
    ProgramResult bare = device.Screen();
    ASSERT_EQ(bare.exit_code, 0) << bare.err;
    Picture screen(u"\\out.png");
    EXPECT_GT(ArtMismatches(screen, dark, 0, 26), 0);
    EXPECT_GT(ArtMismatches(screen, plain, 0, 26), 0);
    EXPECT_FALSE(device.Dump()["items"][0]["texts"].empty()) << "the item still paints";
}

}  // namespace
}  // namespace qf::test
