#include <mutex>

#include "qfdevice/shell_hooks.h"
#include "windows.h"

namespace qf::device {
namespace {

std::mutex hooks_mutex;
MessageBoxHook message_box_hook;
WaitCursorHook wait_cursor_hook;

// Headless answer: never agree to something destructive that nobody was asked about.
int HeadlessAnswer(UINT type) { return (type & 0x0F) == MB_YESNO ? IDNO : IDOK; }

// The two system cursors are fixed, distinct, never-dereferenced values.
HCURSOR SystemCursor(ULONG_PTR id) { return reinterpret_cast<HCURSOR>(id); }
constexpr ULONG_PTR kWaitCursorId = 32514;
constexpr ULONG_PTR kArrowCursorId = 32512;

HCURSOR current_cursor = nullptr;

}  // namespace

void SetMessageBoxHook(MessageBoxHook hook) {
    std::lock_guard lock(hooks_mutex);
    message_box_hook = std::move(hook);
}

void SetWaitCursorHook(WaitCursorHook hook) {
    std::lock_guard lock(hooks_mutex);
    wait_cursor_hook = std::move(hook);
}

}  // namespace qf::device

using namespace qf::device;

QF_EXTERN_C int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    MessageBoxHook hook;
    {
        std::lock_guard lock(hooks_mutex);
        hook = message_box_hook;
    }
    if (!hook) return HeadlessAnswer(type);
    return hook(owner, text ? std::u16string(text) : std::u16string(),
                caption ? std::u16string(caption) : std::u16string(), type);
}

QF_EXTERN_C HCURSOR WINAPI LoadCursorW(HINSTANCE, LPCWSTR name) {
    auto id = reinterpret_cast<ULONG_PTR>(name);
    if (id == kWaitCursorId || id == kArrowCursorId) return SystemCursor(id);
    return nullptr;
}

QF_EXTERN_C HCURSOR WINAPI SetCursor(HCURSOR cursor) {
    WaitCursorHook hook;
    HCURSOR previous;
    {
        std::lock_guard lock(hooks_mutex);
        previous = current_cursor;
        current_cursor = cursor;
        hook = wait_cursor_hook;
    }
    if (hook) hook(cursor == SystemCursor(kWaitCursorId));
    return previous;
}
