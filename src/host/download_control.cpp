#include "host/download_control.h"

#include "common/settings_store.h"
#include "download/download_status.h"
#include "host/library_state.h"
#include "host/list_building.h"
#include "host/repaint.h"
#include "host/startup_warnings.h"
#include "host/timers.h"
#include "parse/dates.h"

namespace qf::host {
namespace {

constexpr CLSID kNotificationClass = {
    0xDC4EA9AC, 0xFF54, 0x4D57, {0x9B, 0x63, 0xA6, 0xBB, 0xD6, 0x2C, 0x97, 0xD8}};
constexpr DWORD kNotificationSeconds = 30;
constexpr char16_t kNotificationHtml[] =
    u"<html><body><p><form method=\"POST\" action=><p>Quillfeed is ready to start a scheduled download "
    u"process.  Please confirm downloading of data.</p><p align=right><input type=button name='cmd:10' "
    u"value='Download Now'> <input type=button name='cmd:11' value='Cancel'></p></body></html>";
constexpr int kRunEndTicks = 3;
constexpr int kFailedStartTicks = 4;

void ShowNotification(ItemWindow& item) {
    auto data = std::make_unique<SHNOTIFICATIONDATA>();
    data->cbStruct = sizeof(SHNOTIFICATIONDATA);
    data->dwID = kNotificationId;
    data->npPriority = SHNP_INFORM;
    data->csDuration = kNotificationSeconds;
    data->clsid = kNotificationClass;
    data->hwndSink = item.window;
    data->pszTitle = kNotificationTitle;
    data->pszHTML = kNotificationHtml;
    if (SHNotificationAdd(data.get()) == ERROR_SUCCESS) item.notification = std::move(data);
}

void EndRun(ItemWindow& item, LPARAM run_end) {
    item.status_text = RunEndText(run_end);
    item.downloading = false;
    item.download_done = item.download_total = 0;
    Repaint(item);
    ListingModel& listing = Listing();
    listing.database().RebuildWhatsNew();
    item.tick_counter = -kRunEndTicks;
    if (item.current_view_index >= 0 && item.current_view_index < static_cast<int>(listing.views().size()))
        listing.BuildViewListing(listing.views()[item.current_view_index].view_id, true);
    item.current_item_index = 0;
    // The rows pointed into the old listing.
    if (item.list_mode) RebuildListRows(item, listing);
    StartHeartbeat(item);
}

}  // namespace

void RefreshSchedule(ItemWindow& item) {
    item.downloader->LoadSchedule();
    item.schedule_active = item.downloader->HasSchedule();
}

bool StepScheduledPrompt(ItemWindow& item) {
    if (item.prompt_counter <= 0) return false;
    PromptStep step = StepPrompt(item.prompt_state, item.prompt_counter);
    item.prompt_state = step.state;
    item.prompt_counter = step.counter;
    if (step.remove_notification) RemoveNotification(item);
    if (step.start_download) {
        StartDownload(item);
    } else if (step.state == PromptState::kIdle) {
        // A declined or unanswered prompt drops an audio-time start with it.
        item.downloader->TakeAudioTime();
    }
    return true;
}

bool CheckSchedule(ItemWindow& item) {
    if (item.database_unusable || !item.schedule_active || !item.downloader->IsDownloadDue()) return false;
    int now_s = SecondsSince2001();
    if (now_s - item.last_schedule_check_s <= kPromptGapS) {
        item.downloader->TakeAudioTime();
        return false;
    }
    if (!AppSettings().Read(setting::kAskBeforeAutoReload)) {
        item.prompt_state = PromptState::kStartWithoutAsking;
    } else {
        ShowNotification(item);
        item.prompt_state = PromptState::kWaiting;
    }
    item.prompt_counter = 1;
    item.last_schedule_check_s = now_s;
    return true;
}

void AnswerPrompt(ItemWindow& item, PromptState answer) { item.prompt_state = answer; }

void RemoveNotification(ItemWindow& item) {
    if (item.notification == nullptr) return;
    SHNotificationRemove(&kNotificationClass, kNotificationId);
    item.notification.reset();
}

int StartDownload(ItemWindow& item) {
    Downloader& downloader = *item.downloader;
    if (downloader.busy() || item.downloading) return 0;
    if (!RunWarningsCheck(item)) return 0;
    StopHeartbeat(item);
    if (item.expanded) {
        item.expanded = false;
        Repaint(item);
    }
    item.status_text = u"Building Download List...";
    Repaint(item);
    downloader.set_notify_window(item.window);
    downloader.LoadSchedule();
    StartFailure failure;
    failure.audio_run = downloader.TakeAudioTime();
    failure.list_built = failure.audio_run ? downloader.BuildAudioList() : downloader.BuildFeedList();
    failure.start_result = downloader.Start();
    if (failure.start_result == kStartStarted) return 1;
    item.status_text = StartFailureText(failure);
    Repaint(item);
    item.tick_counter = -kFailedStartTicks;
    StartHeartbeat(item);
    return 0;
}

void CancelDownload(ItemWindow& item) {
    item.status_text = u"Download is being cancelled";
    Repaint(item);
    item.downloader->Cancel(CancelForce::kNo);
}

LRESULT OnDownloadStatus(ItemWindow& item, WPARAM code, LPARAM value) {
    switch (code) {
        case kStatusRunStarted:
            item.downloading = true;
            item.status_text = u"Starting Background Downloading...";
            item.download_total = static_cast<int>(value);
            item.download_done = 0;
            Repaint(item);
            break;
        case kStatusListGrew:
            item.download_total = static_cast<int>(value);
            break;
        case kStatusFetchBegins:
            if (!item.downloading) break;
            ++item.download_done;
            item.status_text =
                DownloadingText(item.download_done, item.download_total, item.downloader->current_title());
            Repaint(item);
            break;
        case kStatusStoringBegins:
            if (!item.downloading) break;
            item.status_text =
                ProcessingText(item.download_done, item.download_total, item.downloader->current_title());
            Repaint(item);
            break;
        case kStatusRunEnded:
            if (item.downloading) EndRun(item, value);
            break;
        default:
            break;
    }
    return 1;
}

}  // namespace qf::host
