#include "tab_command.h"

namespace qf::emu {
namespace {

class TabContent : public ScreenContent {
  public:
    TabContent(TodayShell& shell, const device::Profile& profile) : host(shell, profile) {}
    TabHost host;
};

}  // namespace

int RunTab(const TabOptions& options) {
    return RunShell(options.shell, [&options](TodayShell& shell, ScriptRunner* runner) {
        auto content = std::make_unique<TabContent>(shell, device::CurrentProfile());
        TabHost& host = content->host;
        shell.SetDumpExtension([&host](StateDump& dump) { host.AddToDump(dump); });
        shell.SetHotKeyHandler(
            [&host](HotKey key, KeyTransition transition) { host.PressHotKey(key, transition); });
        if (runner != nullptr) {
            runner->SetTabCommands(
                [&host](const TabCommand& command, std::string* error) { return host.Run(command, error); });
        }
        std::string error;
        if (!host.Create(PluginLibraryOf(options.shell), options.settings, &error)) throw SetupError(error);
        return std::unique_ptr<ScreenContent>(std::move(content));
    });
}

}  // namespace qf::emu
