// Skins: the item's buttons, arrows and scroll-bar pieces (and in tab mode the control strip's pieces)
// are bitmaps loaded from image files, so that replacing the files changes the look. Loading a skin also
// decides the scale factor of the whole layout and whether the high-resolution ("_high") set is in use.
#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <string>

#include "display/gdi_handles.h"
#include "display/screen_metrics.h"
#include "display/skin_scale.h"

namespace qf::display {

// The pictures of a skin. The Today skin has no masks, no control-strip pieces and no text colour.
enum class SkinPiece {
    kMenuButton,
    kMenuButtonMask,
    kBlankLeft,
    kBlankLeftMask,
    kBlankMiddle,
    kBlankMiddleMask,
    kBlankRight,
    kBlankRightMask,
    kUpArrow,
    kDownArrow,
    kScrollerTop,
    kScrollerMiddle,
    kScrollerBottom,
    kBackButton,
    kWebLink,
    kWebLinkMask,
    kCount,
};

// Where a skin's files are looked for: the primary folder first, then the fallback folder. An empty
// primary folder means the fallback folder only.
struct SkinFolders {
    std::u16string primary;
    std::u16string fallback;
};

// A loaded skin. Owns its bitmaps (deleted with it, or by Free); user-interface thread only.
class Skin {
  public:
    // The bitmap of a piece; null when its file was found in neither folder (drawing it draws nothing).
    // Not owned by the caller.
    HBITMAP Get(SkinPiece piece) const { return bitmaps_[Index(piece)].get(); }
    // The device path the piece was loaded from; empty when it was not loaded.
    const std::u16string& SourceOf(SkinPiece piece) const { return sources_[Index(piece)]; }
    // Tab-host skin: the colour of pixel (0, 0) of its text-colour file, for the control strip's text.
    std::optional<COLORREF> text_color() const { return text_color_; }
    // Whether the "_high" set was loaded: its bitmaps are drawn 1:1 instead of stretched.
    bool high_resolution() const { return high_resolution_; }
    // Deletes every bitmap; the skin is then empty.
    void Free() { *this = Skin(); }

  private:
    friend class SkinLoader;
    static std::size_t Index(SkinPiece piece) { return static_cast<std::size_t>(piece); }

    std::array<GdiObject<HBITMAP>, static_cast<std::size_t>(SkinPiece::kCount)> bitmaps_;
    std::array<std::u16string, static_cast<std::size_t>(SkinPiece::kCount)> sources_;
    std::optional<COLORREF> text_color_;
    bool high_resolution_ = false;
};

// What the skin loader needs to know about the screen.
struct ScreenFacts {
    int width_px = 240;   // HORZRES
    int height_px = 320;  // VERTRES
    LogicalPixels logical_pixels;
};

// Any thread. True on a high-resolution screen: (logical pixels X + 48) / 96 > 1.
bool IsHighDpi(const ScreenFacts& screen);
// Any thread. True on a 640-pixel screen at about 96 dpi.
bool IsVgaAt96Dpi(const ScreenFacts& screen);

// User-interface thread. The screen's size from the DC with `logical_pixels` (ScreenMetrics's cached
// values).
ScreenFacts MeasureScreen(HDC dc, LogicalPixels logical_pixels);

// Any thread. The Today skin's folders: install folder + "\images\today\skin", then "\images\today".
SkinFolders TodaySkinFolders(const std::u16string& install_folder);
// Any thread. The tab-host skin's folders: the skin selected in the tab host (HKEY_CURRENT_USER
// Software\SBSH\PocketBreeze, dSelectedSkin) below its install root (HKEY_LOCAL_MACHINE
// SOFTWARE\Microsoft\Today\Items\PocketBreeze, InstallPath, default "\Program Files") +
// "\SBSH\PocketBreeze\Skins\<name>", empty when none is selected; then install folder + "\images\pb".
SkinFolders TabSkinFolders(const std::u16string& install_folder);
// Any thread. The tab host runs a VGA screen in doubled mode (HKEY_CURRENT_USER
// Software\SBSH\PocketBreeze, MyVgaMode non-zero).
bool TabHostVgaMode();

// User-interface thread. Loads the Today skin for `dc`'s screen. On a high-resolution screen the scale
// factor becomes 2 and the "_high" set is used when its menu button loads, else the plain set (then
// stretched). Sets `scale`'s VGA-at-96-dpi and high-resolution-skin flags; the scale factor only rises.
Skin LoadTodaySkin(const SkinFolders& folders, const ScreenFacts& screen, SkinScale& scale);
// User-interface thread. Loads the tab-host skin: the "_high" set is tried, and the scale factor becomes
// 2, on a high-resolution screen or when `tab_host_vga_mode` is set on a VGA screen at 96 dpi.
Skin LoadTabSkin(const SkinFolders& folders, const ScreenFacts& screen, bool tab_host_vga_mode,
                 SkinScale& scale);

// User-interface thread. One skin bitmap: folder + "\" + file name, else fallback + "\" + file name (when
// the two folders differ), decoded for `dc` as below. Null when neither loads; the caller owns the
// result. `source` (optional) receives the device path that loaded; `color` (optional) the colour of the
// picture's pixel (0, 0).
HBITMAP LoadSkinBitmap(const SkinFolders& folders, const std::u16string& file_name, HDC dc,
                       std::u16string* source = nullptr, COLORREF* color = nullptr);

// User-interface thread. Decodes an image file of any format the platform decoder knows into a bitmap of
// `dc`'s colour depth, through DecompressImageIndirect. Null when the file is missing or no picture; the
// caller owns the result.
HBITMAP LoadImageFileBitmap(const std::u16string& device_path, HDC dc);

}  // namespace qf::display
