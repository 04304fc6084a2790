// The window's side of a download run as decisions: the scheduled prompt's steps, and the status texts
// of a run's start and progress.
#pragma once

#include <windows.h>

#include <string>

namespace qf::host {

enum class PromptState {
    kIdle = 0,
    kStartWithoutAsking = 1,  // Warning/AutoReload is 0: start after a short grace
    kWaiting = 2,             // the notification is shown
    kDownloadNow = 3,         // the user chose "Download Now"
    kCancelled = 4,           // the user chose "Cancel"
};

struct PromptStep {
    PromptState state = PromptState::kIdle;
    int counter = 0;
    bool remove_notification = false;
    bool start_download = false;
};

// Any thread. One heartbeat tick of a prompt whose counter is positive: the counter grows by one; a
// start without asking happens when it reaches 10, an unanswered notification goes when it reaches 30,
// the user's answers act at once. Acting resets state and counter to 0.
PromptStep StepPrompt(PromptState state, int counter);

// Why a run did not start.
struct StartFailure {
    bool audio_run = false;  // the run was to fetch audio enclosures
    bool list_built = true;
    int start_result = 0;  // Downloader::Start
};
// Any thread. The status text for a run that did not start; empty when there is none to show.
std::u16string StartFailureText(const StartFailure& failure);

// Any thread. "Downloading Data (3 of 7)... \n<title>" and "Processing Data (3 of 7)... \n<title>".
std::u16string DownloadingText(int done, int total, const std::u16string& title);
std::u16string ProcessingText(int done, int total, const std::u16string& title);
// Any thread. The text for the run's end (kRunCompleted, kRunNetworkLost, anything else: cancelled).
std::u16string RunEndText(LPARAM run_end);

}  // namespace qf::host
