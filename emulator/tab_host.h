// The emulated PocketBreeze: an outside tab host that sits on the Today screen as one item over the
// whole screen, with a tab row at the top, the plug-in's tab below it and a control area at the bottom
// where the plug-in's control strip goes. It drives the plug-in through its fn... exports: create, show,
// hide, move, the hot keys (the D-pad, while the host holds the Today selection), About, settings and
// destroy. Main thread only; one per process.
#pragma once

#include <windows.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "plugin_module.h"
#include "qfdevice/device.h"
#include "script.h"
#include "today_shell.h"

namespace qf::emu {

inline constexpr char16_t kTabHostClass[] = u"PocketBreeze";

// The host's layout: heights in pixels (constants for 96 dpi times `scale`), rectangles in the host
// window's client coordinates.
struct TabHostLayout {
    int tab_row_height = 0;
    RECT item{};
    RECT control_strip{};
};

// The tab host's own settings that its plug-ins read (HKEY_CURRENT_USER Software\SBSH\PocketBreeze): the
// selected skin (`dSelectedSkin`, a folder name below the host's Skins folder; empty: none) and the
// doubled mode of a VGA screen at 96 dpi (`MyVgaMode`). Unset here, a stored value stays and a missing
// one is written as empty or 0.
struct TabHostSettings {
    std::optional<std::u16string> selected_skin;
    std::optional<DWORD> vga_mode;
};

// Any thread. Writes the settings as above; answers the `MyVgaMode` in effect.
DWORD OfferTabHostSettings(const TabHostSettings& settings);

// Any thread. The layout of a host window `width` x `height` pixels at `scale` (1 or 2).
TabHostLayout LayOutTabHost(int width, int height, int scale);

// Any thread. The host's own scale: 2 on a high-resolution screen, and on a VGA screen at 96 dpi in its
// doubled mode; else 1.
int TabHostScale(const device::Profile& profile, DWORD vga_mode);

class TabHost {
  public:
    TabHost(TodayShell& shell, const device::Profile& profile);
    // Calls fnDestroyTab, destroys the host window and unloads the plug-in.
    ~TabHost();
    TabHost(const TabHost&) = delete;
    TabHost& operator=(const TabHost&) = delete;

    // Offers `settings`, makes the host window on the Today screen, loads the plug-in from the host path
    // `library` and creates and shows its tab. False with a reason when the library or one of its exports is
    // missing or the tab cannot be created.
    bool Create(const std::filesystem::path& library, const TabHostSettings& settings, std::string* error);
    // Runs a tab command of the script; false with a reason when it cannot.
    bool Run(const TabCommand& command, std::string* error);
    // A window's hot key: F5 up, F6 down, F7 enter, handed to the tab with the byte 1 when pressed and
    // 0 when released. Main thread; does nothing before the tab exists.
    void PressHotKey(HotKey key, KeyTransition transition);
    // Adds the plug-in's item window to the dump's items, and the tab with the control strip.
    void AddToDump(StateDump& dump) const;

    // The host window's procedure lands here.
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  private:
    struct Exports;
    void Paint();
    void Destroy();

    TodayShell& shell_;
    device::Profile profile_;
    HWND window_ = nullptr;
    std::unique_ptr<PluginModule> module_;
    std::unique_ptr<Exports> exports_;
    HWND item_ = nullptr;
    HWND control_strip_ = nullptr;
    int api_version_ = 0;
    TabHostLayout layout_;
};

}  // namespace qf::emu
