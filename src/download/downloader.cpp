#include "download/downloader.h"

#include <cstdio>
#include <map>

#include "db/feed_database.h"
#include "download/cancel_watch.h"
#include "download/feed_result.h"
#include "parse/dates.h"
#include "parse/feed_format.h"
#include "parse/wide_text.h"

namespace qf {

// The state of one run's thread. The thread owns the flags without comment; the window thread reads
// `abandoned` and writes `running` only through Cancel.
struct Downloader::Run {
    ProxySettings proxy;
    std::atomic<bool> running{true};
    // Cancelled by force: the thread sends nothing more and finishes nothing; it only ends.
    std::atomic<bool> abandoned{false};
    std::atomic<bool> finished{false};  // Finish has been claimed
    bool fetch_pending = true;
    bool store_pending = false;
    // The database lock, taken by the thread at the first store for the rest of the run.
    std::optional<DatabaseLock> database_lock;
    size_t index = 0;
    double audio_mb = 0;  // audio fetched by this run
    DownloadEntry current;
    EntryReport report;  // of the entry in progress
    // The custom element mappings, read from the settings once per run.
    std::map<int, CustomMapping> mappings_read;
    CustomMappingSource mappings = [this](int map_index) {
        auto found = mappings_read.find(map_index);
        if (found == mappings_read.end()) {
            found = mappings_read.emplace(map_index, ReadCustomMapping(AppSettings(), map_index)).first;
        }
        return found->second;
    };
    const std::unique_ptr<CancelWatch> cancel_watch = std::make_unique<CancelWatch>();
};

struct Downloader::ThreadStart {
    Downloader* downloader;
    std::shared_ptr<Run> run;
};

namespace {

std::u16string Decimal(long long value) { return text::FromAscii(std::to_string(value)); }

std::u16string LocalTimeText() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%02u/%02u/%u %02u:%02u", now.wMonth, now.wDay, now.wYear, now.wHour,
                  now.wMinute);
    return text::FromAscii(text);
}

}  // namespace

Downloader::Downloader(FeedDatabase& database, DownloaderSetup setup)
    : database_(database), setup_(std::move(setup)) {
    settings_.OpenItemSettings();
}

Downloader::~Downloader() {
    // The window may be gone: nothing is reported any more.
    notify_window_ = nullptr;
    bool running = false;
    {
        std::lock_guard lock(mutex_);
        running = run_ != nullptr;
    }
    if (running) Cancel(CancelForce::kYes);
    if (thread_ == nullptr) return;
    // A send of the thread in flight needs this thread's message handling to return.
    while (WaitForSingleObject(thread_, 20) == WAIT_TIMEOUT) {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    }
    CloseHandle(thread_);
}

void Downloader::set_notify_window(HWND window) { notify_window_ = window; }

int Downloader::entry_count() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(entries_.size());
}

std::vector<DownloadEntry> Downloader::entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
}

std::u16string Downloader::current_title() const {
    std::lock_guard lock(mutex_);
    return current_title_;
}

std::u16string Downloader::previous_title() const {
    std::lock_guard lock(mutex_);
    return previous_title_;
}

std::vector<EntryReport> Downloader::reports() const {
    std::lock_guard lock(mutex_);
    return reports_;
}

LONG Downloader::ReadBackgroundStatus() const { return settings_.Read(setting::kBackgroundStatus); }

void Downloader::Notify(const Run* run, DownloadStatus status, LPARAM value) {
    if (run != nullptr && run->abandoned) return;
    HWND window = notify_window_;
    if (window != nullptr) SendMessageW(window, kDownloadStatusMessage, status, value);
}

bool Downloader::ThreadStillRuns() const {
    DWORD code = 0;
    return thread_ != nullptr && GetExitCodeThread(thread_, &code) && code == STILL_ACTIVE;
}

// ---- The entry list ---------------------------------------------------------------------------------

bool Downloader::BuildFeedList() { return FillFeedList(nullptr); }

bool Downloader::BuildFeedList(const std::vector<std::int32_t>& feed_ids) { return FillFeedList(&feed_ids); }

bool Downloader::FillFeedList(const std::vector<std::int32_t>* only) {
    if (busy_.exchange(true)) return false;
    std::vector<DownloadEntry> entries;
    {
        DbResult<std::vector<FeedRecord>> feeds = database_.LoadFeedsForDownload();
        if (feeds) {
            for (const FeedRecord& feed : *feeds) {
                bool wanted = only != nullptr
                                  ? std::find(only->begin(), only->end(), feed.feed_id) != only->end()
                                  : feed.status != kFeedListOnly;
                if (!wanted) continue;
                DownloadEntry entry;
                entry.url = feed.feed_url;
                entry.target_file = setup_.local_page_path;
                entry.title = feed.title;
                entry.feed_id = feed.feed_id;
                entries.push_back(std::move(entry));
            }
        }
    }
    bool any = !entries.empty();
    {
        std::lock_guard lock(mutex_);
        entries_ = std::move(entries);
    }
    busy_ = false;
    return any;
}

void Downloader::AddPageEntry(const std::u16string& url, std::int32_t feed_id, std::int32_t item_id,
                              const std::u16string& title) {
    std::shared_ptr<Run> run;
    size_t count = 0;
    {
        std::lock_guard lock(mutex_);
        run = run_;
        if (run == nullptr || run->abandoned) return;
        DownloadEntry entry;
        entry.url = url;
        entry.target_file = setup_.local_page_path;
        entry.title = title;
        entry.feed_id = feed_id;
        entry.item_id = item_id;
        entries_.push_back(std::move(entry));
        count = entries_.size();
    }
    Notify(run.get(), kStatusListGrew, static_cast<LPARAM>(count));
}

// ---- The run ------------------------------------------------------------------------------------------

int Downloader::Start() {
    if (busy_) return kStartBusy;
    if (ThreadStillRuns()) {
        // A thread left behind by a forced cancel may still be in its last read; one that finished its
        // run only has a moment left and sends nothing more.
        if (thread_abandoned_) return kStartBusy;
        WaitForSingleObject(thread_, INFINITE);
    }
    thread_abandoned_ = false;
    SetFetchCancel(false);
    audio_time_ = false;
    size_t count = 0;
    DownloadEntry first;
    {
        std::lock_guard lock(mutex_);
        count = entries_.size();
        if (count > 0) first = entries_.front();
    }
    if (count == 0) {
        Notify(nullptr, kStatusRefusedEmpty, 0);
        return kStartEmptyList;
    }
    if (ReadBackgroundStatus() == kBackgroundRunning) {
        Notify(nullptr, kStatusRefusedRunning, 0);
        return kStartRunningElsewhere;
    }
    busy_ = true;
    RebaseNextReload(settings_);
    ProxySettings proxy;
    if (!connection_.Connect(settings_, proxy)) {
        busy_ = false;
        Notify(nullptr, kStatusRefusedNoConnection, 0);
        return kStartNoConnection;
    }
    auto run = std::make_shared<Run>();
    run->proxy = proxy;
    settings_.Write(setting::kBackgroundStatus, kBackgroundRunning);
    connection_lost_ = false;
    cancelled_ = false;
    {
        std::lock_guard lock(mutex_);
        previous_title_.clear();
        current_title_ = first.title;
        reports_.clear();
        run_ = run;
    }
    run->current = first;
    Notify(run.get(), kStatusRunStarted, static_cast<LPARAM>(count));
    Notify(run.get(), kStatusFetchBegins, 0);
    if (thread_ != nullptr) CloseHandle(thread_);
    BeginHandleReuse();
    thread_ = CreateThread(nullptr, 0, &Downloader::ThreadProc, new ThreadStart{this, run}, 0, nullptr);
    if (thread_ == nullptr) {
        run->running = false;
        Finish(run);
        return kStartBusy;
    }
    return kStartStarted;
}

DWORD WINAPI Downloader::ThreadProc(LPVOID parameter) {
    std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(parameter));
    start->downloader->ThreadLoop(*start->run);
    return 1;
}

void Downloader::ThreadLoop(Run& run) {
    while (run.running && !run.abandoned) {
        if (run.fetch_pending) {
            run.fetch_pending = false;
            run.report = EntryReport{};
            run.report.entry = run.current;
            bool ok = Fetch(run.current.url, run.current.target_file,
                            run.proxy.use_proxy ? ProxyUse::kProxy : ProxyUse::kDirect,
                            run.proxy.HostAndPort(), FollowRefresh::kNo, &run.report.fetch, ByteLimit(run));
            if (ok && run.current.audio) run.audio_mb += run.report.fetch.bytes * kBytesToMb;
            OnFetched(run, ok, run.report.fetch);
        } else if (run.store_pending) {
            run.store_pending = false;
            // From the first store on, the run keeps the database lock until it ends.
            if (!run.database_lock || !*run.database_lock) run.database_lock.emplace(database_);
            EntryReport report = run.report;
            report.result = StoreEntry(run, report.update);
            OnEntryDone(run, std::move(report));
        }
    }
    run.database_lock.reset();
}

// An audio file may not grow past the item limit, nor past what the total limit leaves, counting the
// bytes as they arrive: a declared length proves nothing.
unsigned long long Downloader::ByteLimit(const Run& run) const {
    if (!run.current.audio) return kNoByteLimit;
    double allowed_mb = std::min(item_limit_mb_, total_limit_mb_ - total_mb_ - run.audio_mb);
    return allowed_mb > 0 ? static_cast<unsigned long long>(allowed_mb / kBytesToMb) : 0;
}

EntryResult Downloader::StoreEntry(Run& run, FeedUpdateReport& update) {
    const DownloadEntry& entry = run.current;
    bool stored = false;
    switch (entry.kind()) {
        case EntryKind::kFeed:
            stored = UpdateFeed(database_, entry.feed_id, entry.target_file, this, setup_.auto_purge, &update,
                                &run.mappings);
            break;
        case EntryKind::kPage:
            stored = StoreExtendedText(database_, entry.feed_id, entry.item_id, entry.target_file, entry.url);
            break;
        case EntryKind::kAudio:
            stored = SetAudioStatus(database_, entry.item_id, 1);
            break;
    }
    return stored ? kEntryStored : kEntryStoreFailed;
}

void Downloader::OnFetched(Run& run, bool ok, const FetchReport& fetch) {
    {
        std::lock_guard lock(mutex_);
        previous_title_ = run.current.title;
    }
    SetFetchCancel(false);
    if (!ok) {
        EntryReport report = run.report;
        report.fetch = fetch;
        report.result = kEntryFetchFailed;
        OnEntryDone(run, std::move(report));
        return;
    }
    Notify(&run, kStatusStoringBegins, 1);
    run.store_pending = true;
}

void Downloader::OnEntryDone(Run& run, EntryReport report) {
    EntryResult result = report.result;
    if (!run.abandoned && report.entry.kind() == EntryKind::kFeed) {
        // A store of this thread's own: the settings_ member belongs to the window thread.
        SettingsStore results;
        results.OpenItemSettings();
        RecordFeedResult(results, report.entry.feed_id, DescribeFeedResult(report), SecondsSince2001());
    }
    {
        std::lock_guard lock(mutex_);
        previous_title_ = run.current.title;
        if (!run.abandoned) reports_.push_back(std::move(report));
    }
    SetFetchCancel(false);
    Notify(&run, kStatusEntryDone, result);
    if (run.abandoned) return;
    if (run.cancel_watch->Requested()) cancelled_ = true;
    if (!connection_.IsConnected()) {
        cancelled_ = true;
        connection_lost_ = true;
    }
    ++run.index;
    size_t count = 0;
    {
        std::lock_guard lock(mutex_);
        count = entries_.size();
        if (run.index < count) {
            run.current = entries_[run.index];
            current_title_ = run.current.title;
        }
    }
    if (run.index >= count || cancelled_) {
        run.running = false;
        // The lock goes first: the window rebuilds its listing when it hears that the run ended.
        run.database_lock.reset();
        std::shared_ptr<Run> self;
        {
            std::lock_guard lock(mutex_);
            self = run_;
        }
        if (self.get() == &run) Finish(self);
        return;
    }
    Notify(&run, kStatusFetchBegins, static_cast<LPARAM>(run.index));
    run.fetch_pending = true;
}

void Downloader::Finish(const std::shared_ptr<Run>& run) {
    // The run's thread lets the database go itself (see ThreadLoop), and its cancel watch ends with it.
    if (run != nullptr && run->finished.exchange(true)) return;
    EndHandleReuse();
    connection_.Release();
    bool abandoned = run != nullptr && run->abandoned;
    // A thread left to end on its own is still reading: its fetch stays cancelled.
    if (!abandoned) SetFetchCancel(false);
    LPARAM end = connection_lost_ ? kRunNetworkLost : cancelled_ ? kRunCancelled : kRunCompleted;
    Notify(nullptr, kStatusRunEnded, end);
    {
        std::lock_guard lock(mutex_);
        entries_.clear();
        if (run_ == run) run_ = nullptr;
    }
    settings_.Write(setting::kBackgroundStatus, kBackgroundIdle);
    settings_.Write(setting::kBackgroundLastRefresh, Decimal(SecondsSince2001()));
    settings_.Write(setting::kLastRefreshDate, LocalTimeText());
    // Not busy only once the state is written, so whoever sees the run over sees its end recorded.
    cancelled_ = false;
    busy_ = false;
}

void Downloader::Cancel(CancelForce force) {
    SetFetchCancel(true);
    bool first = !cancelled_.exchange(true);
    if (first && force == CancelForce::kNo) {
        if (ReadBackgroundStatus() != kBackgroundIdle) {
            settings_.Write(setting::kBackgroundStatus, kBackgroundCancel);
        }
        return;
    }
    if (ReadBackgroundStatus() == kBackgroundIdle) return;
    std::shared_ptr<Run> run;
    {
        std::lock_guard lock(mutex_);
        run = run_;
    }
    if (run != nullptr) {
        run->running = false;
        if (ThreadStillRuns()) {
            run->abandoned = true;
            thread_abandoned_ = true;
        }
    }
    Finish(run);
}

// ---- The schedule -------------------------------------------------------------------------------------

bool Downloader::LoadSchedule() {
    if (busy_) return false;
    schedule_.Load(settings_);
    return true;
}

bool Downloader::HasSchedule() const { return schedule_.HasSchedule(settings_); }

bool Downloader::IsDownloadDue() {
    if (busy_.exchange(true)) return false;
    ScheduleDecision decision = schedule_.Check(settings_);
    if (decision.due && decision.audio_only) audio_time_ = true;
    busy_ = false;
    return decision.due;
}

bool Downloader::TakeAudioTime() { return audio_time_.exchange(false); }

}  // namespace qf
