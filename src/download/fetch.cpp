#include "download/fetch.h"

#include <win/wininet.h>

#include <atomic>
#include <mutex>
#include <vector>

#include "common/settings_store.h"
#include "common/system_info.h"
#include "common/text_file.h"
#include "parse/wide_text.h"

namespace qf {
namespace {

constexpr DWORD kConnectRetries = 1;
constexpr DWORD kConnectTimeoutMs = 5000;
constexpr DWORD kDefaultBufferBytes = 4096;
constexpr size_t kWriteBytes = 64 * 1024;

std::atomic<DWORD> buffer_bytes{1024};
std::atomic<bool> skip_headers{true};
std::atomic<DWORD> receive_timeout_ms{kFetchReceiveTimeoutMs};
std::atomic<bool> cancel_flag{false};

std::mutex shared_mutex;  // guards the two below
bool reuse_handle = false;
HINTERNET shared_handle = nullptr;  // the run's internet handle

bool ReuseHandle() {
    std::lock_guard lock(shared_mutex);
    return reuse_handle;
}

HINTERNET SharedHandle() {
    std::lock_guard lock(shared_mutex);
    return reuse_handle ? shared_handle : nullptr;
}

void StoreSharedHandle(HINTERNET handle) {
    std::lock_guard lock(shared_mutex);
    if (reuse_handle) shared_handle = handle;
}

void ForgetSharedHandle(HINTERNET handle) {
    std::lock_guard lock(shared_mutex);
    if (shared_handle == handle) shared_handle = nullptr;
}

void SetOption(HINTERNET internet, DWORD option, DWORD value) {
    InternetSetOptionW(internet, option, &value, sizeof value);
}

HINTERNET OpenInternet(ProxyUse proxy_use, const std::u16string& proxy) {
    HINTERNET internet = nullptr;
    if (proxy_use == ProxyUse::kProxy) {
        internet = InternetOpenW(kFetchUserAgent, INTERNET_OPEN_TYPE_PROXY, proxy.c_str(), nullptr, 0);
    } else {
        internet = InternetOpenW(kFetchUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
        if (internet == nullptr && CurrentPlatformClass() == PlatformClass::kCe4OrLater) {
            internet = InternetOpenW(kFetchUserAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
        }
    }
    if (internet == nullptr) return nullptr;
    SetOption(internet, INTERNET_OPTION_CONNECT_RETRIES, kConnectRetries);
    SetOption(internet, INTERNET_OPTION_CONNECT_TIMEOUT, kConnectTimeoutMs);
    SetOption(internet, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, receive_timeout_ms);
    return internet;
}

// A text answer of HttpQueryInfoW / InternetQueryOptionW in a buffer of 511 bytes, as the redirect
// step reads them; empty when the query fails.
template <typename Query>
std::u16string QueryText(Query&& query) {
    char16_t buffer[256] = {};
    DWORD length = 511;
    if (!query(buffer, &length)) return {};
    return buffer;
}

// The request handle and the internet handle of one attempt; the destructor closes the request and
// the internet handle unless it serves the whole run.
class OpenRequest {
  public:
    OpenRequest(HINTERNET internet, HINTERNET request) : internet_(internet), request_(request) {}
    ~OpenRequest() {
        InternetCloseHandle(request_);
        if (!ReuseHandle()) InternetCloseHandle(internet_);
    }
    OpenRequest(const OpenRequest&) = delete;
    OpenRequest& operator=(const OpenRequest&) = delete;
    HINTERNET request() const { return request_; }

  private:
    HINTERNET internet_;
    HINTERNET request_;
};

struct RedirectTarget {
    std::u16string host;
    std::u16string final_url;
};

std::u16string ResolveRefresh(const std::u16string& target, const RedirectTarget& origin) {
    if (target.rfind(u"http", 0) == 0) return target;
    if (!target.empty() && target.front() == u'/') return u"http://" + origin.host + target;
    size_t slash = origin.final_url.rfind(u'/');
    std::u16string base =
        slash == std::u16string::npos ? origin.final_url : origin.final_url.substr(0, slash);
    return base + u"/" + target;
}

// The meta-refresh address of a downloaded page (lower-cased, as the scan reads it); empty for none.
std::u16string FindRefresh(const std::u16string& file) {
    TextFile page;
    if (!page.Open(file, CFile::modeRead)) return {};
    std::u16string text = text::ToLower(page.ReadAll(TextConversion::kDecode));
    bool marked = false;
    for (const char16_t* marker :
         {u"http-equiv=refresh", u"http-equiv=\"refresh\"", u"http-equiv='refresh'"}) {
        if (text.find(marker) != std::u16string::npos) {
            marked = true;
            break;
        }
    }
    if (!marked) return {};
    char16_t quote = u'"';
    size_t content = text.find(u"content=\"");
    if (content == std::u16string::npos) {
        quote = u'\'';
        content = text.find(u"content='");
    }
    if (content == std::u16string::npos) return {};
    size_t url = text.find(u"url=", content);
    if (url == std::u16string::npos) return {};
    size_t end = text.find(quote, url);
    if (end == std::u16string::npos) return {};
    return std::u16string(text::Trim(std::u16string_view(text).substr(url + 4, end - url - 4)));
}

bool Fail(FetchReport& report, FetchOutcome outcome, DWORD error = 0) {
    report.outcome = outcome;
    report.error = error;
    return false;
}

// Steps 1 to 11 of a fetch: the transfer into the file.
bool Transfer(const std::u16string& url, const std::u16string& target_file, ProxyUse proxy_use,
              const std::u16string& proxy, FollowRefresh follow_refresh, unsigned long long max_bytes,
              FetchReport& report, RedirectTarget& origin) {
    DeleteFileW(target_file.c_str());
    HINTERNET internet = SharedHandle();
    if (internet == nullptr) internet = OpenInternet(proxy_use, proxy);
    if (internet == nullptr) return Fail(report, FetchOutcome::kNoInternetHandle, GetLastError());

    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
    if (text::ToLower(url).find(u"https://") != std::u16string::npos) {
        flags |= INTERNET_FLAG_SECURE | INTERNET_FLAG_IGNORE_CERT_CN_INVALID |
                 INTERNET_FLAG_IGNORE_CERT_DATE_INVALID;
    }
    HINTERNET request = InternetOpenUrlW(internet, url.c_str(), nullptr, 0, flags, 0);
    if (request == nullptr) {
        DWORD error = GetLastError();
        InternetCloseHandle(internet);
        ForgetSharedHandle(internet);
        internet = nullptr;
        if (CurrentPlatformClass() == PlatformClass::kCe4OrLater) {
            internet = InternetOpenW(kFetchUserAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
            if (internet != nullptr) request = InternetOpenUrlW(internet, url.c_str(), nullptr, 0, flags, 0);
            if (request == nullptr) {
                error = GetLastError();
                if (internet != nullptr) InternetCloseHandle(internet);
            }
        }
        if (request == nullptr) return Fail(report, FetchOutcome::kOpenFailed, error);
    }
    StoreSharedHandle(internet);
    OpenRequest open(internet, request);

    DWORD status = 0;
    DWORD length = sizeof status;
    bool status_known = HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                                       &length, nullptr) != FALSE;
    if (status_known) report.http_status = status;
    bool check_headers = !skip_headers || follow_refresh == FollowRefresh::kYes;
    if (check_headers && status_known && status != 200) return Fail(report, FetchOutcome::kHttpStatus);
    if (follow_refresh == FollowRefresh::kYes) {
        origin.host = QueryText([&](char16_t* buffer, DWORD* size) {
            return HttpQueryInfoW(request, HTTP_QUERY_HOST | HTTP_QUERY_FLAG_REQUEST_HEADERS, buffer, size,
                                  nullptr);
        });
        origin.final_url = QueryText([&](char16_t* buffer, DWORD* size) {
            return InternetQueryOptionW(request, INTERNET_OPTION_URL, buffer, size);
        });
    }
    if (check_headers) {
        // The headers are read (and dropped) as the device's client reads them before the body.
        DWORD header_bytes = 0;
        HttpQueryInfoW(request, HTTP_QUERY_RAW_HEADERS_CRLF, nullptr, &header_bytes, nullptr);
        if (header_bytes > 0) {
            std::vector<char> headers(header_bytes + 1);
            if (!HttpQueryInfoW(request, HTTP_QUERY_RAW_HEADERS_CRLF, headers.data(), &header_bytes,
                                nullptr)) {
                return Fail(report, FetchOutcome::kHeadersFailed, GetLastError());
            }
        }
    }

    CFile file;
    if (!file.Open(target_file.c_str(), CFile::modeCreate | CFile::modeWrite)) {
        return Fail(report, FetchOutcome::kFileFailed, GetLastError());
    }
    DWORD size = buffer_bytes;
    std::vector<char> buffer(size + 1);
    // Reads are small (1 KB by default); the file gets them in larger writes, still as they arrive.
    std::string unwritten;
    auto write_out = [&] {
        bool written = unwritten.empty() || file.Write(unwritten.data(), static_cast<UINT>(unwritten.size()));
        unwritten.clear();
        return written;
    };
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(request, buffer.data(), size, &read)) {
            DWORD error = GetLastError();
            file.Close();
            DeleteFileW(target_file.c_str());
            return Fail(report, FetchOutcome::kReadFailed, error);
        }
        unwritten.append(buffer.data(), read);
        bool last = read == 0 || cancel_flag;
        if ((last || unwritten.size() >= kWriteBytes) && !write_out()) {
            file.Close();
            DeleteFileW(target_file.c_str());
            return Fail(report, FetchOutcome::kFileFailed, GetLastError());
        }
        report.bytes += read;
        if (report.bytes > max_bytes) {
            file.Close();
            DeleteFileW(target_file.c_str());
            return Fail(report, FetchOutcome::kTooLarge);
        }
        if (last) break;
    }
    file.Close();
    if (cancel_flag) {
        DeleteFileW(target_file.c_str());
        return Fail(report, FetchOutcome::kCancelled);
    }
    return true;
}

}  // namespace

bool Fetch(const std::u16string& url, const std::u16string& target_file, ProxyUse proxy_use,
           const std::u16string& proxy, FollowRefresh follow_refresh, FetchReport* report,
           unsigned long long max_bytes) {
    FetchReport local;
    FetchReport& result = report != nullptr ? *report : local;
    result = FetchReport{};
    RedirectTarget origin;
    if (!Transfer(url, target_file, proxy_use, proxy, follow_refresh, max_bytes, result, origin))
        return false;
    if (follow_refresh == FollowRefresh::kNo) return true;
    std::u16string target = FindRefresh(target_file);
    if (target.empty()) return true;
    return Fetch(ResolveRefresh(target, origin), target_file, proxy_use, proxy, FollowRefresh::kNo, report,
                 max_bytes);
}

std::u16string DescribeFetchFailure(const FetchReport& report) {
    switch (report.outcome) {
        case FetchOutcome::kOk:
            return u"";
        case FetchOutcome::kNoInternetHandle:
            return u"no internet handle";
        case FetchOutcome::kHttpStatus:
            return u"HTTP " + text::FromAscii(std::to_string(report.http_status));
        case FetchOutcome::kHeadersFailed:
            return u"unreadable response headers";
        case FetchOutcome::kFileFailed:
            return u"cannot write the file";
        case FetchOutcome::kCancelled:
            return u"cancelled";
        case FetchOutcome::kTooLarge:
            return u"larger than allowed";
        case FetchOutcome::kOpenFailed:
        case FetchOutcome::kReadFailed:
            break;
    }
    switch (report.error) {
        case ERROR_INTERNET_TIMEOUT:
            return u"time-out";
        case ERROR_INTERNET_CANNOT_CONNECT:
            return u"connection refused";
        case ERROR_INTERNET_NAME_NOT_RESOLVED:
            return u"unknown host";
        case ERROR_INTERNET_DISCONNECTED:
            return u"no network";
        case ERROR_INTERNET_CONNECTION_ABORTED:
        case ERROR_INTERNET_CONNECTION_RESET:
            return u"connection broken off";
        case ERROR_HTTP_REDIRECT_FAILED:
            return u"too many redirects";
        case ERROR_INTERNET_INVALID_URL:
        case ERROR_INTERNET_UNRECOGNIZED_SCHEME:
            return u"not an http address";
        case ERROR_INTERNET_SEC_CERT_CN_INVALID:
        case ERROR_INTERNET_SECURITY_CHANNEL_ERROR:
            return u"secure connection failed";
        default:
            return u"network error " + text::FromAscii(std::to_string(report.error));
    }
}

FetchOptions FetchOptionsFromSettings(const SettingsStore& settings) {
    FetchOptions options;
    LONG kilobytes = settings.Read(setting::kDownloadBufferKb);
    options.buffer_bytes = kilobytes > 0 ? static_cast<DWORD>(kilobytes) * 1024 : kDefaultBufferBytes;
    options.skip_headers = settings.Read(setting::kDownloadSkipHeaders);
    return options;
}

void SetFetchOptions(const FetchOptions& options) {
    buffer_bytes = options.buffer_bytes > 0 ? options.buffer_bytes : kDefaultBufferBytes;
    skip_headers = options.skip_headers;
    receive_timeout_ms = options.receive_timeout_ms;
}

FetchOptions CurrentFetchOptions() { return FetchOptions{buffer_bytes, skip_headers, receive_timeout_ms}; }

void SetFetchCancel(bool cancel) { cancel_flag = cancel; }

bool FetchCancelRequested() { return cancel_flag; }

void BeginHandleReuse() {
    std::lock_guard lock(shared_mutex);
    reuse_handle = true;
}

void EndHandleReuse() {
    HINTERNET closing = nullptr;
    {
        std::lock_guard lock(shared_mutex);
        reuse_handle = false;
        closing = shared_handle;
        shared_handle = nullptr;
    }
    if (closing != nullptr) InternetCloseHandle(closing);
}

}  // namespace qf
