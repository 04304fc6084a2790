#include "today_command.h"

#include <signal.h>

#include <filesystem>
#include <iostream>
#include <optional>
#include <thread>

#include "qfdevice/device.h"
#include "screen_window.h"
#include "script_feed.h"
#include "script_runner.h"
#include "shell_services.h"
#include "today_items.h"
#include "today_shell.h"

namespace qf::emu {
namespace {

bool UseDevice(const std::string& device, std::string* error) {
    if (!device.empty()) device::SetDeviceRoot(device);
    if (!std::filesystem::is_directory(device::StateDir())) {
        *error = "no device at " + device::DeviceRoot().string() + " (run 'quillfeed init' first)";
        return false;
    }
    if (!device::IsRegistryFileReadable()) {
        *error = "the device's registry file " + device::RegistryFilePath().string() + " is damaged";
        return false;
    }
    return true;
}

bool AddOne(TodayShell& shell, const std::u16string& name, const std::u16string& device_path,
            const std::filesystem::path& library, bool enabled, std::string* error) {
    std::string reason;
    if (shell.AddItem(name, device_path, library, enabled, &reason)) return true;
    *error = "cannot load the Today item " + WideToUtf8(name) + ": " + reason;
    return false;
}

bool AddItems(TodayShell& shell, const TodayOptions& options, std::string* error) {
    std::vector<TodayItemRegistration> registered = ReadTodayItems();
    if (!options.plugin.empty()) {
        std::u16string name = registered.empty() ? u"Quillfeed Today" : registered.front().name;
        std::filesystem::path library = std::filesystem::absolute(options.plugin);
        return AddOne(shell, name,
                      device::DevicePathOf(library).value_or(Utf8ToWide(library.filename().string())),
                      library, true, error);
    }
    if (registered.empty()) {
        *error = "no Today item is registered on the device";
        return false;
    }
    for (const TodayItemRegistration& item : registered) {
        std::optional<std::filesystem::path> library = device::MapPath(item.dll);
        if (!library) {
            *error = "the Today item " + WideToUtf8(item.name) + " names no device file";
            return false;
        }
        if (!AddOne(shell, item.name, item.dll, *library, item.enabled, error)) return false;
    }
    return true;
}

// Without a script the screen runs until it is told to stop: SIGINT and SIGTERM close it like the user
// would, so that the items are destroyed and the outputs written. The signals are blocked in every thread
// and taken by one waiting thread.
void CloseOnSignals(HWND desktop) {
    std::thread([desktop] {
        sigset_t signals;
        sigemptyset(&signals);
        sigaddset(&signals, SIGINT);
        sigaddset(&signals, SIGTERM);
        int received = 0;
        if (sigwait(&signals, &received) == 0) PostMessageW(desktop, WM_CLOSE, 0, 0);
    }).detach();
}

void RunMessageLoop() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
}

int WriteOutputs(const TodayShell& shell, ShellServices& services, const TodayOptions& options) {
    int exit_code = 0;
    services.Sync();
    if (!options.screenshot.empty() && !WriteScreenshot(shell, options.screenshot)) {
        std::cerr << "quillfeed-emu: cannot write " << options.screenshot << '\n';
        exit_code = 1;
    }
    if (!options.dump.empty() && !WriteDump(services, options.dump)) {
        std::cerr << "quillfeed-emu: cannot write " << options.dump << '\n';
        exit_code = 1;
    }
    return exit_code;
}

// The screen from set-up to tear-down: the exit code, or nullopt with `error` set when the device, the
// shell, the script, the window or the content cannot be set up.
std::optional<int> RunScreen(const TodayOptions& options, const ContentSetup& setup, std::string* error) {
    if (!UseDevice(options.device, error)) return std::nullopt;
    TodayShell shell(device::CurrentProfile());
    if (!shell.Create(error)) return std::nullopt;
    bool scripted = !options.script.empty();
    // Installed before the items load, so that whatever they show at start-up reaches the screen.
    // Message boxes wait for an answer when someone is there to give it: the script, or the pen.
    ShellServices services(shell, device::CurrentProfile(),
                           scripted || options.window ? Answering::kByScript : Answering::kAtOnce,
                           options.open_links ? LinkHandling::kOpenOnDesktop : LinkHandling::kRecordOnly);
    std::optional<ScriptFeed> feed;
    std::optional<ScriptRunner> runner;
    shell.SetScriptHandler([&services, &runner] {
        services.Sync();
        if (runner) runner->RunWaiting();
    });
    // The script is ready before the items load: one that asks a question while it starts waits
    // for the script's answer.
    if (scripted) {
        feed.emplace(options.script, shell.desktop(), kScriptWakeMessage);
        if (!feed->opened()) {
            *error = "cannot read the script " + options.script;
            return std::nullopt;
        }
        runner.emplace(shell, services, *feed,
                       options.script == "-" ? Acknowledge::kOnStdout : Acknowledge::kNo);
    } else {
        CloseOnSignals(shell.desktop());
    }
    std::unique_ptr<ScreenWindow> window;
    if (options.window) {
        const device::Profile& profile = device::CurrentProfile();
        window = ScreenWindow::Open(shell, profile.screen_width, profile.screen_height, options.zoom,
                                    "Quillfeed Today", error);
        if (window == nullptr) return std::nullopt;
    }
    std::unique_ptr<ScreenContent> content;
    if (!setup(shell, runner ? &*runner : nullptr, content, error)) {
        content.reset();
        return std::nullopt;
    }
    RunMessageLoop();
    window.reset();
    int exit_code = WriteOutputs(shell, services, options);
    content.reset();
    shell.Destroy();
    if (runner && runner->exit_code() != 0) return runner->exit_code();
    return exit_code;
}

}  // namespace

int RunShell(const TodayOptions& options, const ContentSetup& setup) {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    std::string error;
    std::optional<int> exit_code = RunScreen(options, setup, &error);
    if (exit_code) return *exit_code;
    std::cerr << "quillfeed-emu: " << error << '\n';
    return 1;
}

std::optional<std::filesystem::path> PluginLibraryOf(const TodayOptions& options, std::string* error) {
    if (!options.plugin.empty()) return std::filesystem::absolute(options.plugin);
    std::vector<TodayItemRegistration> registered = ReadTodayItems();
    if (registered.empty()) {
        *error = "no Today item is registered on the device";
        return std::nullopt;
    }
    std::optional<std::filesystem::path> library = device::MapPath(registered.front().dll);
    if (!library) *error = "the Today item " + WideToUtf8(registered.front().name) + " names no device file";
    return library;
}

int RunToday(const TodayOptions& options) {
    return RunShell(options, [&options](TodayShell& shell, ScriptRunner*, std::unique_ptr<ScreenContent>&,
                                        std::string* error) { return AddItems(shell, options, error); });
}

}  // namespace qf::emu
