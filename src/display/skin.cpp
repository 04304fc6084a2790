#include "display/skin.h"

#include <imgdecmp.h>

#include "common/settings_store.h"

namespace qf::display {
namespace {

// The file names of each piece: Today skin at scale 1 and 2, then tab-host skin at scale 1 and 2.
// An empty name: the skin has no such piece.
struct PieceFiles {
    SkinPiece piece;
    const char16_t* today;
    const char16_t* today_high;
    const char16_t* tab;
    const char16_t* tab_high;
};

constexpr PieceFiles kPieceFiles[] = {
    {SkinPiece::kMenuButton, u"menuButton.bmp", u"menuButton_high.bmp", u"qf_menuButton.bmp",
     u"qf_menuButton_high.bmp"},
    {SkinPiece::kMenuButtonMask, u"", u"", u"qf_menuButtonMSK.bmp", u"qf_menuButtonMSK_high.bmp"},
    {SkinPiece::kBlankLeft, u"", u"", u"qf_blankLeft.bmp", u"qf_blankLeft_high.bmp"},
    {SkinPiece::kBlankLeftMask, u"", u"", u"qf_blankLeftMSK.bmp", u"qf_blankLeftMSK_high.bmp"},
    {SkinPiece::kBlankMiddle, u"", u"", u"qf_blankMiddle.bmp", u"qf_blankMiddle_high.bmp"},
    {SkinPiece::kBlankMiddleMask, u"", u"", u"qf_blankMiddleMSK.bmp", u"qf_blankMiddleMSK_high.bmp"},
    {SkinPiece::kBlankRight, u"", u"", u"qf_blankRight.bmp", u"qf_blankRight_high.bmp"},
    {SkinPiece::kBlankRightMask, u"", u"", u"qf_blankRightMSK.bmp", u"qf_blankRightMSK_high.bmp"},
    {SkinPiece::kUpArrow, u"up.bmp", u"up_high.bmp", u"up.bmp", u"up_high.bmp"},
    {SkinPiece::kDownArrow, u"down.bmp", u"down_high.bmp", u"down.bmp", u"down_high.bmp"},
    {SkinPiece::kScrollerTop, u"scroller_top.bmp", u"scroller_top_high.bmp", u"scroller_top.bmp",
     u"scroller_top_high.bmp"},
    {SkinPiece::kScrollerMiddle, u"scroller_middle.bmp", u"scroller_middle_high.bmp", u"scroller_middle.bmp",
     u"scroller_middle_high.bmp"},
    {SkinPiece::kScrollerBottom, u"scroller_bottom.bmp", u"scroller_bottom_high.bmp", u"scroller_bottom.bmp",
     u"scroller_bottom_high.bmp"},
    // The Today skin's high-resolution back button really is named this way.
    {SkinPiece::kBackButton, u"back.bmp", u"back.bmp_high", u"qf_back.bmp", u"qf_back_high.bmp"},
    {SkinPiece::kWebLink, u"webLink.bmp", u"webLink_high.bmp", u"qf_webLink.bmp", u"qf_webLink_high.bmp"},
    {SkinPiece::kWebLinkMask, u"", u"", u"qf_webLinkMSK.bmp", u"qf_webLinkMSK_high.bmp"},
};

static_assert(kPieceFiles[0].piece == SkinPiece::kMenuButton, "the menu button decides the resolution");

// The text colour of the tab-host skin: the first of these files that loads.
constexpr const char16_t* kTextColorFiles[] = {u"qf_text_color.bmp", u"text_color.bmp"};
constexpr const char16_t* kTextColorFilesHigh[] = {u"qf_text_color_high.bmp", u"qf_text_color.bmp",
                                                   u"text_color_high.bmp", u"text_color.bmp"};

constexpr char16_t kTabHostKey[] = u"Software\\SBSH";
constexpr char16_t kTabHostSection[] = u"PocketBreeze";
constexpr char16_t kTodayItemsKey[] = u"SOFTWARE\\Microsoft\\Today\\Items";

enum class SkinSet { kToday, kTab };
enum class Resolution { kNormal, kHigh };

const char16_t* FileOf(const PieceFiles& files, SkinSet set, Resolution resolution) {
    bool high = resolution == Resolution::kHigh;
    if (set == SkinSet::kToday) return high ? files.today_high : files.today;
    return high ? files.tab_high : files.tab;
}

// Hands the decoder the file in chunks of the caller's buffer.
DWORD CALLBACK ReadChunk(LPSTR buffer, DWORD buffer_max, LPARAM param) {
    return reinterpret_cast<CFile*>(param)->Read(buffer, buffer_max);
}

COLORREF ColorAtOrigin(HBITMAP bitmap) {
    MemoryDc dc(nullptr);
    ScopedSelection selected(dc.get(), bitmap);
    return GetPixel(dc.get(), 0, 0);
}

}  // namespace

// Fills a skin piece by piece, with one memory DC for the decoder shared by every file.
class SkinLoader {
  public:
    SkinLoader(const SkinFolders& folders, SkinSet set) : folders_(folders), set_(set), dc_(nullptr) {}

    // Loads the menu button of that resolution; false when it does not load.
    bool TryMenuButton(Resolution resolution) {
        Load(kPieceFiles[0], resolution);
        return skin_.Get(SkinPiece::kMenuButton) != nullptr;
    }

    Skin Finish(Resolution resolution) {
        for (const PieceFiles& files : kPieceFiles) {
            if (skin_.Get(files.piece) == nullptr) Load(files, resolution);
        }
        if (set_ == SkinSet::kTab) LoadTextColor(resolution);
        skin_.high_resolution_ = resolution == Resolution::kHigh;
        return std::move(skin_);
    }

  private:
    void Load(const PieceFiles& files, Resolution resolution) {
        const char16_t* name = FileOf(files, set_, resolution);
        if (*name == u'\0') return;
        std::size_t index = Skin::Index(files.piece);
        skin_.bitmaps_[index] =
            GdiObject<HBITMAP>(LoadSkinBitmap(folders_, name, dc_.get(), &skin_.sources_[index]));
    }

    void LoadTextColor(Resolution resolution) {
        auto load_first = [&](const auto& names) {
            for (const char16_t* name : names) {
                COLORREF color = 0;
                GdiObject<HBITMAP> bitmap(LoadSkinBitmap(folders_, name, dc_.get(), nullptr, &color));
                if (bitmap) return std::optional<COLORREF>(color);
            }
            return std::optional<COLORREF>();
        };
        skin_.text_color_ =
            resolution == Resolution::kHigh ? load_first(kTextColorFilesHigh) : load_first(kTextColorFiles);
    }

    const SkinFolders& folders_;
    SkinSet set_;
    MemoryDc dc_;
    Skin skin_;
};

bool IsHighDpi(const ScreenFacts& screen) { return (screen.logical_pixels.x + 48) / 96 > 1; }

bool IsVgaAt96Dpi(const ScreenFacts& screen) {
    return (screen.height_px == 640 || screen.width_px == 640) && (screen.logical_pixels.x + 48) / 96 == 1;
}

ScreenFacts MeasureScreen(HDC dc, LogicalPixels logical_pixels) {
    return {GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES), logical_pixels};
}

SkinFolders TodaySkinFolders(const std::u16string& install_folder) {
    return {install_folder + u"\\images\\today\\skin", install_folder + u"\\images\\today"};
}

SkinFolders TabSkinFolders(const std::u16string& install_folder) {
    SettingsStore tab_host;
    tab_host.OpenKey(kTabHostKey, HKEY_CURRENT_USER);
    std::u16string skin = tab_host.ReadString(kTabHostSection, u"dSelectedSkin", u"");
    SkinFolders folders{u"", install_folder + u"\\images\\pb"};
    if (skin.empty()) return folders;
    SettingsStore today_items;
    today_items.OpenKey(kTodayItemsKey, HKEY_LOCAL_MACHINE);
    std::u16string root = today_items.ReadString(kTabHostSection, u"InstallPath", u"");
    if (root.empty()) root = u"\\Program Files";
    folders.primary = root + u"\\SBSH\\PocketBreeze\\Skins\\" + skin;
    return folders;
}

bool TabHostVgaMode() {
    SettingsStore tab_host;
    tab_host.OpenKey(kTabHostKey, HKEY_CURRENT_USER);
    return tab_host.ReadDword(kTabHostSection, u"MyVgaMode", 0) != 0;
}

Skin LoadTodaySkin(const SkinFolders& folders, const ScreenFacts& screen, SkinScale& scale) {
    scale.vga_at_96dpi = IsVgaAt96Dpi(screen);
    SkinLoader loader(folders, SkinSet::kToday);
    Resolution resolution = Resolution::kNormal;
    if (IsHighDpi(screen)) {
        scale.scale_factor = 2;
        if (loader.TryMenuButton(Resolution::kHigh)) resolution = Resolution::kHigh;
    }
    Skin skin = loader.Finish(resolution);
    scale.high_res_skin = skin.high_resolution();
    return skin;
}

Skin LoadTabSkin(const SkinFolders& folders, const ScreenFacts& screen, bool tab_host_vga_mode,
                 SkinScale& scale) {
    scale.vga_at_96dpi = IsVgaAt96Dpi(screen);
    SkinLoader loader(folders, SkinSet::kTab);
    Resolution resolution = Resolution::kNormal;
    if (IsHighDpi(screen) || (scale.vga_at_96dpi && tab_host_vga_mode)) {
        scale.scale_factor = 2;
        if (loader.TryMenuButton(Resolution::kHigh)) resolution = Resolution::kHigh;
    }
    Skin skin = loader.Finish(resolution);
    scale.high_res_skin = skin.high_resolution();
    return skin;
}

HBITMAP LoadSkinBitmap(const SkinFolders& folders, const std::u16string& file_name, HDC dc,
                       std::u16string* source, COLORREF* color) {
    const std::u16string& folder = folders.primary.empty() ? folders.fallback : folders.primary;
    std::u16string path = folder + u"\\" + file_name;
    HBITMAP bitmap = LoadImageFileBitmap(path, dc);
    if (bitmap == nullptr && folders.fallback != folder) {
        path = folders.fallback + u"\\" + file_name;
        bitmap = LoadImageFileBitmap(path, dc);
    }
    if (bitmap == nullptr) return nullptr;
    if (source != nullptr) *source = path;
    if (color != nullptr) *color = ColorAtOrigin(bitmap);
    return bitmap;
}

HBITMAP LoadImageFileBitmap(const std::u16string& device_path, HDC dc) {
    CFile file;
    if (!file.Open(device_path.c_str(), CFile::modeRead | CFile::shareDenyNone)) return nullptr;
    BYTE buffer[1024];
    HBITMAP bitmap = nullptr;
    DecompressImageInfo info{};
    info.dwSize = sizeof(info);
    info.pbBuffer = buffer;
    info.dwBufferMax = sizeof(buffer);
    info.phBM = &bitmap;
    info.iBitDepth = GetDeviceCaps(dc, BITSPIXEL);
    info.lParam = reinterpret_cast<LPARAM>(&file);
    info.hdc = dc;
    info.iScale = 100;
    info.iMaxWidth = 10000;
    info.iMaxHeight = 10000;
    info.pfnGetData = ReadChunk;
    info.crTransparentOverride = 0xFFFFFFFF;
    return SUCCEEDED(DecompressImageIndirect(&info)) ? bitmap : nullptr;
}

}  // namespace qf::display
