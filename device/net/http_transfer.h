// The libcurl machinery behind WinINet's handles. An InternetSession is one internet handle: its
// settings and one curl multi handle, whose connection cache keeps connections alive between the
// session's requests. An HttpTransfer is one request: driven by the caller's own calls (no thread of its
// own), it runs until the final response's headers are in, then hands over the body in the pieces that
// arrive, holding back (pausing the transfer) when more than a small amount is waiting to be read.
// Both need LoadCurl() to have answered. Internal to device/net.
#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "net/curl_library.h"
#include "win/types.h"

namespace qf::device::net {

struct SessionSettings {
    std::string agent;
    std::string proxy;  // empty: none
    DWORD access_type = 0;
    DWORD connect_timeout_ms = 60000;
    DWORD connect_attempts = 5;
    DWORD receive_timeout_ms = 60000;
    DWORD send_timeout_ms = 60000;
};

class HttpTransfer;

class InternetSession {
  public:
    explicit InternetSession(SessionSettings settings);
    ~InternetSession();
    InternetSession(const InternetSession&) = delete;
    InternetSession& operator=(const InternetSession&) = delete;

    // Guards the session, its multi handle and every transfer of it.
    std::mutex& mutex() { return mutex_; }
    // Mutex held.
    SessionSettings& settings() { return settings_; }
    CURLM* multi() { return multi_; }
    CURL* TakeEasyHandle();
    void ReturnEasyHandle(CURL* easy);
    // Whether a request was made on this session before (its connections may be reused).
    bool used() const { return used_; }
    void mark_used() { used_ = true; }

  private:
    std::mutex mutex_;
    SessionSettings settings_;
    CURLM* multi_;
    std::vector<CURL*> idle_;
    bool used_ = false;
};

// Win32 error codes are reported as ERROR_INTERNET_* values.
class HttpTransfer {
  public:
    // Session mutex held for every member.
    HttpTransfer(std::shared_ptr<InternetSession> session, std::string url, DWORD flags,
                 std::vector<std::string> extra_headers);
    ~HttpTransfer();
    HttpTransfer(const HttpTransfer&) = delete;
    HttpTransfer& operator=(const HttpTransfer&) = delete;

    InternetSession& session() { return *session_; }
    // Runs until the final response's headers are in (retrying a refused connection as often as the
    // session says): 0, or the error.
    DWORD Open();
    // Up to `capacity` bytes of the body into `buffer`: 0 with *read set (0 at the end), or the error.
    DWORD Read(char* buffer, DWORD capacity, DWORD* read);

    long status_code() const { return status_code_; }
    const std::string& raw_headers() const { return raw_headers_; }
    // The address finally fetched, and its host ("host" or "host:port").
    std::string effective_url() const;
    std::string host_header() const;

  private:
    static size_t OnBody(char* data, size_t size, size_t count, void* self);
    static size_t OnHeader(char* data, size_t size, size_t count, void* self);
    void Configure();
    DWORD Start();
    void Detach();
    // One step of the transfer, waiting at most `wait` for something to happen.
    void Step(std::chrono::milliseconds wait);
    DWORD Failure() const;

    std::shared_ptr<InternetSession> session_;
    std::string url_;
    DWORD flags_;
    curl_slist* headers_ = nullptr;
    CURL* easy_ = nullptr;
    bool attached_ = false;
    bool done_ = false;
    CURLcode result_ = CURLE_OK;
    bool paused_ = false;
    std::string pending_;  // body bytes not read yet, from pending_offset_
    size_t pending_offset_ = 0;
    std::string raw_headers_;
    std::string status_line_;
    long status_code_ = 0;
    bool headers_done_ = false;
    bool has_location_ = false;
};

}  // namespace qf::device::net
