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

}  // namespace

int RunShell(const TodayOptions& options, const ContentSetup& setup) {
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
            if (!feed->opened()) throw SetupError("cannot read the script " + options.script);
            runner.emplace(shell, services, *feed,
                           options.script == "-" ? Acknowledge::kOnStdout : Acknowledge::kNo);
        } else {
            CloseOnSignals(shell.desktop());
        }
        std::unique_ptr<ScreenWindow> window;
        if (options.window) {
            const device::Profile& profile = device::CurrentProfile();
            window = ScreenWindow::Open(shell, profile.screen_width, profile.screen_height, options.zoom,
                                        "Quillfeed Today", &error);
            if (window == nullptr) throw SetupError(error);
        }
        std::unique_ptr<ScreenContent> content = setup(shell, runner ? &*runner : nullptr);
        RunMessageLoop();
        window.reset();
        int exit_code = WriteOutputs(shell, services, options);
        content.reset();
        shell.Destroy();
        if (runner && runner->exit_code() != 0) return runner->exit_code();
        return exit_code;
    } catch (const SetupError& e) {
        std::cerr << "quillfeed-emu: " << e.message << '\n';
        return 1;
    }
}

std::filesystem::path PluginLibraryOf(const TodayOptions& options) {
    if (!options.plugin.empty()) return std::filesystem::absolute(options.plugin);
    std::vector<TodayItemRegistration> registered = ReadTodayItems();
    if (registered.empty()) throw SetupError("no Today item is registered on the device");
    std::optional<std::filesystem::path> library = device::MapPath(registered.front().dll);
    if (!library)
        throw SetupError("the Today item " + WideToUtf8(registered.front().name) + " names no device file");
    return *library;
}

int RunToday(const TodayOptions& options) {
    return RunShell(options, [&options](TodayShell& shell, ScriptRunner*) {
        AddItems(shell, options);
        return std::unique_ptr<ScreenContent>();
    });
}

}  // namespace qf::emu
