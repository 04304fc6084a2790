// The window manager's side of GDI: one surface per window, DCs into it, and what hosts read back.
#include "qfdevice/window_surface.h"

#include <algorithm>

#include "gdi/gdi_state.h"
#include "windows.h"

namespace qf::device {

using gdi::Bitmap;
using gdi::LockedGdi;

void SetWindowSurfaceSize(HWND window, int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (!Bitmap::IsValidSize(width, height)) width = height = 0;
    LockedGdi state;
    auto& surface = state->surfaces()[window];
    if (!surface) {
        surface =
            std::make_shared<Bitmap>(width, height, gdi::RowOrder::kTopDown, gdi::BitmapKind::kCompatible);
    } else if (surface->width() != width || surface->height() != height) {
        surface->Resize(width, height);
    }
}

void DestroyWindowSurface(HWND window) {
    LockedGdi state;
    // A DC still drawing into the surface keeps it alive until it is released.
    state->surfaces().erase(window);
}

HDC AcquireWindowSurfaceDC(HWND window) {
    LockedGdi state;
    auto found = state->surfaces().find(window);
    if (found == state->surfaces().end()) return nullptr;
    return state->CreateDc(gdi::DcKind::kWindow, found->second, nullptr);
}

void ReleaseWindowSurfaceDC(HDC dc) {
    LockedGdi state;
    auto* found = state->Find<gdi::Dc>(dc);
    if (found != nullptr && found->dc_kind == gdi::DcKind::kWindow) state->DestroyDc(dc);
}

void BeginWindowFrame(HWND window) {
    LockedGdi state;
    auto found = state->surfaces().find(window);
    if (found != state->surfaces().end()) found->second->texts().Clear();
}

std::vector<DrawnText> WindowTexts(HWND window) {
    LockedGdi state;
    auto found = state->surfaces().find(window);
    if (found == state->surfaces().end()) return {};
    return found->second->texts().Snapshot();
}

SurfacePixels ReadWindowSurface(HWND window) {
    LockedGdi state;
    auto found = state->surfaces().find(window);
    if (found == state->surfaces().end()) return {};
    return found->second->ReadPixels();
}

}  // namespace qf::device
