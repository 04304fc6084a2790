// The emulator's state dump: what a tester needs to see of the Today screen without reading pixels.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "qfdevice/device.h"
#include "qfdevice/item_report.h"
#include "qfdevice/launches.h"
#include "qfdevice/menu_host.h"
#include "qfdevice/notifications.h"
#include "qfdevice/window_surface.h"

namespace qf::emu {

struct DumpRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

struct DumpedItem {
    std::string name;  // the Today item's registry name
    std::uintptr_t hwnd = 0;
    std::string window_class;
    DumpRect rect;  // screen coordinates
    bool visible = false;
    int reported_height = 0;  // cyp of the item's TODAYLISTITEM
    bool selected = false;    // holds the Today selection
    std::vector<qf::device::DrawnText> texts;
    std::optional<qf::device::ItemState> state;  // what the item last reported about itself
};

struct DumpedMessageBox {
    std::u16string text;
    std::u16string caption;
    unsigned type = 0;  // MB_*
    std::vector<std::u16string> buttons;
    bool open = true;
    int answer = 0;  // IDOK, IDYES, ... once answered
};

struct DumpedTimer {
    std::uintptr_t hwnd = 0;
    std::string window_class;
    unsigned id = 0;
    unsigned interval_ms = 0;
};

// What `quillfeed-emu tab` shows besides the Today items: the tab API version the plug-in reported and
// the plug-in's control strip.
struct DumpedTab {
    int api_version = 0;
    DumpedItem control_strip;
};

struct StateDump {
    int screen_width = 0;
    int screen_height = 0;
    int dpi = 0;
    std::string local_time;  // YYYY-MM-DDTHH:MM:SS of the device clock
    std::vector<DumpedItem> items;
    std::vector<DumpedTimer> timers;
    std::vector<qf::device::Launch> launches;
    std::optional<qf::device::TrackedMenuInfo> menu;  // the open menu, else the last one shown
    std::vector<qf::device::NotificationInfo> notifications;
    std::vector<DumpedMessageBox> message_boxes;
    std::optional<DumpedTab> tab;  // the tab host only
};

// Any thread. The dump as JSON: {"screen": {...}, "time": ..., "items": [...], "timers": [...],
// "launches": [...], "menu": {...} or null, "notifications": [...], "messageBoxes": [...]}; each text
// with "text", "rect", "font_height", "font_weight" and "color" as "#RRGGBB"; each item with "state"
// (null until the item reports one); "tab": null, or {"api_version", "control_strip": item} in the tab
// host.
nlohmann::json DumpToJson(const StateDump& dump);

// Any thread. "#RRGGBB" of a COLORREF (0x00BBGGRR).
std::string ColorName(std::uint32_t colorref);

}  // namespace qf::emu
