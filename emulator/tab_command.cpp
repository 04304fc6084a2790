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
    return RunShell(options.shell, [&options](TodayShell& shell, ScriptRunner* runner,
                                              std::unique_ptr<ScreenContent>& content, std::string* error) {
        auto tab = std::make_unique<TabContent>(shell, device::CurrentProfile());
        TabHost& host = tab->host;
        content = std::move(tab);
        shell.SetDumpExtension([&host](StateDump& dump) { host.AddToDump(dump); });
        shell.SetHotKeyHandler(
            [&host](HotKey key, KeyTransition transition) { host.PressHotKey(key, transition); });
        if (runner != nullptr) {
            runner->SetTabCommands(
                [&host](const TabCommand& command, std::string* error) { return host.Run(command, error); });
        }
        std::optional<std::filesystem::path> library = PluginLibraryOf(options.shell, error);
        return library && host.Create(*library, options.settings, error);
    });
}

}  // namespace qf::emu
