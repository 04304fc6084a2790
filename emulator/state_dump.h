// The emulator's state dump: what a tester needs to see of the Today screen without reading pixels.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

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
};

struct DumpedTimer {
    std::uintptr_t hwnd = 0;
    std::string window_class;
    unsigned id = 0;
    unsigned interval_ms = 0;
};

struct StateDump {
    int screen_width = 0;
    int screen_height = 0;
    int dpi = 0;
    std::string local_time;  // YYYY-MM-DDTHH:MM:SS of the device clock
    std::vector<DumpedItem> items;
    std::vector<DumpedTimer> timers;
};

// Any thread. The dump as JSON: {"screen": {...}, "time": ..., "items": [...], "timers": [...]}; each
// text with "text", "rect", "font_height", "font_weight" and "color" as "#RRGGBB".
nlohmann::json DumpToJson(const StateDump& dump);

// Any thread. "#RRGGBB" of a COLORREF (0x00BBGGRR).
std::string ColorName(std::uint32_t colorref);

}  // namespace qf::emu
