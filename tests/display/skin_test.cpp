// Which files a skin is loaded from, decided by host, screen, folders, missing and damaged files; and the
// committed art, loaded as the device loads it.
#include "display/skin.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/settings_store.h"
#include "support/temp_device.h"

namespace qf::display {
namespace {

namespace fs = std::filesystem;

constexpr char16_t kInstall[] = u"\\Q";
constexpr COLORREF kPlain = RGB(40, 90, 200);
constexpr COLORREF kTextColor = RGB(10, 20, 30);

// A 2 x 2 24-bit BMP of one colour.
void WriteBmp(const fs::path& file, COLORREF color) {
    fs::create_directories(file.parent_path());
    const unsigned char pixel[3] = {GetBValue(color), GetGValue(color), GetRValue(color)};
    std::string data;
    for (int row = 0; row < 2; ++row) {
        for (int i = 0; i < 2; ++i) data.append(reinterpret_cast<const char*>(pixel), 3);
        data.append(2, '\0');  // rows are padded to 4 bytes
    }
    auto le = [](std::uint32_t v, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
        return out;
    };
    std::string header = "BM" + le(54 + data.size(), 4) + le(0, 4) + le(54, 4) + le(40, 4) + le(2, 4) +
                         le(2, 4) + le(1, 2) + le(24, 2) + le(0, 4) + le(data.size(), 4) +
                         std::string(16, '\0');  // resolution and palette: none
    std::ofstream(file, std::ios::binary) << header << data;
}

enum class Host { kToday, kTab };

bool IsMask(SkinPiece piece) {
    return piece == SkinPiece::kMenuButtonMask || piece == SkinPiece::kBlankLeftMask ||
           piece == SkinPiece::kBlankMiddleMask || piece == SkinPiece::kBlankRightMask ||
           piece == SkinPiece::kWebLinkMask;
}

struct ScreenCase {
    int width, height, dpi;
};
constexpr ScreenCase kQvga{240, 320, 96};
constexpr ScreenCase kVga{480, 640, 192};
constexpr ScreenCase kVga96{480, 640, 96};

// Files are relative to the device root; in `files` "!" in front marks a damaged file, "*" a picture of
// kTextColor. The expected sources are in the same notation, "" for a piece not loaded.
struct FileChoice {
    const char* name;
    Host host;
    ScreenCase screen;
    const char16_t* selected_skin;  // the tab host's dSelectedSkin
    bool tab_vga_mode;
    std::vector<std::string> files;
    SkinScale scale;
    const char* menu_source;
    const char* up_source;
    const char* back_source;
    std::optional<COLORREF> text_color;
};

// clang-format off
const FileChoice kChoices[] = {
    {"today: primary first, a missing file from the fallback", Host::kToday, kQvga, u"", false,
     {"Q/images/today/skin/menuButton.bmp", "Q/images/today/menuButton.bmp", "Q/images/today/up.bmp",
      "Q/images/today/skin/back.bmp"},
     {1, false, false}, "Q/images/today/skin/menuButton.bmp", "Q/images/today/up.bmp",
     "Q/images/today/skin/back.bmp", std::nullopt},
    {"today on vga: the _high set, back.bmp_high, no low-res piece mixed in", Host::kToday, kVga, u"", false,
     {"Q/images/today/skin/menuButton_high.bmp", "Q/images/today/up_high.bmp",
      "Q/images/today/skin/back.bmp_high", "Q/images/today/skin/up.bmp", "Q/images/today/skin/back_high.bmp"},
     {2, true, false}, "Q/images/today/skin/menuButton_high.bmp", "Q/images/today/up_high.bmp",
     "Q/images/today/skin/back.bmp_high", std::nullopt},
    {"today on vga without _high files: the low set, stretched", Host::kToday, kVga, u"", false,
     {"Q/images/today/skin/menuButton.bmp", "Q/images/today/skin/up_high.bmp", "Q/images/today/up.bmp"},
     {2, false, false}, "Q/images/today/skin/menuButton.bmp", "Q/images/today/up.bmp", "", std::nullopt},
    {"today on vga at 96 dpi: scale 1 and the low set", Host::kToday, kVga96, u"", false,
     {"Q/images/today/skin/menuButton_high.bmp", "Q/images/today/skin/menuButton.bmp"},
     {1, false, true}, "Q/images/today/skin/menuButton.bmp", "", "", std::nullopt},
    {"a damaged file is skipped for the fallback's", Host::kToday, kQvga, u"", false,
     {"!Q/images/today/skin/menuButton.bmp", "Q/images/today/menuButton.bmp", "!Q/images/today/up.bmp"},
     {1, false, false}, "Q/images/today/menuButton.bmp", "", "", std::nullopt},
    {"no files at all", Host::kToday, kVga, u"", false, {}, {2, false, false}, "", "", "", std::nullopt},
    {"tab without a selected skin: images\\pb, text colour from text_color.bmp", Host::kTab, kQvga, u"", false,
     {"Q/images/pb/qf_menuButton.bmp", "Q/images/pb/up.bmp", "*Q/images/pb/text_color.bmp",
      "Q/images/pb/back.bmp"},
     {1, false, false}, "Q/images/pb/qf_menuButton.bmp", "Q/images/pb/up.bmp", "", kTextColor},
    {"tab on vga at 96 dpi in the host's vga mode: selected skin's _high set", Host::kTab, kVga96, u"Night", true,
     {"Program Files/SBSH/PocketBreeze/Skins/Night/qf_menuButton_high.bmp", "Q/images/pb/qf_back_high.bmp",
      "*Program Files/SBSH/PocketBreeze/Skins/Night/qf_text_color.bmp", "Q/images/pb/qf_text_color.bmp"},
     {2, true, true}, "Program Files/SBSH/PocketBreeze/Skins/Night/qf_menuButton_high.bmp", "",
     "Q/images/pb/qf_back_high.bmp", kTextColor},
    {"tab on vga at 96 dpi without the host's vga mode: scale 1", Host::kTab, kVga96, u"Night", false,
     {"Program Files/SBSH/PocketBreeze/Skins/Night/qf_menuButton_high.bmp"},
     {1, false, true}, "", "", "", std::nullopt},
};
// clang-format on

// "Q/a.bmp" as the device names it: "\\Q\\a.bmp".
std::u16string DevicePath(const char* relative) {
    if (*relative == '\0') return u"";
    std::u16string path = u"\\";
    for (const char* c = relative; *c != '\0'; ++c) path += *c == '/' ? u'\\' : static_cast<char16_t>(*c);
    return path;
}

TEST(SkinLoader, FileChoiceTable) {
    for (const FileChoice& row : kChoices) {
        SCOPED_TRACE(row.name);
        qf::test::TempDevice device;
        for (const std::string& file : row.files) {
            fs::path host = device.HostPath(file.substr(file.front() == '!' || file.front() == '*' ? 1 : 0));
            if (file.front() == '!') {
                fs::create_directories(host.parent_path());
                std::ofstream(host) << "BM but no picture";
            } else {
                WriteBmp(host, file.front() == '*' ? kTextColor : kPlain);
            }
        }
        ScreenFacts screen{row.screen.width, row.screen.height, {row.screen.dpi, row.screen.dpi}};
        SkinScale scale;
        Skin skin;
        if (row.host == Host::kToday) {
            skin = LoadTodaySkin(TodaySkinFolders(kInstall), screen, scale);
        } else {
            SettingsStore tab_host;
            tab_host.OpenKey(u"Software\\SBSH", HKEY_CURRENT_USER);
            tab_host.WriteString(u"PocketBreeze", u"dSelectedSkin", row.selected_skin);
            tab_host.WriteDword(u"PocketBreeze", u"MyVgaMode", row.tab_vga_mode ? 1 : 0);
            skin = LoadTabSkin(TabSkinFolders(kInstall), screen, TabHostVgaMode(), scale);
        }
        auto fields = [](SkinScale s) { return std::tuple(s.scale_factor, s.high_res_skin, s.vga_at_96dpi); };
        EXPECT_EQ(fields(scale), fields(row.scale));
        EXPECT_EQ(std::vector({skin.SourceOf(SkinPiece::kMenuButton), skin.SourceOf(SkinPiece::kUpArrow),
                               skin.SourceOf(SkinPiece::kBackButton)}),
                  std::vector(
                      {DevicePath(row.menu_source), DevicePath(row.up_source), DevicePath(row.back_source)}));
        EXPECT_EQ(skin.Get(SkinPiece::kMenuButton) != nullptr, *row.menu_source != '\0');
        EXPECT_EQ(skin.text_color(), row.text_color);
    }
}

// The committed skins: every piece of both sets loads from an installed copy, the _high pictures are
// twice the size of the plain ones, masks match their pictures, and the dark skin is complete too.
TEST(SkinLoader, CommittedSkinsAreCompleteAtBothScales) {
    for (const char* name : {"default", "dark"}) {
        SCOPED_TRACE(name);
        qf::test::TempDevice device;
        fs::path skins = fs::path(QF_SOURCE_DIR) / "resources" / "skins" / name;
        fs::create_directories(device.HostPath("Q/images"));
        fs::copy(skins / "today", device.HostPath("Q/images/today"), fs::copy_options::recursive);
        fs::copy(skins / "pb", device.HostPath("Q/images/pb"), fs::copy_options::recursive);
        auto load = [](Host host, ScreenCase screen_case, SkinScale& scale) {
            ScreenFacts screen{screen_case.width, screen_case.height, {screen_case.dpi, screen_case.dpi}};
            return host == Host::kToday ? LoadTodaySkin(TodaySkinFolders(kInstall), screen, scale)
                                        : LoadTabSkin(TabSkinFolders(kInstall), screen, false, scale);
        };
        for (Host host : {Host::kToday, Host::kTab}) {
            SkinScale low_scale, high_scale;
            Skin low = load(host, kQvga, low_scale);
            Skin high = load(host, kVga, high_scale);
            EXPECT_TRUE(high_scale.high_res_skin);
            ASSERT_TRUE(low.text_color().has_value() == (host == Host::kTab));
            for (int i = 0; i < static_cast<int>(SkinPiece::kCount); ++i) {
                auto piece = static_cast<SkinPiece>(i);
                bool today_piece = piece == SkinPiece::kMenuButton || piece == SkinPiece::kBackButton ||
                                   piece == SkinPiece::kWebLink ||
                                   (piece >= SkinPiece::kUpArrow && piece <= SkinPiece::kScrollerBottom);
                if (host == Host::kToday && !today_piece) continue;
                BITMAP small{}, big{};
                ASSERT_NE(GetObjectW(low.Get(piece), sizeof(small), &small), 0) << i;
                ASSERT_NE(GetObjectW(high.Get(piece), sizeof(big), &big), 0) << i;
                EXPECT_EQ(std::pair(big.bmWidth, big.bmHeight),
                          std::pair(2 * small.bmWidth, 2 * small.bmHeight))
                    << i;
                // A mask follows its picture.
                if (i > 0 && host == Host::kTab && IsMask(piece)) {
                    BITMAP picture{};
                    GetObjectW(low.Get(static_cast<SkinPiece>(i - 1)), sizeof(picture), &picture);
                    EXPECT_EQ(picture.bmWidth, small.bmWidth) << i;
                }
            }
        }
    }
}

}  // namespace
}  // namespace qf::display
