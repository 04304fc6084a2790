// The plug-in's exported entry points. The Today screen and the tab host find them by name;
// exports.map keeps every other symbol of the library hidden. No exception may cross into a host, so
// each entry answers its failure value instead.
#include "host/entry_points.h"
#include "host/library_state.h"

namespace {

// The library's load and unload hooks: constructed when a host loads the library, destroyed when it
// unloads it.
struct LibraryLifetime {
    LibraryLifetime() { qf::host::LoadLibraryState(); }
    ~LibraryLifetime() {
        try {
            qf::host::UnloadLibraryState();
        } catch (...) {
        }
    }
    LibraryLifetime(const LibraryLifetime&) = delete;
    LibraryLifetime& operator=(const LibraryLifetime&) = delete;
} g_lifetime;

template <typename Result, typename Action>
Result Guarded(Result failure, Action action) {
    try {
        return action();
    } catch (...) {
        return failure;
    }
}

template <typename Action>
void Guarded(Action action) {
    try {
        action();
    } catch (...) {
    }
}

}  // namespace

using qf::host::TabRect;

extern "C" {

HWND InitializeCustomItem(TODAYLISTITEM* item, HWND parent) {
    return Guarded<HWND>(nullptr, [&] { return qf::host::InitializeTodayItem(item, parent); });
}

// `flag`: meaning unknown to this library; ignored.
HWND fnCreateTab(HWND parent, int x, int y, int width, int height, int strip_x, int strip_y, int strip_width,
                 int strip_height, HWND* control_strip, BYTE /*flag*/) {
    return Guarded<HWND>(nullptr, [&] {
        return qf::host::CreateTab(parent, TabRect{x, y, width, height},
                                   TabRect{strip_x, strip_y, strip_width, strip_height}, control_strip);
    });
}

void fnDestroyTab() {
    Guarded([] { qf::host::DestroyTab(); });
}

void fnShowTab() {
    Guarded([] { qf::host::ShowTab(); });
}

void fnHideTab() {
    Guarded([] { qf::host::HideTab(); });
}

int fnGetAPIVersion() { return qf::host::TabApiVersion(); }

void fnMoveWindow(int x, int y, int width, int height) {
    Guarded([&] { qf::host::MoveTab(TabRect{x, y, width, height}); });
}

int fnDoHotKeyDown(BYTE pressed) {
    return Guarded(1, [&] { return qf::host::HotKeyDown(pressed); });
}

int fnDoHotKeyUp(BYTE pressed) {
    return Guarded(1, [&] { return qf::host::HotKeyUp(pressed); });
}

int fnDoHotKeyEnter(BYTE pressed) {
    return Guarded(1, [&] { return qf::host::HotKeyEnter(pressed); });
}

BOOL fnShowAbout() {
    return Guarded<BOOL>(FALSE, [] { return qf::host::ShowTabAbout(); });
}

int fnShowSettings() {
    return Guarded(0, [] { return qf::host::ShowTabSettings(); });
}

}  // extern "C"
