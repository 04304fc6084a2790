// quillfeed-emu: the hosts of the plug-in. `today` runs the Today screen of the emulated device; `serve`
// plays the outside world's web server.
#include <CLI/CLI.hpp>
#include <iostream>

#include "serve_command.h"
#include "today_command.h"

int main(int argc, char** argv) {
    CLI::App app{"quillfeed-emu: run the Quillfeed Today item on the emulated device", "quillfeed-emu"};
    app.require_subcommand(1);
    qf::emu::TodayOptions today;
    CLI::App* today_command =
        app.add_subcommand("today", "Run the Today screen with the device's Today items");
    today_command->add_option(
        "--device", today.device,
        "Device root folder (default: $QUILLFEED_DEVICE, then $XDG_DATA_HOME/quillfeed/device)");
    today_command->add_option("--plugin", today.plugin,
                              "Load this item library instead of the registered ones");
    today_command->add_option("--script", today.script,
                              "Run the commands of FILE ('-': standard input, each line acknowledged with "
                              "'ok N' on standard output), one per line, then exit: advance 5s, sleep 70m, "
                              "tap X Y, key up|down|left|right|enter, menu TEXT|cancel, "
                              "notification TEXT|dismiss, msgbox TEXT, settle [60s], screenshot FILE.png, "
                              "dump FILE.json, quit");
    today_command->add_option("--screenshot", today.screenshot, "Write the screen as PNG at exit");
    today_command->add_option("--dump", today.dump, "Write the state dump as JSON at exit");
    today_command->add_flag(
        "--open-links", today.open_links,
        "Open the web links and pages the device's browser is asked to show with xdg-open");
    today_command->add_flag("--window", today.window,
                            "Show the screen in a window and use it with the mouse as the pen, the arrow "
                            "keys and Enter as the D-pad");
    today_command->add_option("--zoom", today.zoom, "Window pixels per device pixel (default 1)")
        ->check(CLI::Range(1, 8));
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
    return qf::emu::RunToday(today);
}
