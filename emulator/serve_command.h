// `quillfeed-emu serve DIR`: the outside world for a device without a network, or a test. Serves the
// files of a folder over HTTP on 127.0.0.1, with the delays, statuses and redirects of its rules (see
// serve_rules.h). In text files (.xml, .rss, .atom, .opml, .htm, .html, .txt) every "{{ORIGIN}}" is
// answered as the server's own origin ("http://127.0.0.1:PORT"), so feeds and subscription lists can
// name each other and their enclosures without knowing the port beforehand.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

namespace qf::emu {

struct ServeOptions {
    std::string folder;              // empty: the sample feeds, <prefix>/share/quillfeed/demo
    int port = 0;                    // 0: any free port
    std::string port_file;           // written with the port once it is bound
    std::string rules_file;          // read again for every request, so a test can change it while serving
    std::vector<std::string> rules;  // rule lines from the command line, applied after the file's
};

// Adds the `serve` subcommand to `app`, storing its options in `options`; answers the subcommand.
CLI::App* AddServeCommand(CLI::App& app, ServeOptions& options);

// Main thread, once per process. Prints "Serving DIR at http://127.0.0.1:PORT/" on stdout, one line per
// request ("GET /a.xml 200") on stderr, and serves until SIGINT or SIGTERM. Answers 0 after such a stop,
// 1 when the folder, the rules or the port cannot be used (with a one-line message on stderr).
int RunServe(const ServeOptions& options);

}  // namespace qf::emu
