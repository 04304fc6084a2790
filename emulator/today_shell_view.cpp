// What the Today screen shows, for screenshots and state dumps.
#include <algorithm>
#include <cstdio>
#include <map>

#include "qfdevice/window_manager.h"
#include "today_shell.h"

namespace qf::emu {
namespace {

std::string ClassOf(HWND window) {
    WCHAR name[256] = {};
    GetClassNameW(window, name, 256);
    return WideToUtf8(name);
}

std::string LocalTimeText() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof(text), "%04u-%02u-%02uT%02u:%02u:%02u", now.wYear % 10000u, now.wMonth % 100u,
                  now.wDay % 100u, now.wHour % 100u, now.wMinute % 100u, now.wSecond % 100u);
    return text;
}

std::uintptr_t HandleNumber(HWND window) { return reinterpret_cast<std::uintptr_t>(window); }

// Copies `surface` to `screen` with its top-left corner at (left, top), inside `clip` only.
void Blit(const device::SurfacePixels& surface, int left, int top, const RECT& clip,
          device::SurfacePixels& screen) {
    if (surface.pixels.empty()) return;
    int x0 = std::max<int>(left, clip.left);
    int x1 = std::min<int>(left + surface.width, clip.right);
    int y0 = std::max<int>(top, clip.top);
    int y1 = std::min<int>(top + surface.height, clip.bottom);
    for (int y = y0; y < y1; ++y) {
        const std::uint32_t* from =
            &surface.pixels[static_cast<size_t>(y - top) * surface.width + (x0 - left)];
        std::uint32_t* to = &screen.pixels[static_cast<size_t>(y) * screen.width + x0];
        if (x1 > x0) std::copy(from, from + (x1 - x0), to);
    }
}

}  // namespace

DumpedItem DumpWindow(HWND window, const std::string& name) {
    DumpedItem dumped;
    dumped.name = name;
    dumped.hwnd = HandleNumber(window);
    dumped.window_class = ClassOf(window);
    RECT rect{};
    GetWindowRect(window, &rect);
    dumped.rect = {rect.left, rect.top, rect.right, rect.bottom};
    dumped.visible = IsWindowVisible(window) != FALSE;
    dumped.texts = device::WindowTexts(window);
    dumped.state = device::ReportedItemState(window);
    return dumped;
}

StateDump TodayShell::Dump() const {
    StateDump dump;
    dump.screen_width = profile_.screen_width;
    dump.screen_height = profile_.screen_height;
    dump.dpi = profile_.dpi;
    dump.local_time = LocalTimeText();
    for (size_t index = 0; index < items_.size(); ++index) {
        const Item& item = *items_[index];
        if (item.window == nullptr) continue;
        DumpedItem dumped = DumpWindow(item.window, item.name);
        dumped.reported_height = static_cast<int>(item.record.cyp);
        dumped.selected = selected_ == static_cast<int>(index);
        dump.items.push_back(std::move(dumped));
    }
    for (const device::TimerInfo& timer : device::RunningTimers()) {
        dump.timers.push_back({HandleNumber(timer.window), timer.window ? ClassOf(timer.window) : "",
                               static_cast<unsigned>(timer.id), timer.period_ms});
    }
    if (dump_extension_) dump_extension_(dump);
    return dump;
}

device::SurfacePixels TodayShell::ComposeScreen() const {
    device::SurfacePixels screen;
    screen.width = profile_.screen_width;
    screen.height = profile_.screen_height;
    screen.pixels.assign(static_cast<size_t>(screen.width) * screen.height, 0);
    // Each window shows only inside its parent; the list comes parents first.
    std::map<HWND, RECT> clips;
    const RECT whole{0, 0, screen.width, screen.height};
    for (const device::WindowInfo& window : device::EnumerateWindows()) {
        RECT parent_clip = whole;
        if (window.parent != nullptr) {
            auto found = clips.find(window.parent);
            if (found == clips.end()) continue;  // the parent is hidden, so is the child
            parent_clip = found->second;
        }
        if (!window.visible) continue;
        RECT clip{};
        if (!IntersectRect(&clip, &parent_clip, &window.screen_rect)) continue;
        clips[window.handle] = clip;
        Blit(device::ReadWindowSurface(window.handle), window.screen_rect.left, window.screen_rect.top, clip,
             screen);
    }
    return screen;
}

}  // namespace qf::emu
