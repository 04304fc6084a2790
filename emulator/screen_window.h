// The interactive window: a window on the host's desktop that shows the emulated screen and turns the
// host's mouse and keyboard into the device's pen and keys. The mouse is the pen (press, move while
// pressed, release), the arrow keys and Enter are the D-pad and its action button, F5, F6 and F7 the tab
// host's hot keys; closing the window asks the host to stop. SDL stays behind this header, so that the
// headless hosts need no display.
//
// A host implements ScreenHost and keeps a ScreenWindow open while its device message loop runs:
//
//     std::unique_ptr<ScreenWindow> window = ScreenWindow::Open(host, width, height, zoom, title, &error);
//     RunMessageLoop();  // the window is fed from inside it, modal loops included
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "qfdevice/window_surface.h"
#include "script.h"

namespace qf::emu {

enum class HotKey { kF5 = 0, kF6 = 1, kF7 = 2 };
enum class KeyTransition { kPressed = 0, kReleased = 1 };

// What the window asks of the host that runs the device. Every call comes on the thread that opened the
// window, from inside that thread's device message loop; points are device screen coordinates.
class ScreenHost {
  public:
    virtual ~ScreenHost() = default;
    // The screen as the user sees it, as the screenshots show it.
    virtual device::SurfacePixels ComposeScreen() const = 0;
    virtual void PenDown(POINT at) = 0;
    virtual void PenMove(POINT at) = 0;
    virtual void PenUp(POINT at) = 0;
    virtual void Key(NavigationKey key) = 0;
    // A host without hot keys leaves them unanswered.
    virtual void HotKeyChanged(HotKey, KeyTransition) {}
    // The user closed the window.
    virtual void CloseRequested() = 0;
};

class ScreenWindow {
  public:
    // Opens a window of width x height device pixels, each shown as zoom x zoom host pixels, and starts
    // feeding it: about 60 times a second a message to a hidden window of the calling thread takes the
    // host's input to `host` and repaints the window when the composed screen changed. Null with a
    // reason when no window can be opened (no display). `host` must outlive the window. One window per
    // process; the calling thread runs the device's message loop.
    static std::unique_ptr<ScreenWindow> Open(ScreenHost& host, int width, int height, int zoom,
                                              const std::string& title, std::string* error);
    // Stops the feed and closes the window. Same thread as Open.
    virtual ~ScreenWindow() = default;

    // Same thread as Open. What the window shows now, at the window's size (zoomed), read back from it.
    virtual device::SurfacePixels ReadShown() const = 0;
};

}  // namespace qf::emu
