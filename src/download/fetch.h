// Fetch: one URL over WinINet into one device file. Synchronous; it returns when the file is complete,
// the transfer failed, or the run was cancelled. Between the reads of a transfer it watches the
// process-wide cancel flag; during a download run it shares one internet handle (and so its kept-alive
// connections) with the run's other fetches.
#pragma once

#include <windows.h>

#include <string>

namespace qf {

class SettingsStore;

// Every internet handle's user agent.
inline constexpr char16_t kFetchUserAgent[] = u"Mozilla/2.0 (compatible; MSIE 3.02; Windows CE; 240x320)";

enum class ProxyUse { kDirect, kProxy };
enum class FollowRefresh { kNo, kYes };

enum class FetchOutcome {
    kOk,
    kNoInternetHandle,  // InternetOpenW failed
    kOpenFailed,        // the request could not be opened (error: the WinINet code)
    kHttpStatus,        // the status code was not 200
    kHeadersFailed,     // the response headers could not be read
    kFileFailed,        // the target file could not be opened or written
    kReadFailed,        // the transfer broke off (error: the WinINet code)
    kTooLarge,          // the body grew past the byte limit
    kCancelled,
};

// How a fetch ended, for reports; Fetch's result alone decides what the run does.
struct FetchReport {
    FetchOutcome outcome = FetchOutcome::kOk;
    DWORD error = 0;               // WinINet error of kOpenFailed / kReadFailed
    DWORD http_status = 0;         // the status code when the response had one (0 otherwise)
    unsigned long long bytes = 0;  // body bytes written to the file
};

// A short English text for a failed fetch: "HTTP 404", "time-out", "connection refused", ...
std::u16string DescribeFetchFailure(const FetchReport& report);

// Downloads `url` into `target_file` (deleted first; a partial file is deleted on failure). With kProxy
// the request goes through `proxy` ("host:port"). With FollowRefresh::kYes a meta-refresh redirect in the
// page is followed one level deep. A body that grows past `max_bytes` (counted as it streams, whatever the
// server declared) fails the fetch. True when the file holds the complete response body. `report` (may
// be null) receives how it ended. Any thread; one transfer at a time per thread.
inline constexpr unsigned long long kNoByteLimit = ~0ull;
bool Fetch(const std::u16string& url, const std::u16string& target_file, ProxyUse proxy_use,
           const std::u16string& proxy, FollowRefresh follow_refresh, FetchReport* report = nullptr,
           unsigned long long max_bytes = kNoByteLimit);

// ---- Process-wide fetch state ---------------------------------------------------------------------

// How long a transfer may go without receiving data before it fails as a time-out.
inline constexpr DWORD kFetchReceiveTimeoutMs = 10000;

struct FetchOptions {
    DWORD buffer_bytes = 1024;  // bytes asked of one InternetReadFile
    bool skip_headers = true;   // plain fetches neither check the status code nor read the headers
    DWORD receive_timeout_ms = kFetchReceiveTimeoutMs;
};
// Special/DownloadBuffer * 1024 (0 gives 4096) and Special/DownloadSkipHeaders != 0; the fixed receive
// time-out.
FetchOptions FetchOptionsFromSettings(const SettingsStore& settings);
// Any thread; takes effect with the next Fetch. The item window sets them when it loads its settings.
void SetFetchOptions(const FetchOptions& options);
FetchOptions CurrentFetchOptions();

// The cancel flag: set by a cancel, cleared when a run starts, after every fetch and when a run ends.
// Any thread.
void SetFetchCancel(bool cancel);
bool FetchCancelRequested();

// The reuse-handle flag: while set, the first Fetch's internet handle stays open and serves every later
// Fetch; ending it closes that handle. Any thread (the download run's start and end).
void BeginHandleReuse();
void EndHandleReuse();

}  // namespace qf
