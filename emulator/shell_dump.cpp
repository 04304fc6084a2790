#include "shell_dump.h"

#include "message_boxes.h"

namespace qf::emu {
namespace {

std::string Utf8(const std::u16string& text) { return WideToUtf8(text); }

nlohmann::json EntriesJson(const std::vector<device::MenuEntryInfo>& entries) {
    nlohmann::json list = nlohmann::json::array();
    for (const device::MenuEntryInfo& entry : entries) {
        if (entry.separator) {
            list.push_back({{"separator", true}});
            continue;
        }
        nlohmann::json item{{"text", Utf8(entry.text)},
                            {"id", entry.id},
                            {"checked", entry.checked},
                            {"grayed", entry.grayed}};
        if (entry.has_submenu) item["submenu"] = EntriesJson(entry.submenu);
        list.push_back(std::move(item));
    }
    return list;
}

const char* StateName(device::MenuTrackState state) {
    switch (state) {
        case device::MenuTrackState::kOpen:
            return "open";
        case device::MenuTrackState::kChosen:
            return "chosen";
        case device::MenuTrackState::kCancelled:
            break;
    }
    return "cancelled";
}

const char* ModeName(device::ItemDisplayMode mode) {
    switch (mode) {
        case device::ItemDisplayMode::kList:
            return "list";
        case device::ItemDisplayMode::kFeedList:
            return "feed list";
        case device::ItemDisplayMode::kTicker:
            break;
    }
    return "ticker";
}

}  // namespace

nlohmann::json LaunchesJson(const std::vector<device::Launch>& launches) {
    nlohmann::json list = nlohmann::json::array();
    for (const device::Launch& launch : launches) {
        list.push_back({{"verb", Utf8(launch.verb)},
                        {"file", Utf8(launch.file)},
                        {"parameters", Utf8(launch.parameters)},
                        {"directory", Utf8(launch.directory)},
                        {"show", launch.show}});
    }
    return list;
}

nlohmann::json MenuJson(const std::optional<device::TrackedMenuInfo>& menu) {
    if (!menu) return nullptr;
    return {{"state", StateName(menu->state)},
            {"chosen_id", menu->chosen_id},
            {"position", {{"x", menu->position.x}, {"y", menu->position.y}}},
            {"entries", EntriesJson(menu->entries)}};
}

nlohmann::json NotificationsJson(const std::vector<device::NotificationInfo>& notifications) {
    nlohmann::json list = nlohmann::json::array();
    for (const device::NotificationInfo& info : notifications) {
        nlohmann::json buttons = nlohmann::json::array();
        for (const device::NotificationButton& button : info.buttons) {
            buttons.push_back({{"text", Utf8(button.text)}, {"command", button.command}});
        }
        list.push_back({{"id", info.id},
                        {"title", Utf8(info.title)},
                        {"text", Utf8(info.text)},
                        {"buttons", buttons},
                        {"shown", info.bubble_shown},
                        {"priority", info.priority},
                        {"duration_s", info.duration_s}});
    }
    return list;
}

nlohmann::json MessageBoxesJson(const std::vector<DumpedMessageBox>& boxes) {
    nlohmann::json list = nlohmann::json::array();
    for (const DumpedMessageBox& box : boxes) {
        nlohmann::json buttons = nlohmann::json::array();
        for (const std::u16string& button : box.buttons) buttons.push_back(Utf8(button));
        nlohmann::json answer = nullptr;
        for (const auto& [name, id] : MessageBoxButtons(box.type)) {
            if (!box.open && id == box.answer) answer = Utf8(name);
        }
        list.push_back({{"caption", Utf8(box.caption)},
                        {"text", Utf8(box.text)},
                        {"buttons", buttons},
                        {"open", box.open},
                        {"answer", answer}});
    }
    return list;
}

nlohmann::json ItemStateJson(const std::optional<device::ItemState>& state) {
    if (!state) return nullptr;
    return {{"view_id", state->current_view_id},
            {"view_name", Utf8(state->current_view_name)},
            {"display_mode", ModeName(state->display_mode)},
            {"details_shown", state->details_shown},
            {"expanded", state->expanded},
            {"current_item", state->current_item_index},
            {"selected_row", state->selected_row},
            {"status_text", Utf8(state->status_text)},
            {"downloading", state->downloading}};
}

}  // namespace qf::emu
