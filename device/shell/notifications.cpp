// SHNotificationAdd/SHNotificationRemove and the host's view of the notifications.
#include <algorithm>
#include <mutex>

#include "qfdevice/device.h"
#include "shell/notification_html.h"
#include "windows.h"

namespace qf::device {
namespace {

struct Stored {
    NotificationInfo info;
    std::int64_t added_ms = 0;  // device uptime
    bool answered = false;      // a button was pressed or the bubble dismissed
};

std::mutex notifications_mutex;
std::vector<Stored> notifications;   // guarded by notifications_mutex, oldest first
NotificationHook notification_hook;  // guarded by notifications_mutex

bool BubbleShown(const Stored& stored, std::int64_t now_ms) {
    if (stored.answered || (stored.info.flags & SHNF_STRAIGHTTOTRAY) != 0) return false;
    return stored.info.duration_s == 0 ||
           now_ms < stored.added_ms + std::int64_t{stored.info.duration_s} * 1000;
}

// Lock held.
std::vector<Stored>::iterator Find(const CLSID& clsid, DWORD id) {
    return std::find_if(notifications.begin(), notifications.end(),
                        [&](const Stored& s) { return s.info.clsid == clsid && s.info.id == id; });
}

void TellHost(NotificationHook hook) {
    if (hook) hook();
}

}  // namespace

std::vector<NotificationInfo> Notifications() {
    std::int64_t now_ms = DeviceUptimeMs();
    std::lock_guard lock(notifications_mutex);
    std::vector<NotificationInfo> result;
    for (const Stored& stored : notifications) {
        result.push_back(stored.info);
        result.back().bubble_shown = BubbleShown(stored, now_ms);
    }
    return result;
}

bool PressNotificationButton(const CLSID& clsid, DWORD id, UINT command) {
    std::int64_t now_ms = DeviceUptimeMs();
    HWND sink = nullptr;
    NotificationHook hook;
    {
        std::lock_guard lock(notifications_mutex);
        auto found = Find(clsid, id);
        if (found == notifications.end() || !BubbleShown(*found, now_ms)) return false;
        const auto& buttons = found->info.buttons;
        if (std::none_of(buttons.begin(), buttons.end(),
                         [&](const auto& b) { return b.command == command; })) {
            return false;
        }
        found->answered = true;
        sink = found->info.sink;
        hook = notification_hook;
    }
    PostMessageW(sink, WM_COMMAND, command, 0);
    TellHost(hook);
    return true;
}

bool DismissNotification(const CLSID& clsid, DWORD id) {
    std::int64_t now_ms = DeviceUptimeMs();
    NotificationHook hook;
    {
        std::lock_guard lock(notifications_mutex);
        auto found = Find(clsid, id);
        if (found == notifications.end() || !BubbleShown(*found, now_ms)) return false;
        found->answered = true;
        hook = notification_hook;
    }
    TellHost(hook);
    return true;
}

void SetNotificationHook(NotificationHook hook) {
    std::lock_guard lock(notifications_mutex);
    notification_hook = std::move(hook);
}

}  // namespace qf::device

using namespace qf::device;

LRESULT WINAPI SHNotificationAdd(SHNOTIFICATIONDATA* data) {
    if (data == nullptr || data->cbStruct != sizeof(SHNOTIFICATIONDATA)) return ERROR_INVALID_PARAMETER;
    Stored stored;
    NotificationInfo& info = stored.info;
    info.clsid = data->clsid;
    info.id = data->dwID;
    info.sink = data->hwndSink;
    info.title = data->pszTitle != nullptr ? data->pszTitle : u"";
    info.html = data->pszHTML != nullptr ? data->pszHTML : u"";
    NotificationContent content = ReadNotificationHtml(info.html);
    info.text = std::move(content.text);
    info.buttons = std::move(content.buttons);
    info.priority = static_cast<DWORD>(data->npPriority);
    info.duration_s = data->csDuration;
    info.flags = data->grfFlags;
    stored.added_ms = DeviceUptimeMs();
    NotificationHook hook;
    {
        std::lock_guard lock(notifications_mutex);
        if (Find(info.clsid, info.id) != notifications.end()) return ERROR_ALREADY_EXISTS;
        notifications.push_back(std::move(stored));
        hook = notification_hook;
    }
    TellHost(hook);
    return ERROR_SUCCESS;
}

LRESULT WINAPI SHNotificationRemove(const CLSID* clsid, DWORD id) {
    if (clsid == nullptr) return ERROR_INVALID_PARAMETER;
    NotificationHook hook;
    {
        std::lock_guard lock(notifications_mutex);
        auto found = Find(*clsid, id);
        if (found == notifications.end()) return ERROR_NOT_FOUND;
        notifications.erase(found);
        hook = notification_hook;
    }
    TellHost(hook);
    return ERROR_SUCCESS;
}
