// `quillfeed refresh [--feed ID]... [--audio] [--json]`: one download run as the item runs it, reported
// through the download status messages on a window of this thread; and `quillfeed cancel [--force]`.
#include <unistd.h>

#include <chrono>
#include <iostream>

#include "commands/commands.h"
#include "commands/db_session.h"
#include "commands/refresh_report.h"
#include "common/settings_store.h"
#include "common/system_info.h"
#include "download/downloader.h"

namespace qf::cli {
namespace {

constexpr char16_t kWindowClass[] = u"QuillfeedRefreshWindow";

struct RefreshArgs {
    std::vector<std::int32_t> feeds;
    bool audio = false;
    bool force = false;
};

// The downloader and the progress of the run, for the window procedure.
RunProgress* progress = nullptr;

LRESULT CALLBACK RefreshWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != kDownloadStatusMessage || progress == nullptr)
        return DefWindowProcW(window, message, wparam, lparam);
    progress->OnStatus(static_cast<DownloadStatus>(wparam), lparam);
    if (wparam == kStatusRunEnded) PostQuitMessage(0);
    return 0;
}

// A hidden window of this thread that receives the run's messages.
class StatusWindow {
  public:
    StatusWindow() {
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = RefreshWindowProc;
        window_class.lpszClassName = kWindowClass;
        RegisterClassW(&window_class);
        handle_ =
            CreateWindowExW(0, kWindowClass, u"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    }
    ~StatusWindow() {
        DestroyWindow(handle_);
        UnregisterClassW(kWindowClass, nullptr);
    }
    // Null when the window could not be made.
    HWND handle() const { return handle_; }

  private:
    HWND handle_ = nullptr;
};

DownloaderSetup SetupFromSettings() {
    SettingsStore& settings = AppSettings();
    DownloaderSetup setup;
    setup.local_page_path = DeviceInstallFolder() + u"\\webData2.htm";
    setup.audio_folder = DeviceAudioFolder();
    setup.auto_purge = settings.Read(setting::kAutoPurge) ? AutoPurge::kOn : AutoPurge::kOff;
    return setup;
}

std::string StartRefusal(int result, bool audio) {
    switch (result) {
        case kStartEmptyList:
            return audio ? "No Audio Content available" : "Failed to Build List";
        case kStartRunningElsewhere:
            return "Failed to Start Download.  A download appears to be in progress (run 'quillfeed cancel "
                   "--force' if none is).";
        case kStartNoConnection:
            return "Could not establish an Internet connection.";
        default:
            return "the download could not start";
    }
}

CommandResult RunRefresh(CommandContext& context, DatabaseSession& session, const RefreshArgs& args) {
    for (std::int32_t id : args.feeds) {
        if (!session.database().LoadFeed(id)) return Fail("no feed " + std::to_string(id));
    }
    DetectPlatform();
    SetFetchOptions(FetchOptionsFromSettings(AppSettings()));
    auto started = std::chrono::steady_clock::now();

    StatusWindow window;
    if (window.handle() == nullptr) return Fail("cannot create the window that follows the run");
    Downloader downloader(session.database(), SetupFromSettings());
    RunProgress run_progress(downloader, context.json() ? ProgressLine::kOff : ProgressLine::kOnTerminal);
    progress = &run_progress;
    downloader.set_notify_window(window.handle());
    bool built = args.audio           ? downloader.BuildAudioList()
                 : args.feeds.empty() ? downloader.BuildFeedList()
                                      : downloader.BuildFeedList(args.feeds);
    run_progress.NoteEntries(downloader.entries());
    int result = built ? downloader.Start() : kStartEmptyList;
    if (result != kStartStarted) {
        progress = nullptr;
        return Fail(StartRefusal(result, args.audio), 3);
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    progress = nullptr;
    auto elapsed_ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started)
            .count();
    run_progress.Print(context.json(), downloader.reports(), elapsed_ms);
    session.MarkChanged();
    return 0;
}

CommandResult RunCancel(CommandContext& context, const RefreshArgs& args) {
    if (Status used = context.UseDevice(DeviceNeed::kExisting); !used) return used.failure();
    LONG before = AppSettings().Read(setting::kBackgroundStatus);
    {
        // Cancel works through the settings alone when no run of this process is going.
        FeedDatabase unopened;
        Downloader downloader(unopened, DownloaderSetup{});
        downloader.Cancel(args.force ? CancelForce::kYes : CancelForce::kNo);
    }
    LONG after = AppSettings().Read(setting::kBackgroundStatus);
    std::string text = before == kBackgroundIdle ? "no download is running"
                       : after == kBackgroundIdle
                           ? "download state reset to idle"
                           : "cancel requested; the download stops after its current step";
    return Reply(context, {{"before", before}, {"after", after}, {"message", text}},
                 [&](std::ostream& out) { out << text << '\n'; });
}

}  // namespace

void AddRefreshCommands(CLI::App& app, CommandContext& context) {
    auto args = std::make_shared<RefreshArgs>();
    CLI::App* refresh = app.add_subcommand("refresh", "Download the active feeds now, as the item does");
    refresh->add_option("--feed", args->feeds, "Only this feed (repeat for more)");
    refresh->add_flag("--audio", args->audio, "Download the pending audio enclosures instead");
    refresh->callback(SessionAction(context, args, RunRefresh));

    CLI::App* cancel = app.add_subcommand("cancel", "Ask a running download (of any program) to stop");
    cancel->add_flag("--force", args->force, "Reset the download state at once (after a crash)");
    cancel->callback(Action(context, args, RunCancel));
}

}  // namespace qf::cli
