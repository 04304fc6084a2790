// The emulated Today screen: the "DesktopExplorerWindow" that loads the Today items' libraries, lays the
// items out under its title bar at the height each reports, answers their colour and watermark requests
// from a theme, asks them every two seconds whether they must be redrawn, and moves the keyboard
// selection between them. It is the interactive window's host. Main thread only; one shell per process.
#pragma once

#include <todaycmn.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "pen.h"
#include "plugin_module.h"
#include "qfdevice/device.h"
#include "qfdevice/window_surface.h"
#include "screen_window.h"
#include "script.h"
#include "state_dump.h"
#include "theme.h"

namespace qf::emu {

inline constexpr char16_t kDesktopClass[] = u"DesktopExplorerWindow";
// Posted to the desktop window when script lines are waiting.
inline constexpr UINT kScriptWakeMessage = WM_APP + 1;
// How often the Today screen asks its items WM_TODAYCUSTOM_QUERYREFRESHCACHE.
inline constexpr UINT kRefreshQueryIntervalMs = 2000;

// Any thread. Height of the title bar on a screen of `dpi`: 26 pixels at 96 dpi.
int TitleBarHeight(int dpi);

class TodayShell final : public ScreenHost {
  public:
    explicit TodayShell(const device::Profile& profile, TodayTheme theme = {});
    // Destroys the windows (the items get WM_DESTROY) and unloads the libraries.
    ~TodayShell() override;
    TodayShell(const TodayShell&) = delete;
    TodayShell& operator=(const TodayShell&) = delete;

    // Creates the desktop window over the whole screen, in front, with the refresh query timer. False
    // with a reason when it cannot.
    bool Create(std::string* error);
    // Loads the item's library from the host path `library`, calls its InitializeCustomItem and asks the
    // first refresh query. A disabled item, or one that answers no window, takes no place on the screen.
    // False with a reason when the library cannot be loaded.
    bool AddItem(const std::u16string& name, const std::u16string& device_path,
                 const std::filesystem::path& library, bool enabled, std::string* error);

    // Places `window`, a child of the desktop that the host made itself (such as a tab host), on the
    // screen like a Today item named `name`: it gets the refresh queries and the selection.
    void AddWindowItem(const std::u16string& name, HWND window);
    // Called at the end of Dump(), so that a host can add what it shows besides the Today items.
    void SetDumpExtension(std::function<void(StateDump&)> extension) {
        dump_extension_ = std::move(extension);
    }

    // The Today screen's periodic question; lays the items out again when one answers TRUE.
    void QueryRefresh();
    // The pen at a screen point (see Pen); a pen down on the desktop itself takes the selection away.
    void PenDown(POINT at) override;
    void PenMove(POINT at) override { pen_.Move(at); }
    void PenUp(POINT at) override { pen_.Up(at); }
    // A tap at a screen point: pen down and up.
    void Tap(POINT at);
    // A press of the D-pad or its action button; to the open menu first.
    void Key(NavigationKey key) override;
    // The tab host's hot keys reach the handler a host on this screen sets; without one they do nothing.
    void SetHotKeyHandler(std::function<void(HotKey, KeyTransition)> handler) {
        hot_key_handler_ = std::move(handler);
    }
    void HotKeyChanged(HotKey key, KeyTransition transition) override {
        if (hot_key_handler_) hot_key_handler_(key, transition);
    }
    // Closes the screen as the user would: the message loop ends.
    void CloseRequested() override { PostMessageW(desktop_, WM_CLOSE, 0, 0); }

    // Called on kScriptWakeMessage.
    void SetScriptHandler(std::function<void()> handler) { script_handler_ = std::move(handler); }

    HWND desktop() const { return desktop_; }
    // The items' windows (not the desktop, whose clock changes with time alone).
    std::vector<HWND> item_windows() const;
    StateDump Dump() const;
    // The screen as the user sees it: every visible window's surface at its place, clipped to its parent.
    device::SurfacePixels ComposeScreen() const override;
    // Destroys the windows and unloads the libraries; the shell is empty afterwards.
    void Destroy();

    // The desktop window's procedure lands here.
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  private:
    struct Item {
        std::string name;
        std::unique_ptr<PluginModule> module;
        TODAYLISTITEM record{};
        HWND window = nullptr;
    };

    void Layout();
    void Paint();
    void DrawWatermark(const TODAYDRAWWATERMARKINFO& info) const;
    void RepaintItem(const Item& item) const;
    void Deselect();
    bool OfferSelection(int start, int direction, UINT key);

    device::Profile profile_;
    TodayTheme theme_;
    HWND desktop_ = nullptr;
    std::vector<std::unique_ptr<Item>> items_;
    int selected_ = -1;  // index into items_ of the item holding the selection
    WORD shown_minute_ = 0xffff;
    Pen pen_;
    std::function<void()> script_handler_;
    std::function<void(StateDump&)> dump_extension_;
    std::function<void(HotKey, KeyTransition)> hot_key_handler_;
};

// Main thread. What the dump shows of one window: `name`, class, screen rectangle, visibility, the
// texts drawn in it and the item state it reported.
DumpedItem DumpWindow(HWND window, const std::string& name);

}  // namespace qf::emu
