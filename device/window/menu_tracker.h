// The one popup menu a process tracks at a time: its open popups, the highlight, the user's answer, and
// the modal loop that waits for it. The tracking thread changes the state (under the mutex, so that
// hosts may read it from any thread) and reads it without the mutex; no window call is made while the
// mutex is held.
#pragma once

#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "qfdevice/menu_host.h"
#include "window/menu_table.h"

namespace qf::device::wm {

// The class of the popup windows.
inline constexpr char16_t kMenuPopupClass[] = u"#32768";
// Any thread. Registers kMenuPopupClass once per process (menu_popup.cpp); false when it cannot.
bool EnsureMenuPopupClass();

class MenuTracker {
  public:
    static MenuTracker& Get();

    // Tracking thread (TrackPopupMenuEx). The whole tracking: notifications, popups, modal loop.
    BOOL Track(HMENU menu, UINT flags, POINT at, HWND owner);
    // Calling thread: cancels a tracking of this thread; false when there is none (EndMenu).
    bool CancelOnThisThread();

    // Tracking thread: the popup windows' procedure hands its input and paints over.
    void PenDown(HWND popup, POINT client);
    void PenMove(HWND popup, POINT client);
    void PenUp(HWND popup, POINT client);
    void Key(HWND popup, UINT key);
    void Paint(HWND popup);

    // Any thread.
    std::optional<TrackedMenuInfo> Info();
    void SetHook(MenuHook hook);

  private:
    struct Popup {
        HMENU menu = nullptr;
        HWND window = nullptr;
        std::vector<MenuEntry> entries;  // as they were when the popup opened
        std::vector<RECT> rects;         // client coordinates
        RECT screen{};
        int highlighted = -1;
        std::vector<bool> reselected;  // highlight changed since the entry was last drawn
    };
    struct Session {
        HMENU root = nullptr;
        HWND owner = nullptr;
        UINT flags = 0;
        POINT at{};
        std::thread::id thread;
        std::vector<Popup> popups;
        MenuTrackState state = MenuTrackState::kOpen;
        UINT chosen = 0;
        bool pen_down = false;
    };

    MenuTracker() = default;
    bool Notifies() const { return (session_->flags & TPM_NONOTIFY) == 0; }
    bool OpenPopup(HMENU menu, int parent_popup, int parent_entry);
    void CloseAbove(int keep);
    void RunModalLoop();
    void Highlight(int popup, int entry);
    void Finish(MenuTrackState state, UINT chosen);
    // Opens the entry's submenu or chooses its command, as a pen lifted on it or Return does.
    void Activate(int popup, int entry, bool highlight_first);
    void MoveHighlight(int popup, int direction);
    int PopupOf(HWND window) const;
    int EntryAt(int popup, POINT client) const;
    std::vector<MenuEntryInfo> DescribeEntries(HMENU menu, int depth) const;

    std::mutex mutex_;
    std::optional<Session> session_;
    std::optional<TrackedMenuInfo> last_;
    MenuHook hook_;
};

}  // namespace qf::device::wm
