#include "script_runner.h"

#include <fstream>
#include <iostream>

#include "qfdevice/gdi_io.h"
#include "qfdevice/window_manager.h"

namespace qf::emu {

bool WriteDump(const TodayShell& shell, const std::string& path) {
    std::ofstream out(path);
    out << DumpToJson(shell.Dump()).dump(2) << '\n';
    return static_cast<bool>(out);
}

bool WriteScreenshot(const TodayShell& shell, const std::string& path) {
    return device::WritePixelsPng(shell.ComposeScreen(), path);
}

void ScriptRunner::RunWaiting() {
    if (running_ || finished_) return;
    running_ = true;
    while (!finished_) {
        std::optional<std::string> line = feed_.NextLine();
        if (!line) {
            if (feed_.AtEnd()) Finish();
            break;
        }
        ++line_number_;
        auto parsed = ParseScriptLine(*line);
        if (const ScriptError* error = std::get_if<ScriptError>(&parsed)) {
            std::cerr << "quillfeed-emu: script line " << line_number_ << ": " << error->text << '\n';
            exit_code_ = 2;
            Finish();
        } else if (const ScriptCommand* command = std::get_if<ScriptCommand>(&parsed)) {
            if (!Run(*command)) Finish();
        }
    }
    running_ = false;
}

// Answers false when the script must end.
bool ScriptRunner::Run(const ScriptCommand& command) {
    if (const auto* advance = std::get_if<AdvanceCommand>(&command)) {
        return !device::AdvanceClockAndPump(advance->step, shell_.item_windows()).quit_code;
    }
    if (const auto* tap = std::get_if<TapCommand>(&command)) {
        shell_.Tap(tap->x, tap->y);
    } else if (const auto* key = std::get_if<KeyCommand>(&command)) {
        shell_.Key(key->key);
    } else if (const auto* shot = std::get_if<ScreenshotCommand>(&command)) {
        device::PumpMessages();
        if (!WriteScreenshot(shell_, shot->path)) {
            std::cerr << "quillfeed-emu: cannot write " << shot->path << '\n';
            exit_code_ = 1;
        }
    } else if (const auto* dump = std::get_if<DumpCommand>(&command)) {
        device::PumpMessages();
        if (!WriteDump(shell_, dump->path)) {
            std::cerr << "quillfeed-emu: cannot write " << dump->path << '\n';
            exit_code_ = 1;
        }
    } else {
        return false;  // quit
    }
    return !device::PumpMessages().quit_code;
}

void ScriptRunner::Finish() {
    finished_ = true;
    PostQuitMessage(0);
}

}  // namespace qf::emu
