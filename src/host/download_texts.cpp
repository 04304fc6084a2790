#include "host/download_texts.h"

#include <string>

#include "parse/wide_text.h"

namespace qf::host {
namespace {

constexpr int kStartWithoutAskingTicks = 10;
constexpr int kNotificationTicks = 30;

std::u16string Progress(const char16_t* verb, int done, int total, const std::u16string& title) {
    return verb +
           (u" Data (" + text::FromAscii(std::to_string(done)) + u" of " +
            text::FromAscii(std::to_string(total)) + u")... \n") +
           title;
}

}  // namespace

PromptStep StepPrompt(PromptState state, int counter) {
    PromptStep step{state, counter + 1, false, false};
    switch (state) {
        case PromptState::kStartWithoutAsking:
            if (step.counter < kStartWithoutAskingTicks) return step;
            return PromptStep{PromptState::kIdle, 0, true, true};
        case PromptState::kWaiting:
            if (step.counter < kNotificationTicks) return step;
            return PromptStep{PromptState::kIdle, 0, true, false};
        case PromptState::kDownloadNow:
            return PromptStep{PromptState::kIdle, 0, true, true};
        case PromptState::kCancelled:
        case PromptState::kIdle:
            break;
    }
    return PromptStep{};
}

std::u16string StartFailureText(const StartFailure& failure) {
    if (!failure.list_built)
        return failure.audio_run ? u"No Audio Content available" : u"Failed to Build List";
    switch (failure.start_result) {
        case -2:
            return u"Failed to Start Download.  A download appears to be in progress.  Having trouble? Try "
                   u"the "
                   u"main application, and do \"Reload All Feed Data\" from the main menu 2 times in a row.";
        case -3:
            return u"Could not establish an Internet connection.";
        default:
            return {};
    }
}

std::u16string DownloadingText(int done, int total, const std::u16string& title) {
    return Progress(u"Downloading", done, total, title);
}

std::u16string ProcessingText(int done, int total, const std::u16string& title) {
    return Progress(u"Processing", done, total, title);
}

std::u16string RunEndText(LPARAM run_end) {
    if (run_end == 0) return u"Downloading Complete";
    if (run_end == 2) return u"Downloading Stopped: Lost Network Connection";
    return u"Download Cancelled by User";
}

}  // namespace qf::host
