#include "window/menu_tracker.h"

#include "qfdevice/device.h"
#include "window/menu_drawing.h"
#include "window/menu_layout.h"
#include "window/window_state.h"

namespace qf::device::wm {
namespace {

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

bool OwnedByThisThread(HWND window) {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    Window* found = state.Find(window);
    return found != nullptr && found->owner == state.CurrentQueue();
}

// What WM_MEASUREITEM and WM_DRAWITEM carry as itemID: the command, or the submenu's handle.
UINT ItemIdOf(const MenuEntry& entry) {
    return entry.submenu != nullptr ? MenuValue(entry.submenu) : entry.id;
}

UINT DrawStateOf(const MenuEntry& entry, bool highlighted) {
    UINT state = highlighted ? ODS_SELECTED : 0;
    if (entry.Grayed()) state |= ODS_GRAYED | ODS_DISABLED;
    if (entry.Checked()) state |= ODS_CHECKED;
    return state;
}

SIZE MeasureEntry(HWND owner, const MenuEntry& entry) {
    if (entry.type != MFT_OWNERDRAW) return MeasureStandardEntry(entry);
    MEASUREITEMSTRUCT measure{ODT_MENU, 0, ItemIdOf(entry), 0, 0, entry.data};
    SendMessageW(owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
    return SIZE{static_cast<LONG>(measure.itemWidth), static_cast<LONG>(measure.itemHeight)};
}

SIZE Screen() { return SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

void ForgetPlaces(std::vector<MenuEntryInfo>& entries) {
    for (MenuEntryInfo& entry : entries) {
        entry.screen_rect = RECT{};
        ForgetPlaces(entry.submenu);
    }
}

// Submenus nest only as deep as menus can be built; this only guards the description.
constexpr int kDeepestSubmenu = 32;

}  // namespace

MenuTracker& MenuTracker::Get() {
    static MenuTracker* tracker = new MenuTracker;  // never destroyed: popups may outlive static teardown
    return *tracker;
}

BOOL MenuTracker::Track(HMENU menu, UINT flags, POINT at, HWND owner) {
    if (!MenuExists(menu)) return Fail(ERROR_INVALID_MENU_HANDLE);
    if (!OwnedByThisThread(owner)) return Fail(ERROR_INVALID_WINDOW_HANDLE);
    if (!EnsureMenuPopupClass()) return Fail(ERROR_NOT_ENOUGH_MEMORY);
    bool answerable;
    {
        std::lock_guard lock(mutex_);
        if (session_) return Fail(ERROR_POPUP_ALREADY_ACTIVE);
        session_.emplace();
        session_->root = menu;
        session_->owner = owner;
        session_->flags = flags;
        session_->at = at;
        session_->thread = std::this_thread::get_id();
        answerable = static_cast<bool>(hook_);
    }
    if (Notifies()) SendMessageW(owner, WM_ENTERMENULOOP, TRUE, 0);
    // Nobody can answer a menu that no host watches: it closes again at once.
    if (!OpenPopup(menu, -1, -1) || !answerable) Finish(MenuTrackState::kCancelled, 0);
    RunModalLoop();

    std::optional<TrackedMenuInfo> ended = Info();
    ForgetPlaces(ended->entries);
    ended->popups.clear();
    CloseAbove(-1);
    UINT chosen = session_->chosen;
    {
        std::lock_guard lock(mutex_);
        last_ = std::move(ended);
        session_.reset();
    }
    if ((flags & TPM_NONOTIFY) == 0) SendMessageW(owner, WM_EXITMENULOOP, TRUE, 0);
    if ((flags & TPM_RETURNCMD) != 0) return static_cast<BOOL>(chosen);
    if (chosen != 0) PostMessageW(owner, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
    return TRUE;
}

bool MenuTracker::CancelOnThisThread() {
    std::lock_guard lock(mutex_);
    if (!session_ || session_->thread != std::this_thread::get_id()) return false;
    if (session_->state == MenuTrackState::kOpen) session_->state = MenuTrackState::kCancelled;
    return true;
}

// Every other message of the thread is dispatched as usual; a tap elsewhere cancels and is swallowed,
// and keys go to the innermost popup.
void MenuTracker::RunModalLoop() {
    while (session_->state == MenuTrackState::kOpen) {
        if (!IsWindow(session_->owner)) {
            Finish(MenuTrackState::kCancelled, 0);
            break;
        }
        MSG msg{};
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop that called the tracking
            Finish(MenuTrackState::kCancelled, 0);
            break;
        }
        bool on_popup = PopupOf(msg.hwnd) >= 0;
        if (msg.message == WM_LBUTTONDOWN && !on_popup) {
            Finish(MenuTrackState::kCancelled, 0);
            continue;
        }
        if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && !on_popup) {
            msg.hwnd = session_->popups.back().window;
        }
        DispatchMessageW(&msg);
    }
}

bool MenuTracker::OpenPopup(HMENU menu, int parent_popup, int parent_entry) {
    CloseAbove(parent_popup);
    HWND owner = session_->owner;
    if (Notifies()) {
        SendMessageW(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu),
                     MAKELPARAM(parent_entry < 0 ? 0 : parent_entry, FALSE));
    }
    std::optional<std::vector<MenuEntry>> entries = EntriesOf(menu);
    if (!entries || session_->state != MenuTrackState::kOpen) return false;
    std::vector<SIZE> sizes;
    for (const MenuEntry& entry : *entries) sizes.push_back(MeasureEntry(owner, entry));
    int frame = MenuPixels(kMenuFrameAt96Dpi);
    PopupLayout layout = LayOutEntries(sizes, frame);
    RECT place = parent_popup < 0 ? PlaceMenu(session_->at, session_->flags, layout.size, Screen())
                                  : PlaceSubmenu(session_->popups[parent_popup].screen,
                                                 session_->popups[parent_popup].rects[parent_entry].top,
                                                 layout.size, Screen(), frame);
    HWND window = CreateWindowExW(WS_EX_TOPMOST, kMenuPopupClass, u"", WS_POPUP, place.left, place.top,
                                  layout.size.cx, layout.size.cy, nullptr, nullptr, nullptr, nullptr);
    if (window == nullptr) return false;
    MenuHook hook;
    {
        std::lock_guard lock(mutex_);
        std::size_t count = entries->size();
        session_->popups.push_back(Popup{menu, window, std::move(*entries), std::move(layout.entries), place,
                                         -1, std::vector<bool>(count)});
        hook = hook_;
    }
    // Shown without activation, as menus are: the owner's window stays in front. Drawn at once, so that
    // the popup is on the screen when the host hears of it.
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    UpdateWindow(window);
    if (hook) hook(menu);
    return true;
}

void MenuTracker::CloseAbove(int keep) {
    while (static_cast<int>(session_->popups.size()) > keep + 1) {
        HWND window = session_->popups.back().window;
        {
            std::lock_guard lock(mutex_);
            session_->popups.pop_back();
        }
        DestroyWindow(window);
    }
}

void MenuTracker::Finish(MenuTrackState state, UINT chosen) {
    std::lock_guard lock(mutex_);
    if (!session_ || session_->state != MenuTrackState::kOpen) return;
    session_->state = state;
    session_->chosen = chosen;
}

int MenuTracker::PopupOf(HWND window) const {
    if (!session_ || session_->thread != std::this_thread::get_id() || window == nullptr) return -1;
    for (std::size_t i = 0; i < session_->popups.size(); ++i) {
        if (session_->popups[i].window == window) return static_cast<int>(i);
    }
    return -1;
}

int MenuTracker::EntryAt(int popup, POINT client) const {
    const std::vector<RECT>& rects = session_->popups[popup].rects;
    for (std::size_t i = 0; i < rects.size(); ++i) {
        if (PtInRect(&rects[i], client)) return static_cast<int>(i);
    }
    return -1;
}

void MenuTracker::Highlight(int popup, int entry) {
    Popup& view = session_->popups[popup];
    int old = view.highlighted;
    if (old == entry) return;
    {
        std::lock_guard lock(mutex_);
        view.highlighted = entry;
        for (int changed : {old, entry}) {
            if (changed >= 0) view.reselected[changed] = true;
        }
    }
    for (int changed : {old, entry}) {
        if (changed >= 0) InvalidateRect(view.window, &view.rects[changed], FALSE);
    }
    UpdateWindow(view.window);
}

void MenuTracker::MoveHighlight(int popup, int direction) {
    const Popup& view = session_->popups[popup];
    int count = static_cast<int>(view.entries.size());
    int entry = view.highlighted;
    for (int step = 0; step < count; ++step) {
        entry = entry < 0 && direction < 0 ? count - 1 : (entry + direction + count) % count;
        if (!view.entries[entry].Separator()) {
            Highlight(popup, entry);
            return;
        }
    }
}

void MenuTracker::Activate(int popup, int entry, bool highlight_first) {
    MenuEntry chosen = session_->popups[popup].entries[entry];
    if (chosen.Separator() || chosen.Grayed()) return;
    if (chosen.submenu == nullptr) {
        Finish(MenuTrackState::kChosen, chosen.id);
        return;
    }
    bool open = popup + 1 < static_cast<int>(session_->popups.size()) &&
                session_->popups[popup + 1].menu == chosen.submenu;
    if (!open && !OpenPopup(chosen.submenu, popup, entry)) return;
    if (highlight_first) MoveHighlight(popup + 1, 1);
}

void MenuTracker::PenDown(HWND window, POINT client) {
    int popup = PopupOf(window);
    if (popup < 0) return;
    session_->pen_down = true;
    int entry = EntryAt(popup, client);
    // A tap on an outer popup closes the submenus it opened, unless it is on the entry that opened them.
    bool on_opener = entry >= 0 && session_->popups[popup].highlighted == entry;
    if (!on_opener) CloseAbove(popup);
    Highlight(popup, entry);
}

void MenuTracker::PenMove(HWND window, POINT client) {
    int popup = PopupOf(window);
    if (popup < 0 || !session_->pen_down || popup + 1 != static_cast<int>(session_->popups.size())) return;
    Highlight(popup, EntryAt(popup, client));
}

void MenuTracker::PenUp(HWND window, POINT client) {
    int popup = PopupOf(window);
    if (popup < 0) return;
    session_->pen_down = false;
    int entry = EntryAt(popup, client);
    if (entry >= 0 && entry == session_->popups[popup].highlighted) Activate(popup, entry, false);
}

void MenuTracker::Key(HWND window, UINT key) {
    if (PopupOf(window) < 0) return;
    int innermost = static_cast<int>(session_->popups.size()) - 1;
    int highlighted = session_->popups[innermost].highlighted;
    switch (key) {
        case VK_UP:
        case VK_DOWN:
            MoveHighlight(innermost, key == VK_UP ? -1 : 1);
            break;
        case VK_RIGHT:
            if (highlighted >= 0 && session_->popups[innermost].entries[highlighted].submenu != nullptr) {
                Activate(innermost, highlighted, true);
            }
            break;
        case VK_RETURN:
            if (highlighted >= 0) Activate(innermost, highlighted, true);
            break;
        case VK_LEFT:
        case VK_ESCAPE:
            if (innermost > 0) {
                CloseAbove(innermost - 1);
            } else if (key == VK_ESCAPE) {
                Finish(MenuTrackState::kCancelled, 0);
            }
            break;
        default:
            break;
    }
}

void MenuTracker::Paint(HWND window) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    int popup = PopupOf(window);
    if (dc != nullptr && popup >= 0) {
        // A copy: the owner's WM_DRAWITEM may end the menu and close popups meanwhile.
        Popup view = session_->popups[popup];
        {
            std::lock_guard lock(mutex_);
            session_->popups[popup].reselected.assign(view.entries.size(), false);
        }
        DrawMenuFrame(dc, SIZE{view.screen.right - view.screen.left, view.screen.bottom - view.screen.top},
                      MenuPixels(kMenuFrameAt96Dpi));
        for (std::size_t i = 0; i < view.entries.size(); ++i) {
            RECT overlap;
            if (!IntersectRect(&overlap, &paint.rcPaint, &view.rects[i])) continue;
            const MenuEntry& entry = view.entries[i];
            bool highlighted = static_cast<int>(i) == view.highlighted;
            if (entry.type != MFT_OWNERDRAW) {
                DrawStandardEntry(dc, entry, view.rects[i], highlighted);
                continue;
            }
            DRAWITEMSTRUCT draw{ODT_MENU,
                                0,
                                ItemIdOf(entry),
                                view.reselected[i] ? ODA_SELECT : ODA_DRAWENTIRE,
                                DrawStateOf(entry, highlighted),
                                reinterpret_cast<HWND>(view.menu),
                                dc,
                                view.rects[i],
                                entry.data};
            SendMessageW(session_->owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
        }
    }
    EndPaint(window, &paint);
}

std::vector<MenuEntryInfo> MenuTracker::DescribeEntries(HMENU menu, int depth) const {
    std::vector<MenuEntryInfo> described;
    if (depth > kDeepestSubmenu) return described;
    const Popup* shown = nullptr;
    if (session_) {
        for (const Popup& popup : session_->popups) {
            if (popup.menu == menu) shown = &popup;
        }
    }
    // An open popup shows its entries as they were when it opened; the others are read as they are now.
    std::vector<MenuEntry> entries =
        shown != nullptr ? shown->entries : EntriesOf(menu).value_or(std::vector<MenuEntry>{});
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const MenuEntry& entry = entries[i];
        MenuEntryInfo info;
        info.text = entry.text;
        info.id = entry.submenu != nullptr || entry.Separator() ? 0 : entry.id;
        info.checked = entry.Checked();
        info.grayed = entry.Grayed();
        info.separator = entry.Separator();
        info.owner_drawn = entry.type == MFT_OWNERDRAW;
        info.has_submenu = entry.submenu != nullptr;
        if (shown != nullptr) {
            info.highlighted = static_cast<int>(i) == shown->highlighted;
            info.screen_rect = shown->rects[i];
            OffsetRect(&info.screen_rect, shown->screen.left, shown->screen.top);
        }
        if (entry.submenu != nullptr) info.submenu = DescribeEntries(entry.submenu, depth + 1);
        described.push_back(std::move(info));
    }
    return described;
}

std::optional<TrackedMenuInfo> MenuTracker::Info() {
    std::lock_guard lock(mutex_);
    if (!session_) return last_;
    TrackedMenuInfo info;
    info.menu = session_->root;
    info.owner = session_->owner;
    info.position = session_->at;
    info.state = session_->state;
    info.chosen_id = session_->chosen;
    info.entries = DescribeEntries(session_->root, 0);
    for (const Popup& popup : session_->popups) info.popups.push_back(popup.window);
    return info;
}

void MenuTracker::SetHook(MenuHook hook) {
    std::lock_guard lock(mutex_);
    hook_ = std::move(hook);
}

}  // namespace qf::device::wm

namespace qf::device {

std::optional<TrackedMenuInfo> TrackedMenu() { return wm::MenuTracker::Get().Info(); }

void SetMenuHook(MenuHook hook) { wm::MenuTracker::Get().SetHook(std::move(hook)); }

}  // namespace qf::device

using qf::device::wm::MenuTracker;

BOOL WINAPI TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, LPTPMPARAMS) {
    return MenuTracker::Get().Track(menu, flags, POINT{x, y}, owner);
}

BOOL WINAPI TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
    return MenuTracker::Get().Track(menu, flags, POINT{x, y}, owner);
}

BOOL WINAPI EndMenu() { return MenuTracker::Get().CancelOnThisThread(); }
