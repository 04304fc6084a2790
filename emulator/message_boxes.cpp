#include "message_boxes.h"

#include "qfdevice/shell_hooks.h"

namespace qf::emu {
namespace {

constexpr UINT kButtonsMask = 0x0F;
constexpr UINT kYesNoCancel = 0x03;

bool SameText(const std::u16string& a, const std::u16string& b) {
    return a.size() == b.size() && lstrcmpiW(a.c_str(), b.c_str()) == 0;
}

// What a box answers when it closes without a choice: its last button, the cautious one (Cancel, No),
// or OK when it has only that.
int CautiousAnswer(UINT type) { return MessageBoxButtons(type).back().second; }

}  // namespace

std::vector<std::pair<std::u16string, int>> MessageBoxButtons(UINT type) {
    switch (type & kButtonsMask) {
        case MB_OKCANCEL:
            return {{u"OK", IDOK}, {u"Cancel", IDCANCEL}};
        case kYesNoCancel:
            return {{u"Yes", IDYES}, {u"No", IDNO}, {u"Cancel", IDCANCEL}};
        case MB_YESNO:
            return {{u"Yes", IDYES}, {u"No", IDNO}};
        default:
            return {{u"OK", IDOK}};
    }
}

MessageBoxes::MessageBoxes(HWND desktop, UINT wake, const device::Profile& profile, Answering answering)
    : desktop_(desktop),
      wake_(wake),
      profile_(profile),
      answering_(answering),
      main_thread_(std::this_thread::get_id()) {
    device::SetMessageBoxHook([this](HWND, const std::u16string& text, const std::u16string& caption,
                                     UINT type) { return Show(text, caption, type); });
}

MessageBoxes::~MessageBoxes() {
    device::SetMessageBoxHook(nullptr);
    std::lock_guard lock(mutex_);
    for (size_t i = 0; i < boxes_.size(); ++i) {
        if (boxes_[i].open) {
            boxes_[i].open = false;
            boxes_[i].answer = CautiousAnswer(boxes_[i].type);
        }
    }
    answered_.notify_all();
}

// Runs on the thread that called MessageBoxW. On the main thread it waits in a message loop, so that
// the script, timers and paints go on; elsewhere it waits for the main thread's answer.
int MessageBoxes::Show(const std::u16string& text, const std::u16string& caption, UINT type) {
    bool main = std::this_thread::get_id() == main_thread_;
    DumpedMessageBox box{text, caption, type, {}, true, 0};
    for (const auto& [name, answer] : MessageBoxButtons(type)) box.buttons.push_back(name);
    size_t index;
    {
        std::lock_guard lock(mutex_);
        if (answering_ == Answering::kAtOnce) {
            box.open = false;
            box.answer = CautiousAnswer(type);
            boxes_.push_back(box);
            on_main_thread_.push_back(main);
            return box.answer;
        }
        index = boxes_.size();
        boxes_.push_back(box);
        on_main_thread_.push_back(main);
    }
    PostMessageW(desktop_, wake_, 0, 0);
    if (!main) {
        std::unique_lock lock(mutex_);
        answered_.wait(lock, [&] { return !boxes_[index].open; });
        return boxes_[index].answer;
    }
    SyncViews();
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (!boxes_[index].open) return boxes_[index].answer;
        }
        MSG msg{};
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the host's own loop
            Close(index, CautiousAnswer(type));
            continue;
        }
        DispatchMessageW(&msg);
    }
}

void MessageBoxes::Close(size_t index, int answer) {
    {
        std::lock_guard lock(mutex_);
        if (!boxes_[index].open) return;
        boxes_[index].open = false;
        boxes_[index].answer = answer;
    }
    answered_.notify_all();
    if (std::this_thread::get_id() == main_thread_) SyncViews();
}

std::vector<DumpedMessageBox> MessageBoxes::Records() const {
    std::lock_guard lock(mutex_);
    return boxes_;
}

bool MessageBoxes::Answer(const std::u16string& button, std::string* error) {
    size_t index = 0;
    UINT type = 0;
    {
        std::lock_guard lock(mutex_);
        auto open = std::find_if(boxes_.rbegin(), boxes_.rend(), [](const auto& box) { return box.open; });
        if (open == boxes_.rend()) {
            *error = "no message box is open";
            return false;
        }
        index = static_cast<size_t>(boxes_.rend() - open) - 1;
        type = open->type;
    }
    for (const auto& [name, answer] : MessageBoxButtons(type)) {
        if (SameText(name, button)) {
            Close(index, answer);
            return true;
        }
    }
    *error = "the message box has no button '" + WideToUtf8(button) + "'";
    return false;
}

int MessageBoxes::WaitingOnMainThread() const {
    std::lock_guard lock(mutex_);
    int waiting = 0;
    for (size_t i = 0; i < boxes_.size(); ++i) {
        if (boxes_[i].open && on_main_thread_[i]) ++waiting;
    }
    return waiting;
}

void MessageBoxes::SyncViews() {
    std::vector<DumpedMessageBox> boxes = Records();
    for (size_t i = 0; i < boxes.size(); ++i) {
        if (!boxes[i].open) {
            views_.erase(i);
            continue;
        }
        if (views_.contains(i)) continue;
        PanelContent content{boxes[i].caption, boxes[i].text, boxes[i].buttons, RGB(255, 255, 255)};
        int margin = 12 * profile_.dpi / 96;
        int width = profile_.screen_width - 2 * margin;
        int height = PanelWindow::HeightFor(content, width, profile_.dpi);
        int top = std::max(0, (profile_.screen_height - height) / 2);
        UINT type = boxes[i].type;
        views_[i] = std::make_unique<PanelWindow>(
            content, margin, top, width, profile_.dpi,
            [this, i, type](int button) { Close(i, MessageBoxButtons(type)[button].second); });
    }
}

}  // namespace qf::emu
