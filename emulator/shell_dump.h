// The state dump's view of the shell: launches, the popup menu, notifications, message boxes and what
// the items report about themselves, as JSON.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <vector>

#include "state_dump.h"

namespace qf::emu {

// Any thread. [{"verb", "file", "parameters", "directory", "show"}, ...]
nlohmann::json LaunchesJson(const std::vector<device::Launch>& launches);
// Any thread. null, or {"state": "open"|"chosen"|"cancelled", "chosen_id", "position", "entries"}; each
// entry {"text", "id", "checked", "grayed"} plus "submenu": [...] for a submenu, or {"separator": true}.
nlohmann::json MenuJson(const std::optional<device::TrackedMenuInfo>& menu);
// Any thread. [{"title", "text", "buttons": [{"text", "command"}], "shown", "id", "priority",
// "duration_s"}, ...]
nlohmann::json NotificationsJson(const std::vector<device::NotificationInfo>& notifications);
// Any thread. [{"caption", "text", "buttons", "open", "answer": "Yes" | ... | null}, ...]
nlohmann::json MessageBoxesJson(const std::vector<DumpedMessageBox>& boxes);
// Any thread. null, or {"view_id", "view_name", "display_mode": "ticker"|"list"|"feed list",
// "details_shown", "expanded", "current_item", "selected_row", "status_text", "downloading"}.
nlohmann::json ItemStateJson(const std::optional<device::ItemState>& state);

}  // namespace qf::emu
