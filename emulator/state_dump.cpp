#include "state_dump.h"

#include <windows.h>

#include <cstdio>

#include "shell_dump.h"

namespace qf::emu {
namespace {

nlohmann::json RectJson(int left, int top, int right, int bottom) {
    return {{"left", left}, {"top", top}, {"right", right}, {"bottom", bottom}};
}

nlohmann::json TextJson(const qf::device::DrawnText& text) {
    return {{"text", qf::WideToUtf8(text.text)},
            {"rect", RectJson(text.left, text.top, text.right, text.bottom)},
            {"font_height", text.font_height},
            {"font_weight", text.font_weight},
            {"color", ColorName(text.color)}};
}

nlohmann::json ItemJson(const DumpedItem& item) {
    nlohmann::json texts = nlohmann::json::array();
    for (const qf::device::DrawnText& text : item.texts) texts.push_back(TextJson(text));
    return {{"name", item.name},
            {"hwnd", item.hwnd},
            {"class", item.window_class},
            {"rect", RectJson(item.rect.left, item.rect.top, item.rect.right, item.rect.bottom)},
            {"visible", item.visible},
            {"height", item.reported_height},
            {"selected", item.selected},
            {"texts", texts},
            {"state", ItemStateJson(item.state)}};
}

nlohmann::json TabJson(const std::optional<DumpedTab>& tab) {
    if (!tab) return nullptr;
    return {{"api_version", tab->api_version}, {"control_strip", ItemJson(tab->control_strip)}};
}

}  // namespace

std::string ColorName(std::uint32_t colorref) {
    char name[8];
    std::snprintf(name, sizeof(name), "#%02X%02X%02X", colorref & 0xff, (colorref >> 8) & 0xff,
                  (colorref >> 16) & 0xff);
    return name;
}

nlohmann::json DumpToJson(const StateDump& dump) {
    nlohmann::json items = nlohmann::json::array();
    for (const DumpedItem& item : dump.items) items.push_back(ItemJson(item));
    nlohmann::json timers = nlohmann::json::array();
    for (const DumpedTimer& timer : dump.timers) {
        timers.push_back({{"hwnd", timer.hwnd},
                          {"class", timer.window_class},
                          {"id", timer.id},
                          {"interval_ms", timer.interval_ms}});
    }
    return {{"screen", {{"width", dump.screen_width}, {"height", dump.screen_height}, {"dpi", dump.dpi}}},
            {"time", dump.local_time},
            {"items", items},
            {"timers", timers},
            {"launches", LaunchesJson(dump.launches)},
            {"menu", MenuJson(dump.menu)},
            {"notifications", NotificationsJson(dump.notifications)},
            {"messageBoxes", MessageBoxesJson(dump.message_boxes)},
            {"tab", TabJson(dump.tab)}};
}

}  // namespace qf::emu
