#include "fake_window_surface.h"

#include <mutex>

#include "qfdevice/window_surface.h"

namespace qf::test {
namespace {

std::mutex record_mutex;
SurfaceRecord record;

HDC Token(std::uintptr_t value) { return reinterpret_cast<HDC>(value); }

}  // namespace

SurfaceRecord SurfaceRecordNow() {
    std::lock_guard lock(record_mutex);
    return record;
}

void ResetSurfaceRecord() {
    std::lock_guard lock(record_mutex);
    record = SurfaceRecord{};
}

}  // namespace qf::test

namespace qf::device {

using qf::test::record;
using qf::test::record_mutex;

void SetWindowSurfaceSize(HWND window, int width, int height) {
    std::lock_guard lock(record_mutex);
    record.sizes[window] = {width, height};
}

void DestroyWindowSurface(HWND window) {
    std::lock_guard lock(record_mutex);
    record.sizes.erase(window);
    record.destroyed.push_back(window);
}

HDC AcquireWindowSurfaceDC(HWND window) {
    std::lock_guard lock(record_mutex);
    if (window != nullptr && !record.sizes.contains(window)) return nullptr;
    ++record.open_dcs;
    return qf::test::Token(window != nullptr ? reinterpret_cast<std::uintptr_t>(window) : 1);
}

void ReleaseWindowSurfaceDC(HDC) {
    std::lock_guard lock(record_mutex);
    --record.open_dcs;
}

void BeginWindowFrame(HWND window) {
    std::lock_guard lock(record_mutex);
    ++record.frames[window];
}

}  // namespace qf::device

QF_EXTERN_C int WINAPI FillRect(HDC, const RECT*, HBRUSH brush) {
    std::lock_guard lock(qf::test::record_mutex);
    qf::test::record.fills.push_back(brush);
    return 1;
}

QF_EXTERN_C HDC WINAPI CreateCompatibleDC(HDC) {
    std::lock_guard lock(qf::test::record_mutex);
    ++qf::test::record.open_dcs;
    return qf::test::Token(2);
}

QF_EXTERN_C BOOL WINAPI DeleteDC(HDC) {
    std::lock_guard lock(qf::test::record_mutex);
    --qf::test::record.open_dcs;
    return TRUE;
}
