#include "qfdevice/item_report.h"

#include <map>
#include <mutex>

namespace qf::device {
namespace {

std::mutex reports_mutex;
std::map<HWND, ItemState> reports;  // guarded by reports_mutex

}  // namespace

void ReportItemState(const ItemState& state) {
    std::lock_guard lock(reports_mutex);
    reports[state.window] = state;
}

void ForgetItemState(HWND window) {
    std::lock_guard lock(reports_mutex);
    reports.erase(window);
}

std::optional<ItemState> ReportedItemState(HWND window) {
    std::lock_guard lock(reports_mutex);
    auto found = reports.find(window);
    if (found == reports.end()) return std::nullopt;
    return found->second;
}

std::vector<ItemState> ReportedItemStates() {
    std::lock_guard lock(reports_mutex);
    std::vector<ItemState> states;
    for (const auto& [window, state] : reports) states.push_back(state);
    return states;
}

}  // namespace qf::device
