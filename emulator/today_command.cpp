#include "today_command.h"

#include <signal.h>

#include <filesystem>
#include <iostream>
#include <optional>
#include <thread>

#include "qfdevice/device.h"
#include "script_feed.h"
#include "script_runner.h"
#include "today_items.h"
#include "today_shell.h"

namespace qf::emu {
namespace {

class SetupError {
  public:
    explicit SetupError(std::string message) : message(std::move(message)) {}
    std::string message;
};

void UseDevice(const std::string& device) {
    if (!device.empty()) device::SetDeviceRoot(device);
    if (!std::filesystem::is_directory(device::StateDir())) {
        throw SetupError("no device at " + device::DeviceRoot().string() + " (run 'quillfeed init' first)");
    }
    if (!device::IsRegistryFileReadable()) {
        throw SetupError("the device's registry file " + device::RegistryFilePath().string() + " is damaged");
    }
}

void AddOne(TodayShell& shell, const std::u16string& name, const std::u16string& device_path,
            const std::filesystem::path& library, bool enabled) {
    std::string error;
    if (!shell.AddItem(name, device_path, library, enabled, &error)) {
        throw SetupError("cannot load the Today item " + WideToUtf8(name) + ": " + error);
    }
}

void AddItems(TodayShell& shell, const TodayOptions& options) {
    std::vector<TodayItemRegistration> registered = ReadTodayItems();
    if (!options.plugin.empty()) {
        std::u16string name = registered.empty() ? u"Quillfeed Today" : registered.front().name;
        std::filesystem::path library = std::filesystem::absolute(options.plugin);
        AddOne(shell, name, device::DevicePathOf(library).value_or(Utf8ToWide(library.filename().string())),
               library, true);
        return;
    }
    if (registered.empty()) throw SetupError("no Today item is registered on the device");
    for (const TodayItemRegistration& item : registered) {
        std::optional<std::filesystem::path> library = device::MapPath(item.dll);
        if (!library) throw SetupError("the Today item " + WideToUtf8(item.name) + " names no device file");
        AddOne(shell, item.name, item.dll, *library, item.enabled);
    }
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

int WriteOutputs(const TodayShell& shell, const TodayOptions& options) {
    int exit_code = 0;
    if (!options.screenshot.empty() && !WriteScreenshot(shell, options.screenshot)) {
        std::cerr << "quillfeed-emu: cannot write " << options.screenshot << '\n';
        exit_code = 1;
    }
    if (!options.dump.empty() && !WriteDump(shell, options.dump)) {
        std::cerr << "quillfeed-emu: cannot write " << options.dump << '\n';
        exit_code = 1;
    }
    return exit_code;
}

}  // namespace

int RunToday(const TodayOptions& options) {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    try {
        UseDevice(options.device);
        TodayShell shell(device::CurrentProfile());
        std::string error;
        if (!shell.Create(&error)) throw SetupError(error);
        AddItems(shell, options);

        std::optional<ScriptFeed> feed;
        std::optional<ScriptRunner> runner;
        if (!options.script.empty()) {
            feed.emplace(options.script, shell.desktop(), kScriptWakeMessage);
            if (!feed->opened()) throw SetupError("cannot read the script " + options.script);
            runner.emplace(shell, *feed);
            shell.SetScriptHandler([&runner] { runner->RunWaiting(); });
        } else {
            CloseOnSignals(shell.desktop());
        }
        RunMessageLoop();
        int exit_code = WriteOutputs(shell, options);
        shell.Destroy();
        if (runner && runner->exit_code() != 0) return runner->exit_code();
        return exit_code;
    } catch (const SetupError& e) {
        std::cerr << "quillfeed-emu: " << e.message << '\n';
        return 1;
    }
}

}  // namespace qf::emu
