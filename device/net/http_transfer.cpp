#include "net/http_transfer.h"

#include <win/wininet.h>

#include <algorithm>
#include <cstring>

namespace qf::device::net {
namespace {

using Clock = std::chrono::steady_clock;

// Body bytes held for the reader before the transfer is paused: enough for a few reads, never a body.
constexpr size_t kHoldBackBytes = 64 * 1024;
constexpr auto kStepWait = std::chrono::milliseconds(50);

bool StartsWithNoCase(const char* data, size_t size, std::string_view prefix) {
    if (size < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(data[i])) != prefix[i]) return false;
    }
    return true;
}

DWORD ErrorOf(CURLcode code) {
    switch (code) {
        case CURLE_OK:
            return 0;
        case CURLE_UNSUPPORTED_PROTOCOL:
            return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
        case CURLE_URL_MALFORMAT:
            return ERROR_INTERNET_INVALID_URL;
        case CURLE_COULDNT_RESOLVE_PROXY:
        case CURLE_COULDNT_RESOLVE_HOST:
            return ERROR_INTERNET_NAME_NOT_RESOLVED;
        case CURLE_COULDNT_CONNECT:
            return ERROR_INTERNET_CANNOT_CONNECT;
        case CURLE_OPERATION_TIMEDOUT:
            return ERROR_INTERNET_TIMEOUT;
        case CURLE_TOO_MANY_REDIRECTS:
            return ERROR_HTTP_REDIRECT_FAILED;
        case CURLE_WEIRD_SERVER_REPLY:
            return ERROR_HTTP_INVALID_SERVER_RESPONSE;
        case CURLE_PARTIAL_FILE:
            return ERROR_INTERNET_CONNECTION_ABORTED;
        case CURLE_GOT_NOTHING:
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
            return ERROR_INTERNET_CONNECTION_RESET;
        case CURLE_PEER_FAILED_VERIFICATION:
            return ERROR_INTERNET_SEC_CERT_CN_INVALID;
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_CACERT_BADFILE:
            return ERROR_INTERNET_SECURITY_CHANNEL_ERROR;
        default:
            return ERROR_INTERNET_INTERNAL_ERROR;
    }
}

}  // namespace

InternetSession::InternetSession(SessionSettings settings)
    : settings_(std::move(settings)), multi_(Curl().multi_init()) {}

InternetSession::~InternetSession() {
    for (CURL* easy : idle_) Curl().easy_cleanup(easy);
    Curl().multi_cleanup(multi_);
}

CURL* InternetSession::TakeEasyHandle() {
    if (idle_.empty()) return Curl().easy_init();
    CURL* easy = idle_.back();
    idle_.pop_back();
    return easy;
}

void InternetSession::ReturnEasyHandle(CURL* easy) {
    Curl().easy_reset(easy);
    idle_.push_back(easy);
}

HttpTransfer::HttpTransfer(std::shared_ptr<InternetSession> session, std::string url, DWORD flags,
                           std::vector<std::string> extra_headers)
    : session_(std::move(session)), url_(std::move(url)), flags_(flags) {
    for (const std::string& header : extra_headers) headers_ = Curl().slist_append(headers_, header.c_str());
}

HttpTransfer::~HttpTransfer() {
    Detach();
    if (easy_ != nullptr) session_->ReturnEasyHandle(easy_);
    Curl().slist_free_all(headers_);
}

void HttpTransfer::Configure() {
    const SessionSettings& settings = session_->settings();
    Curl().easy_setopt(easy_, CURLOPT_URL, url_.c_str());
    Curl().easy_setopt(easy_, CURLOPT_PROTOCOLS_STR, "http,https");
    Curl().easy_setopt(easy_, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    Curl().easy_setopt(easy_, CURLOPT_USERAGENT, settings.agent.c_str());
    Curl().easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
    Curl().easy_setopt(easy_, CURLOPT_FOLLOWLOCATION, (flags_ & INTERNET_FLAG_NO_AUTO_REDIRECT) ? 0L : 1L);
    Curl().easy_setopt(easy_, CURLOPT_MAXREDIRS, 10L);
    Curl().easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(settings.connect_timeout_ms));
    // An empty proxy switches off the host's own proxy variables too: the device's choice is the only one.
    Curl().easy_setopt(easy_, CURLOPT_PROXY, settings.proxy.c_str());
    // curl cannot relax the date check alone; a caller that accepts outdated certificates gets an
    // unchecked chain.
    Curl().easy_setopt(easy_, CURLOPT_SSL_VERIFYHOST,
                       (flags_ & INTERNET_FLAG_IGNORE_CERT_CN_INVALID) ? 0L : 2L);
    Curl().easy_setopt(easy_, CURLOPT_SSL_VERIFYPEER,
                       (flags_ & INTERNET_FLAG_IGNORE_CERT_DATE_INVALID) ? 0L : 1L);
    Curl().easy_setopt(easy_, CURLOPT_HTTPHEADER, headers_);
    Curl().easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &HttpTransfer::OnBody);
    Curl().easy_setopt(easy_, CURLOPT_WRITEDATA, this);
    Curl().easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &HttpTransfer::OnHeader);
    Curl().easy_setopt(easy_, CURLOPT_HEADERDATA, this);
    Curl().easy_setopt(easy_, CURLOPT_PRIVATE, this);
}

DWORD HttpTransfer::Start() {
    if (easy_ == nullptr) easy_ = session_->TakeEasyHandle();
    if (easy_ == nullptr) return ERROR_INTERNET_OUT_OF_HANDLES;
    Configure();
    done_ = false;
    result_ = CURLE_OK;
    headers_done_ = false;
    raw_headers_.clear();
    status_code_ = 0;
    if (Curl().multi_add_handle(session_->multi(), easy_) != CURLM_OK) return ERROR_INTERNET_INTERNAL_ERROR;
    attached_ = true;
    return 0;
}

void HttpTransfer::Detach() {
    if (!attached_) return;
    Curl().multi_remove_handle(session_->multi(), easy_);
    attached_ = false;
}

DWORD HttpTransfer::Open() {
    const SessionSettings& settings = session_->settings();
    auto first_wait =
        std::chrono::milliseconds(std::max(settings.connect_timeout_ms, settings.receive_timeout_ms));
    DWORD attempts = std::max<DWORD>(1, settings.connect_attempts);
    for (DWORD attempt = 1;; ++attempt) {
        if (DWORD error = Start()) return error;
        auto deadline = Clock::now() + first_wait;
        while (!headers_done_ && !done_ && Clock::now() < deadline) Step(kStepWait);
        if (headers_done_ || (done_ && result_ == CURLE_OK)) return 0;
        if (!done_) return ERROR_INTERNET_TIMEOUT;
        if (result_ != CURLE_COULDNT_CONNECT || attempt >= attempts) return Failure();
        Detach();
    }
}

DWORD HttpTransfer::Read(char* buffer, DWORD capacity, DWORD* read) {
    *read = 0;
    auto receive_timeout = std::chrono::milliseconds(session_->settings().receive_timeout_ms);
    auto last_data = Clock::now();
    for (;;) {
        if (pending_offset_ < pending_.size()) {
            size_t count = std::min<size_t>(capacity, pending_.size() - pending_offset_);
            std::memcpy(buffer, pending_.data() + pending_offset_, count);
            pending_offset_ += count;
            if (pending_offset_ == pending_.size()) {
                pending_.clear();
                pending_offset_ = 0;
            }
            *read = static_cast<DWORD>(count);
            return 0;
        }
        if (capacity == 0) return 0;
        if (done_) return result_ == CURLE_OK ? 0 : Failure();
        if (paused_) {
            paused_ = false;
            Curl().easy_pause(easy_, CURLPAUSE_CONT);
            continue;
        }
        size_t before = pending_.size();
        Step(kStepWait);
        if (pending_.size() != before) {
            last_data = Clock::now();
        } else if (Clock::now() - last_data > receive_timeout) {
            return ERROR_INTERNET_TIMEOUT;
        }
    }
}

void HttpTransfer::Step(std::chrono::milliseconds wait) {
    CURLM* multi = session_->multi();
    int running = 0;
    size_t before = pending_.size();
    bool had_headers = headers_done_;
    Curl().multi_perform(multi, &running);
    int left = 0;
    while (CURLMsg* message = Curl().multi_info_read(multi, &left)) {
        if (message->msg != CURLMSG_DONE) continue;
        HttpTransfer* transfer = nullptr;
        Curl().easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &transfer);
        if (transfer == nullptr) continue;
        transfer->done_ = true;
        transfer->result_ = message->data.result;
    }
    if (done_ || pending_.size() != before || headers_done_ != had_headers) return;
    Curl().multi_poll(multi, nullptr, 0, static_cast<int>(wait.count()), nullptr);
}

DWORD HttpTransfer::Failure() const { return ErrorOf(result_); }

size_t HttpTransfer::OnBody(char* data, size_t size, size_t count, void* self) {
    auto* transfer = static_cast<HttpTransfer*>(self);
    if (transfer->pending_.size() - transfer->pending_offset_ >= kHoldBackBytes) {
        transfer->paused_ = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    transfer->pending_.append(data, size * count);
    return size * count;
}

size_t HttpTransfer::OnHeader(char* data, size_t size, size_t count, void* self) {
    auto* transfer = static_cast<HttpTransfer*>(self);
    size_t length = size * count;
    if (StartsWithNoCase(data, length, "http/")) {
        // A new response begins: an interim one (100 Continue) or the next hop of a redirect.
        transfer->raw_headers_.clear();
        transfer->has_location_ = false;
        transfer->headers_done_ = false;
        std::string line(data, length);
        size_t space = line.find(' ');
        transfer->status_code_ = space == std::string::npos ? 0 : std::atol(line.c_str() + space + 1);
    } else if (StartsWithNoCase(data, length, "location:")) {
        transfer->has_location_ = true;
    }
    transfer->raw_headers_.append(data, length);
    bool blank = length <= 2 && (length == 0 || data[0] == '\r' || data[0] == '\n');
    if (blank) {
        long code = transfer->status_code_;
        bool interim = code >= 100 && code < 200;
        bool followed = code >= 300 && code < 400 && transfer->has_location_ &&
                        (transfer->flags_ & INTERNET_FLAG_NO_AUTO_REDIRECT) == 0;
        transfer->headers_done_ = !interim && !followed;
    }
    return length;
}

std::string HttpTransfer::effective_url() const {
    char* url = nullptr;
    Curl().easy_getinfo(easy_, CURLINFO_EFFECTIVE_URL, &url);
    return url != nullptr ? url : url_;
}

std::string HttpTransfer::host_header() const {
    std::string host;
    CURLU* parts = Curl().url();
    if (Curl().url_set(parts, CURLUPART_URL, effective_url().c_str(), 0) == CURLUE_OK) {
        char* name = nullptr;
        if (Curl().url_get(parts, CURLUPART_HOST, &name, 0) == CURLUE_OK) host = name;
        Curl().free(name);
        char* port = nullptr;
        if (Curl().url_get(parts, CURLUPART_PORT, &port, 0) == CURLUE_OK) host += std::string(":") + port;
        Curl().free(port);
    }
    Curl().url_cleanup(parts);
    return host;
}

}  // namespace qf::device::net
