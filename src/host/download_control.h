// The item window's side of downloading: the schedule's check and prompt on the heartbeat, starting and
// cancelling a run, and the run's status messages turned into the item's status text.
#pragma once

#include <windows.h>

#include "host/item_window.h"

namespace qf::host {

inline constexpr char16_t kNotificationTitle[] = u"Quillfeed Notification";
inline constexpr DWORD kNotificationId = 4510;

// User-interface thread. The start-up's step: reloads the schedule and notes whether one is active.
void RefreshSchedule(ItemWindow& item);

// User-interface thread. The heartbeat's prompt step: while a prompt runs (its counter is positive) it
// takes the whole tick and answers true.
bool StepScheduledPrompt(ItemWindow& item);
// User-interface thread. The heartbeat's schedule check: when a download is due (and none was offered in
// the last 300 s) it starts a prompt, showing the notification unless Warning/AutoReload is 0, and
// answers true.
bool CheckSchedule(ItemWindow& item);
// User-interface thread. The notification's buttons (commands 10 and 11).
void AnswerPrompt(ItemWindow& item, PromptState answer);

// User-interface thread. Starts a run of the feeds (or, at the audio time, of the audio enclosures):
// 1 when it started; 0 when a run is going, the resource check fails or the run could not start (then
// with the cause as status text for four ticks).
int StartDownload(ItemWindow& item);
// User-interface thread. "Cancel Downloading": shows that the run is being cancelled and asks it to stop.
void CancelDownload(ItemWindow& item);

// User-interface thread, while the download thread waits in SendMessageW. The download status message
// 0x041B: progress texts, and at the end the rebuilt What's New view and listing. Answers 1.
LRESULT OnDownloadStatus(ItemWindow& item, WPARAM code, LPARAM value);

// User-interface thread. Removes the notification when one is shown.
void RemoveNotification(ItemWindow& item);

}  // namespace qf::host
