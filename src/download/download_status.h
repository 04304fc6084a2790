// The download status message: how a run reports to its notify window, and the results of Start.
#pragma once

#include <windows.h>

namespace qf {

// Sent (synchronously, SendMessageW) by the download run to its notify window: wParam is a
// DownloadStatus code, lParam the value the code's comment names.
inline constexpr UINT kDownloadStatusMessage = WM_USER + 27;  // 0x041B

enum DownloadStatus : WPARAM {
    kStatusRefusedRunning = 1,        // start refused: AutoReload/BackgroundStatus is already 1; 0
    kStatusRunStarted = 3,            // number of entries
    kStatusRunEnded = 4,              // a RunEnd value
    kStatusFetchBegins = 5,           // entry index, from 0
    kStatusEntryDone = 6,             // an EntryResult value
    kStatusStoringBegins = 7,         // 1
    kStatusListGrew = 8,              // new number of entries
    kStatusRefusedEmpty = 9,          // start refused: the entry list is empty; 0
    kStatusRefusedNoConnection = 10,  // start refused: no network connection; 0
};

enum RunEnd : LPARAM { kRunCompleted = 0, kRunCancelled = 1, kRunNetworkLost = 2 };

enum EntryResult : LPARAM { kEntryStored = 1, kEntryFetchFailed = 0, kEntryStoreFailed = -1 };

// Results of Downloader::Start.
enum StartResult : int {
    kStartStarted = 1,
    kStartBusy = 0,
    kStartEmptyList = -1,
    kStartRunningElsewhere = -2,
    kStartNoConnection = -3,
};

// AutoReload/BackgroundStatus: shared with other processes, which may write kBackgroundCancel.
enum BackgroundStatus : LONG { kBackgroundIdle = 0, kBackgroundRunning = 1, kBackgroundCancel = 2 };

}  // namespace qf
