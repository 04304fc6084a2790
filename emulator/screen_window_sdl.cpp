// The interactive window on SDL2. The device's message loops, modal ones included, are the only loops
// the main thread runs, so SDL is fed from inside them: a ticker thread posts a message to a hidden
// device window, whose procedure polls SDL's events and repaints. A tick is posted only once the last
// one was handled, so a busy device never finds a backlog of them.
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "screen_window.h"

namespace qf::emu {
namespace {

constexpr char16_t kFeedClass[] = u"QfEmuScreenFeed";
constexpr UINT kFeedMessage = WM_APP + 20;
constexpr auto kFeedPeriod = std::chrono::milliseconds(16);

std::optional<NavigationKey> NavigationKeyOf(SDL_Keycode key) {
    switch (key) {
        case SDLK_UP:
            return NavigationKey::kUp;
        case SDLK_DOWN:
            return NavigationKey::kDown;
        case SDLK_LEFT:
            return NavigationKey::kLeft;
        case SDLK_RIGHT:
            return NavigationKey::kRight;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return NavigationKey::kEnter;
        default:
            return std::nullopt;
    }
}

std::optional<HotKey> HotKeyOf(SDL_Keycode key) {
    switch (key) {
        case SDLK_F5:
            return HotKey::kF5;
        case SDLK_F6:
            return HotKey::kF6;
        case SDLK_F7:
            return HotKey::kF7;
        default:
            return std::nullopt;
    }
}

std::string SdlError(const std::string& what) { return what + ": " + SDL_GetError(); }

class SdlScreenWindow final : public ScreenWindow {
  public:
    SdlScreenWindow(ScreenHost& host, int width, int height, int zoom)
        : host_(host), width_(width), height_(height), zoom_(zoom) {}
    ~SdlScreenWindow() override;

    bool Open(const std::string& title, std::string* error);
    device::SurfacePixels ReadShown() const override;

  private:
    static LRESULT CALLBACK FeedProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    void RunTicker();
    void Feed();
    void Handle(const SDL_Event& event, bool& exposed);
    void Present(bool exposed);
    void Draw() const;
    POINT ToDevice(int x, int y) const;

    ScreenHost& host_;
    const int width_;
    const int height_;
    const int zoom_;
    bool sdl_started_ = false;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    HWND feed_ = nullptr;
    std::thread ticker_;
    std::mutex ticker_mutex_;
    std::condition_variable ticker_stop_;
    bool stopping_ = false;  // guarded by ticker_mutex_
    std::atomic<bool> tick_pending_{false};
    bool pen_down_ = false;
    device::SurfacePixels shown_;
};

bool SdlScreenWindow::Open(const std::string& title, std::string* error) {
    // The host takes SIGINT and SIGTERM itself.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        *error = SdlError("cannot open a window");
        return false;
    }
    sdl_started_ = true;
    // Without a display SDL falls back to a window nobody sees; only someone who asks for that gets it.
    std::string driver = SDL_GetCurrentVideoDriver();
    if ((driver == "offscreen" || driver == "dummy") && SDL_getenv("SDL_VIDEODRIVER") == nullptr) {
        *error = "cannot open a window: no display (set DISPLAY or WAYLAND_DISPLAY)";
        return false;
    }
    window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width_ * zoom_,
                               height_ * zoom_, 0);
    if (window_ == nullptr) {
        *error = SdlError("cannot open a window");
        return false;
    }
    renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (renderer_ != nullptr) {
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width_,
                                     height_);
    }
    if (texture_ == nullptr) {
        *error = SdlError("cannot draw in the window");
        return false;
    }
    WNDCLASSW feed_class{};
    feed_class.lpfnWndProc = FeedProc;
    feed_class.lpszClassName = kFeedClass;
    RegisterClassW(&feed_class);
    feed_ = CreateWindowExW(0, kFeedClass, u"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, this);
    if (feed_ == nullptr) {
        *error = "cannot feed the window from the device's message loop";
        return false;
    }
    Present(true);
    ticker_ = std::thread([this] { RunTicker(); });
    return true;
}

SdlScreenWindow::~SdlScreenWindow() {
    if (ticker_.joinable()) {
        {
            std::lock_guard lock(ticker_mutex_);
            stopping_ = true;
        }
        ticker_stop_.notify_all();
        ticker_.join();
    }
    if (feed_ != nullptr) DestroyWindow(feed_);
    UnregisterClassW(kFeedClass, nullptr);
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    if (sdl_started_) SDL_Quit();
}

LRESULT CALLBACK SdlScreenWindow::FeedProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_CREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        return 0;
    }
    if (message == kFeedMessage) {
        auto* self = reinterpret_cast<SdlScreenWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self != nullptr) self->Feed();
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

void SdlScreenWindow::RunTicker() {
    std::unique_lock lock(ticker_mutex_);
    while (!ticker_stop_.wait_for(lock, kFeedPeriod, [this] { return stopping_; })) {
        if (!tick_pending_.exchange(true)) PostMessageW(feed_, kFeedMessage, 0, 0);
    }
}

// A handler below may enter a modal loop (a key that opens a menu), which feeds the window from inside;
// nothing here is held across the calls to the host.
void SdlScreenWindow::Feed() {
    tick_pending_ = false;
    bool exposed = false;
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) Handle(event, exposed);
    Present(exposed);
}

void SdlScreenWindow::Handle(const SDL_Event& event, bool& exposed) {
    switch (event.type) {
        case SDL_QUIT:
            host_.CloseRequested();
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_EXPOSED) exposed = true;
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.button != SDL_BUTTON_LEFT) break;
            pen_down_ = true;
            host_.PenDown(ToDevice(event.button.x, event.button.y));
            break;
        case SDL_MOUSEMOTION:
            if (pen_down_) host_.PenMove(ToDevice(event.motion.x, event.motion.y));
            break;
        case SDL_MOUSEBUTTONUP:
            if (event.button.button != SDL_BUTTON_LEFT || !pen_down_) break;
            pen_down_ = false;
            host_.PenUp(ToDevice(event.button.x, event.button.y));
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (std::optional<HotKey> hot = HotKeyOf(event.key.keysym.sym)) {
                if (event.key.repeat == 0) {
                    host_.HotKeyChanged(
                        *hot, event.type == SDL_KEYDOWN ? KeyTransition::kPressed : KeyTransition::kReleased);
                }
            } else if (std::optional<NavigationKey> key = NavigationKeyOf(event.key.keysym.sym)) {
                if (event.type == SDL_KEYDOWN) host_.Key(*key);
            }
            break;
        default:
            break;
    }
}

// The pen stays on the device's screen: a drag that leaves the window goes on along its edge.
POINT SdlScreenWindow::ToDevice(int x, int y) const {
    return POINT{std::clamp(x / zoom_, 0, width_ - 1), std::clamp(y / zoom_, 0, height_ - 1)};
}

void SdlScreenWindow::Present(bool exposed) {
    device::SurfacePixels frame = host_.ComposeScreen();
    if (frame.width != width_ || frame.height != height_) return;
    if (!exposed && frame.pixels == shown_.pixels) return;
    shown_ = std::move(frame);
    SDL_UpdateTexture(texture_, nullptr, shown_.pixels.data(),
                      width_ * static_cast<int>(sizeof(std::uint32_t)));
    Draw();
    SDL_RenderPresent(renderer_);
}

void SdlScreenWindow::Draw() const {
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
}

// Drawn again rather than read from the presented buffer, whose content SDL leaves undefined.
device::SurfacePixels SdlScreenWindow::ReadShown() const {
    device::SurfacePixels shown;
    shown.width = width_ * zoom_;
    shown.height = height_ * zoom_;
    shown.pixels.assign(static_cast<size_t>(shown.width) * shown.height, 0);
    Draw();
    if (SDL_RenderReadPixels(renderer_, nullptr, SDL_PIXELFORMAT_RGB888, shown.pixels.data(),
                             shown.width * static_cast<int>(sizeof(std::uint32_t))) != 0) {
        return {};
    }
    for (std::uint32_t& pixel : shown.pixels) pixel &= 0x00ffffff;
    return shown;
}

}  // namespace

std::unique_ptr<ScreenWindow> ScreenWindow::Open(ScreenHost& host, int width, int height, int zoom,
                                                 const std::string& title, std::string* error) {
    auto window = std::make_unique<SdlScreenWindow>(host, width, height, std::max(zoom, 1));
    if (!window->Open(title, error)) return nullptr;
    return window;
}

}  // namespace qf::emu
