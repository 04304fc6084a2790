// The interactive window on SDL's dummy video driver (whose software renderer, unlike the offscreen
// driver's OpenGL, leaks nothing), fed synthetic SDL events: what reaches the host, at which device
// coordinates under zoom, and the Today screen used with the pen and keys only.
#include "screen_window.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "qfdevice/item_report.h"
#include "qfdevice/menu_host.h"
#include "qfdevice/window_manager.h"
#include "shell_services.h"
#include "support/run_program.h"
#include "support/temp_device.h"
#include "support/watchdog.h"
#include "today_shell.h"

namespace qf::emu {
namespace {

using namespace std::chrono_literals;

// A button press or release, or with SDL_MOUSEMOTION a move, at window pixels.
void PushMouse(Uint32 type, int x, int y, Uint8 button = SDL_BUTTON_LEFT) {
    SDL_Event event{};
    event.type = type;
    if (type == SDL_MOUSEMOTION) {
        event.motion.x = x;
        event.motion.y = y;
    } else {
        event.button.button = button;
        event.button.x = x;
        event.button.y = y;
    }
    SDL_PushEvent(&event);
}

// A key event, or SDL_QUIT.
void PushKey(Uint32 type, SDL_Keycode key = 0, Uint8 repeat = 0) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = key;
    event.key.repeat = repeat;
    SDL_PushEvent(&event);
}

void RunMessageLoop() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
}

class ScreenWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { setenv("SDL_VIDEODRIVER", "dummy", 1); }

    test::TempDevice device_;
    test::Watchdog watchdog_{60s, "an interactive window"};
};

// Writes down every call as text; a close request ends the message loop.
class RecordingHost final : public ScreenHost {
  public:
    device::SurfacePixels ComposeScreen() const override { return frame; }
    void PenDown(POINT at) override { Note("down", at); }
    void PenMove(POINT at) override { Note("move", at); }
    void PenUp(POINT at) override { Note("up", at); }
    void Key(NavigationKey key) override { calls.push_back("key " + std::to_string(static_cast<int>(key))); }
    void HotKeyChanged(HotKey key, KeyTransition transition) override {
        calls.push_back("F" + std::to_string(static_cast<int>(key) + 5) +
                        (transition == KeyTransition::kPressed ? " pressed" : " released"));
    }
    void CloseRequested() override {
        calls.push_back("close");
        PostQuitMessage(0);
    }

    device::SurfacePixels frame;
    std::vector<std::string> calls;

  private:
    void Note(const char* what, POINT at) {
        calls.push_back(std::string(what) + " " + std::to_string(at.x) + " " + std::to_string(at.y));
    }
};

TEST_F(ScreenWindowTest, EventsReachTheHostInDevicePixelsAndTheWindowShowsTheFrameZoomed) {
    constexpr int kZoom = 3;
    RecordingHost host;
    host.frame.width = 20;
    host.frame.height = 10;
    for (int i = 0; i < 200; ++i) host.frame.pixels.push_back(static_cast<std::uint32_t>(i * 0x010203));
    std::string error;
    std::unique_ptr<ScreenWindow> window = ScreenWindow::Open(host, 20, 10, kZoom, "test", &error);
    ASSERT_NE(window, nullptr) << error;

    // A move with the pen up, a right button, a drag off the window (along its edge), a move after.
    PushMouse(SDL_MOUSEMOTION, 5, 5);
    PushMouse(SDL_MOUSEBUTTONDOWN, 5, 5, SDL_BUTTON_RIGHT);
    PushMouse(SDL_MOUSEBUTTONDOWN, 31, 14);
    PushMouse(SDL_MOUSEMOTION, 47, 29);
    PushMouse(SDL_MOUSEMOTION, -9, 400);
    PushMouse(SDL_MOUSEBUTTONUP, 61, 2);
    PushMouse(SDL_MOUSEMOTION, 8, 8);
    // Key up, a key of no meaning and an auto-repeat give nothing.
    for (SDL_Keycode key : {SDLK_DOWN, SDLK_LEFT, SDLK_KP_ENTER, SDLK_a, SDLK_F5}) PushKey(SDL_KEYDOWN, key);
    PushKey(SDL_KEYUP, SDLK_DOWN);
    PushKey(SDL_KEYDOWN, SDLK_F5, 1);
    PushKey(SDL_KEYUP, SDLK_F5);
    PushKey(SDL_KEYDOWN, SDLK_F7);
    PushKey(SDL_QUIT);
    RunMessageLoop();

    std::vector<std::string> expected = {"down 10 4",   "move 15 9",  "move 0 9", "up 19 0",
                                         "key 1",       "key 2",      "key 4",    "F5 pressed",
                                         "F5 released", "F7 pressed", "close"};
    EXPECT_EQ(host.calls, expected);
    device::SurfacePixels shown = window->ReadShown();
    ASSERT_EQ(shown.width, 20 * kZoom);
    ASSERT_EQ(shown.height, 10 * kZoom);
    int wrong = 0;
    for (int y = 0; y < shown.height; ++y)
        for (int x = 0; x < shown.width; ++x)
            wrong += shown.pixels[y * shown.width + x] != host.frame.pixels[(y / kZoom) * 20 + x / kZoom];
    EXPECT_EQ(wrong, 0);
}

// The Today screen with the probe item (tests/emu_probe) used through the window at zoom 2: the user
// thread clicks and types, and waits for what the device shows before the next step.
class InteractiveToday : public ScreenWindowTest {
  protected:
    static constexpr int kZoom = 2;

    void SetUp() override {
        ScreenWindowTest::SetUp();
        test::ProgramResult init =
            test::RunProgram({test::BuiltProgram("quillfeed"), "--device", device_.root().string(), "init"});
        ASSERT_EQ(init.exit_code, 0) << init.err;
    }

    static std::string Status() {
        std::vector<device::ItemState> states = device::ReportedItemStates();
        return states.empty() ? "" : WideToUtf8(states.front().status_text);
    }

    // A step that does not come fails, and the next ones fail soon after, well within the watchdog.
    static bool WaitFor(const std::function<bool()>& done) {
        for (auto until = std::chrono::steady_clock::now() + 5s; std::chrono::steady_clock::now() < until;
             std::this_thread::sleep_for(5ms)) {
            if (done()) return true;
        }
        return false;
    }

    static void WaitForStatus(const std::string& status) {
        EXPECT_TRUE(WaitFor([&] { return Status() == status; })) << status << " never came: " << Status();
    }

    static void Click(POINT at) {
        PushMouse(SDL_MOUSEBUTTONDOWN, at.x * kZoom + 1, at.y * kZoom + 1);
        PushMouse(SDL_MOUSEBUTTONUP, at.x * kZoom + 1, at.y * kZoom + 1);
    }

    // Clicks the button `text` of one of the shell's panels (a bubble or a message box) once it is drawn.
    static void ClickPanelButton(const std::u16string& text) {
        std::optional<POINT> found;
        WaitFor([&] {
            for (const device::WindowInfo& panel : device::EnumerateWindows()) {
                if (panel.class_name != u"QfEmuPanel") continue;
                for (const device::DrawnText& drawn : device::WindowTexts(panel.handle)) {
                    if (drawn.text == text) {
                        found = POINT{panel.screen_rect.left + (drawn.left + drawn.right) / 2,
                                      panel.screen_rect.top + (drawn.top + drawn.bottom) / 2};
                    }
                }
            }
            return found.has_value();
        });
        ASSERT_TRUE(found) << "no panel shows " << WideToUtf8(text);
        Click(*found);
    }

    // Runs as the user, then closes the window.
    static void Use() {
        WaitForStatus("ready");
        // Pen down on the item's left half opens its menu; the pen moves on before it is lifted.
        PushMouse(SDL_MOUSEBUTTONDOWN, 100 * kZoom + 1, 46 * kZoom + 1);
        PushMouse(SDL_MOUSEMOTION, 100 * kZoom + 1, 60 * kZoom + 1);
        WaitForStatus("drag 100 34");
        PushMouse(SDL_MOUSEBUTTONUP, 100 * kZoom + 1, 60 * kZoom + 1);
        device::TrackedMenuInfo menu = device::TrackedMenu().value_or(device::TrackedMenuInfo{});
        EXPECT_EQ(std::pair(menu.position.x, menu.position.y), std::pair(100, 46));
        if (!menu.entries.empty()) {
            const RECT& entry = menu.entries.front().screen_rect;
            Click(POINT{(entry.left + entry.right) / 2, (entry.top + entry.bottom) / 2});
        }
        WaitForStatus("command 2003");

        PushKey(SDL_KEYDOWN, SDLK_DOWN);
        WaitForStatus("selected");
        PushKey(SDL_KEYDOWN, SDLK_RETURN);  // the probe's notification bubble
        ClickPanelButton(u"Download Now");
        WaitForStatus("command 10");
        Click(POINT{200, 46});  // the right half asks in a message box
        ClickPanelButton(u"Yes");
        WaitForStatus("answer 6");
        PushKey(SDL_KEYDOWN, SDLK_F6);  // for the host on the screen
        PushKey(SDL_QUIT);
    }
};

TEST_F(InteractiveToday, PenAndKeysAnswerMenusBubblesAndMessageBoxesAndTheWindowCloses) {
    TodayShell shell(device::CurrentProfile());
    std::string error;
    ASSERT_TRUE(shell.Create(&error)) << error;
    ShellServices services(shell, device::CurrentProfile(), Answering::kByScript, LinkHandling::kRecordOnly);
    shell.SetScriptHandler([&services] { services.Sync(); });
    std::unique_ptr<ScreenWindow> window = ScreenWindow::Open(shell, 240, 320, kZoom, "test", &error);
    ASSERT_NE(window, nullptr) << error;
    ASSERT_TRUE(shell.AddItem(u"Probe", u"\\probe.dll",
                              std::string(QF_BINARY_DIR) + "/tests/libqf_probe_item.so", true, &error))
        << error;

    std::vector<HotKey> hot_keys;
    shell.SetHotKeyHandler([&hot_keys](HotKey key, KeyTransition) { hot_keys.push_back(key); });

    std::thread user(Use);
    RunMessageLoop();
    user.join();
    EXPECT_EQ(hot_keys, std::vector<HotKey>{HotKey::kF6});
    window.reset();
    shell.Destroy();
}

}  // namespace
}  // namespace qf::emu
