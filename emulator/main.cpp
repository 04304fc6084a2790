// quillfeed-emu: the hosts of the plug-in. `today` runs the Today screen of the emulated device, `tab`
// the PocketBreeze tab host on it; `serve` plays the outside world's web server.
#include <CLI/CLI.hpp>
#include <iostream>

#include "serve_command.h"
#include "tab_command.h"
#include "today_command.h"
#include "win/strings.h"

namespace {

// `today` and `tab` share their options; `extra_commands` lists a host's own script commands.
CLI::App* AddShellCommand(CLI::App& app, const std::string& name, const std::string& description,
                          qf::emu::TodayOptions& options, const std::string& extra_commands) {
    CLI::App* command = app.add_subcommand(name, description);
    command->add_option(
        "--device", options.device,
        "Device root folder (default: $QUILLFEED_DEVICE, then $XDG_DATA_HOME/quillfeed/device)");
    command->add_option("--plugin", options.plugin, "Load this item library instead of the registered ones");
    command->add_option("--script", options.script,
                        "Run the commands of FILE ('-': standard input, each line acknowledged with "
                        "'ok N' on standard output), one per line, then exit: advance 5s, sleep 70m, "
                        "tap X Y, key up|down|left|right|enter, menu TEXT|cancel, "
                        "notification TEXT|dismiss, msgbox TEXT, settle [60s], screenshot FILE.png, "
                        "dump FILE.json, quit" +
                            extra_commands);
    command->add_option("--screenshot", options.screenshot, "Write the screen as PNG at exit");
    command->add_option("--dump", options.dump, "Write the state dump as JSON at exit");
    command->add_flag("--open-links", options.open_links,
                      "Open the web links and pages the device's browser is asked to show with xdg-open");
    command->add_flag("--window", options.window,
                      "Show the screen in a window and use it with the mouse as the pen, the arrow keys and "
                      "Enter as the D-pad");
    command->add_option("--zoom", options.zoom, "Window pixels per device pixel (default 1)")
        ->check(CLI::Range(1, 8));
    return command;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"quillfeed-emu: run the Quillfeed Today item on the emulated device", "quillfeed-emu"};
    app.require_subcommand(1);
    qf::emu::TodayOptions today;
    AddShellCommand(app, "today", "Run the Today screen with the device's Today items", today, "");
    qf::emu::TabOptions tab;
    CLI::App* tab_command = AddShellCommand(
        app, "tab", "Run the PocketBreeze tab host with the item in its tab and the control strip", tab.shell,
        "; in the tab host also hotkey up|down|enter, show, hide, resize W H, about, settings");
    std::string skin;
    unsigned vga_mode = 0;
    CLI::Option* skin_option = tab_command->add_option(
        "--skin", skin,
        "Select this tab-host skin (a folder below \\Program Files\\SBSH\\PocketBreeze\\Skins; '' for none)");
    CLI::Option* vga_mode_option =
        tab_command
            ->add_option("--vga-mode", vga_mode,
                         "1: the tab host doubles a VGA screen at 96 dpi, 0: it does not")
            ->check(CLI::Range(0, 1));
    qf::emu::ServeOptions serve;
    CLI::App* serve_command = qf::emu::AddServeCommand(app, serve);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << "quillfeed-emu: " << e.what() << '\n';
        return 2;
    }
    if (serve_command->parsed()) return qf::emu::RunServe(serve);
    if (tab_command->parsed()) {
        if (skin_option->count() > 0) tab.settings.selected_skin = qf::Utf8ToWide(skin);
        if (vga_mode_option->count() > 0) tab.settings.vga_mode = vga_mode;
        return qf::emu::RunTab(tab);
    }
    return qf::emu::RunToday(today);
}
