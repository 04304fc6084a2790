#include "script_runner.h"

#include <fstream>
#include <iostream>

#include "menu_driver.h"
#include "qfdevice/gdi_io.h"
#include "qfdevice/window_manager.h"
#include "settle.h"

namespace qf::emu {

bool WriteDump(const ShellServices& services, const std::string& path) {
    std::ofstream out(path);
    out << DumpToJson(services.Dump()).dump(2) << '\n';
    return static_cast<bool>(out);
}

bool WriteScreenshot(const TodayShell& shell, const std::string& path) {
    return device::WritePixelsPng(shell.ComposeScreen(), path);
}

void ScriptRunner::RunWaiting() {
    int depth = services_.ModalDepth();
    if (finished_ || (!frames_.empty() && depth <= frames_.back())) return;
    // A line that opened a modal loop has done its part: the loop is there, waiting for the next lines.
    if (!frames_.empty()) Acknowledge(line_number_);
    frames_.push_back(depth);
    while (!finished_) {
        if (services_.ModalDepth() < depth) {
            // The modal loop this call serves has its answer: let it end, and have the lines that are
            // left run by the call outside it.
            PostMessageW(shell_.desktop(), kScriptWakeMessage, 0, 0);
            break;
        }
        std::optional<std::string> line = feed_.NextLine();
        if (!line) {
            if (feed_.AtEnd()) Finish();
            break;
        }
        int number = ++line_number_;
        auto parsed = ParseScriptLine(*line);
        if (const ScriptError* error = std::get_if<ScriptError>(&parsed)) {
            Refuse(error->text);
        } else if (const ScriptCommand* command = std::get_if<ScriptCommand>(&parsed)) {
            if (!Run(*command)) Finish();
        }
        Acknowledge(number);
    }
    frames_.pop_back();
}

// Lines are acknowledged in order; one that a later line finished first needs no word of its own.
void ScriptRunner::Acknowledge(int line) {
    if (acknowledge_ != Acknowledge::kOnStdout || line <= acknowledged_) return;
    acknowledged_ = line;
    std::cout << "ok " << line << std::endl;
}

bool ScriptRunner::Refuse(const std::string& reason) {
    std::cerr << "quillfeed-emu: script line " << line_number_ << ": " << reason << '\n';
    exit_code_ = 2;
    Finish();
    return false;
}

bool ScriptRunner::Answer(const ScriptCommand& command) {
    std::string error;
    bool done = true;
    if (const auto* menu = std::get_if<MenuCommand>(&command)) {
        done = menu->entry.empty() ? CancelMenu(&error)
                                   : ChooseMenuEntry(
                                         menu->entry,
                                         [this](POINT point) {
                                             shell_.Tap(point);
                                             device::PumpMessages();
                                         },
                                         &error);
    } else if (const auto* notification = std::get_if<NotificationCommand>(&command)) {
        services_.Sync();
        done = notification->button.empty() ? services_.bubbles().Dismiss(&error)
                                            : services_.bubbles().Press(notification->button, &error);
    } else if (const auto* box = std::get_if<MessageBoxCommand>(&command)) {
        done = services_.message_boxes().Answer(box->button, &error);
    }
    return done || Refuse(error);
}

bool ScriptRunner::Run(const ScriptCommand& command) {
    if (const auto* advance = std::get_if<AdvanceCommand>(&command)) {
        return !device::AdvanceClockAndPump(advance->step, shell_.item_windows()).quit_code;
    }
    if (std::holds_alternative<MenuCommand>(command) ||
        std::holds_alternative<NotificationCommand>(command) ||
        std::holds_alternative<MessageBoxCommand>(command)) {
        if (!Answer(command)) return false;
    } else if (const auto* tap = std::get_if<TapCommand>(&command)) {
        shell_.Tap(POINT{tap->x, tap->y});
    } else if (const auto* key = std::get_if<KeyCommand>(&command)) {
        shell_.Key(key->key);
    } else if (const auto* settle = std::get_if<SettleCommand>(&command)) {
        SettleResult result = SettleDownloads(settle->timeout);
        if (result == SettleResult::kQuit) return false;
        if (result == SettleResult::kTimedOut) {
            std::cerr << "quillfeed-emu: script line " << line_number_ << ": the download run did not end\n";
            exit_code_ = 1;
        }
    } else if (const auto* tab = std::get_if<TabCommand>(&command)) {
        std::string error = "only the tab host runs this command";
        if (!tab_commands_ || !tab_commands_(*tab, &error)) return Refuse(error);
    } else if (const auto* sleep = std::get_if<SleepCommand>(&command)) {
        device::SuspendClock(sleep->duration);
    } else if (const auto* shot = std::get_if<ScreenshotCommand>(&command)) {
        device::PumpMessages();
        services_.Sync();
        if (!WriteScreenshot(shell_, shot->path)) {
            std::cerr << "quillfeed-emu: cannot write " << shot->path << '\n';
            exit_code_ = 1;
        }
    } else if (const auto* dump = std::get_if<DumpCommand>(&command)) {
        device::PumpMessages();
        services_.Sync();
        if (!WriteDump(services_, dump->path)) {
            std::cerr << "quillfeed-emu: cannot write " << dump->path << '\n';
            exit_code_ = 1;
        }
    } else {
        return false;  // quit
    }
    return !device::PumpMessages().quit_code;
}

void ScriptRunner::Finish() {
    if (finished_) return;
    finished_ = true;
    PostQuitMessage(0);
}

}  // namespace qf::emu
