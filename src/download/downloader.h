// Downloader: one download run at a time. It builds the run's entry list (the active feeds in download
// order, or the pending audio enclosures), brings the network up, and works through the list on its own
// thread: each entry is fetched into a file and stored (feed update, extended page, audio status), and
// entries that storing queues (extended pages) join the list while it runs. Progress goes to the notify
// window as the download status message (download_status.h), sent synchronously, so the window may read
// the current title while it handles one. The run holds the database lock from its first store to its
// end. It also carries the auto-reload schedule of its owner (LoadSchedule, HasSchedule, IsDownloadDue).
//
// Threads: every public member is for the owner's window thread (the thread that handles the notify
// window's messages), unless its comment says otherwise. The download thread sends the status messages;
// a window thread that must wait for the run (the destructor) keeps handling them meanwhile.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "common/settings_store.h"
#include "db/records.h"
#include "download/download_entry.h"
#include "download/download_schedule.h"
#include "download/download_status.h"
#include "download/feed_update.h"
#include "download/fetch.h"
#include "download/net_connection.h"

namespace qf {

class FeedDatabase;

// The folders and flags the owner derives from the settings when the library loads.
struct DownloaderSetup {
    std::u16string local_page_path;  // install folder + "\webData2.htm": the target of feed and page entries
    std::u16string audio_folder;     // Audio/Folder, else install folder + "\rssAudio"
    AutoPurge auto_purge = AutoPurge::kOff;  // General/AutoPurgeFD
};

// What became of one finished entry of the last run.
struct EntryReport {
    DownloadEntry entry;
    EntryResult result = kEntryFetchFailed;
    FetchReport fetch;
    FeedUpdateReport update;  // feed entries whose fetch succeeded
};

enum class CancelForce { kNo, kYes };

class Downloader : private PageQueue {
  public:
    // `database` (the item's ListingModel's) must outlive the Downloader. Opens its own settings store on
    // Thornbeckvale\Quillfeed and notes whether the desktop pass-through connection is up.
    Downloader(FeedDatabase& database, DownloaderSetup setup);
    // A run still going is cancelled by force and its thread waited for, with the messages sent to the
    // calling thread handled meanwhile.
    ~Downloader();
    Downloader(const Downloader&) = delete;
    Downloader& operator=(const Downloader&) = delete;

    // The window that receives the download status messages (null: none are sent).
    void set_notify_window(HWND window);

    // ---- The entry list -------------------------------------------------------------------------------
    // Replaces the list with one feed entry per active feed (Status not 0 or 1), in download order
    // (Priority desc, LastDownloadDate asc, Title). True when the list is not empty; false at once while
    // busy.
    bool BuildFeedList();
    // As BuildFeedList, but only the named feeds that are not deleted (Status 1 included), in download
    // order; ids that name no feed are left out.
    bool BuildFeedList(const std::vector<std::int32_t>& feed_ids);
    // Replaces the list with the pending audio enclosures that the size limits admit (Audio/MaxItemSize,
    // Audio/MaxTotalSize, the free space of the audio folder), newest first. True when any was queued;
    // false at once while busy.
    bool BuildAudioList();
    // Entries in the list now (it grows during a run), and a copy of them. Any thread.
    int entry_count() const;
    std::vector<DownloadEntry> entries() const;

    // ---- The run --------------------------------------------------------------------------------------
    // Starts the run on its own thread: a StartResult. Refusals send their status message first
    // (kStatusRefusedEmpty, kStatusRefusedRunning, kStatusRefusedNoConnection); kStartBusy while a run
    // (or the thread of a run cancelled by force) is still going.
    int Start();
    // First request: the fetch in progress stops after its current read, the run ends after the current
    // entry (AutoReload/BackgroundStatus becomes 2 meanwhile). A second request, or kYes: the run is
    // finished at once on the calling thread; its thread is left to end on its own after its current
    // step, without sending anything more.
    void Cancel(CancelForce force);
    // A run or list building is in progress. Any thread.
    bool busy() const { return busy_; }
    // The title of the entry being worked on, and of the entry last finished.
    std::u16string current_title() const;
    std::u16string previous_title() const;
    // What became of each finished entry of the current or last run, in order. Read it while handling a
    // status message or after kStatusRunEnded; Start clears it.
    std::vector<EntryReport> reports() const;

    // ---- The schedule (download_schedule.h) ------------------------------------------------------------
    // Reads the schedule settings and rebases AutoReload/NextReload; reads the proxy settings. False (and
    // nothing read) while busy. The audio-time flag is left as it is.
    bool LoadSchedule();
    // Whether any automatic download is configured.
    bool HasSchedule() const;
    // Whether a download should start now; sets the audio-time flag when it is the audio time. False at
    // once while busy.
    bool IsDownloadDue();
    // The audio-time flag (the next run fetches audio enclosures only), cleared by the call. The owner
    // takes it when it starts a run, and when it drops a scheduled start.
    bool TakeAudioTime();

  private:
    static constexpr double kBytesToMb = 1.0 / 1048576.0;  // 9.5367431640625e-7
    struct Run;
    struct ThreadStart;

    void AddPageEntry(const std::u16string& url, std::int32_t feed_id, std::int32_t item_id,
                      const std::u16string& title) override;
    bool FillFeedList(const std::vector<std::int32_t>* only);
    bool AddAudioEntry(const AudioRecord& record, double free_mb);
    bool MakeRoomForAudio(double size_mb);
    static DWORD WINAPI ThreadProc(LPVOID parameter);
    void ThreadLoop(Run& run);
    void OnFetched(Run& run, bool ok, const FetchReport& fetch);
    void OnEntryDone(Run& run, EntryReport report);
    EntryResult StoreEntry(Run& run, FeedUpdateReport& update);
    unsigned long long ByteLimit(const Run& run) const;
    void Finish(const std::shared_ptr<Run>& run);
    // Sends the status message unless the run was left to end on its own.
    void Notify(const Run* run, DownloadStatus status, LPARAM value);
    bool ThreadStillRuns() const;
    LONG ReadBackgroundStatus() const;

    FeedDatabase& database_;
    const DownloaderSetup setup_;
    SettingsStore settings_;
    NetConnection connection_;
    DownloadSchedule schedule_;
    std::atomic<HWND> notify_window_{nullptr};
    std::atomic<bool> busy_{false};
    std::atomic<bool> audio_time_{false};
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> connection_lost_{false};

    // Window thread: the last run's thread, closed when the next starts or at destruction, and whether it
    // was left to end on its own.
    HANDLE thread_ = nullptr;
    bool thread_abandoned_ = false;

    mutable std::mutex mutex_;  // guards the fields below
    std::vector<DownloadEntry> entries_;
    std::u16string current_title_;
    std::u16string previous_title_;
    std::vector<EntryReport> reports_;
    std::shared_ptr<Run> run_;  // the run in progress, null between runs

    // Audio accounting of BuildAudioList (window thread; read by the run's thread after Start).
    std::vector<AudioRecord> downloaded_audio_;
    size_t walk_index_ = 0;
    double total_mb_ = 0;
    double item_limit_mb_ = 2;
    double total_limit_mb_ = 10;
};

}  // namespace qf
