// WinINet's entry points over the sessions and transfers of http_transfer.h. Handles are numbers in a
// process-wide table; a call keeps its object alive while it runs, so a handle closed meanwhile by
// another thread is freed when that call ends.
#include <win/wininet.h>

#include <atomic>
#include <cstring>
#include <map>
#include <mutex>
#include <variant>

#include "net/http_transfer.h"
#include "net/network_internal.h"
#include "system/win32_result.h"
#include "win/strings.h"

namespace qf::device::net {
namespace {

struct Request {
    Request(std::shared_ptr<InternetSession> owner, std::unique_ptr<HttpTransfer> open)
        : session(std::move(owner)), transfer(std::move(open)) {}
    std::shared_ptr<InternetSession> session;
    std::unique_ptr<HttpTransfer> transfer;  // guarded by the session's mutex

    // The last holder may be a call that just released the session's lock, or InternetCloseHandle.
    ~Request() {
        std::lock_guard lock(session->mutex());
        transfer.reset();
    }
};
using Object = std::variant<std::shared_ptr<InternetSession>, std::shared_ptr<Request>>;

struct HandleTable {
    std::mutex mutex;
    std::map<std::uintptr_t, Object> objects;
    std::uintptr_t next = 0x1000;
};

HandleTable& Table() {
    static HandleTable table;
    return table;
}

HINTERNET Add(Object object) {
    HandleTable& table = Table();
    std::lock_guard lock(table.mutex);
    std::uintptr_t value = table.next;
    table.next += 4;
    table.objects.emplace(value, std::move(object));
    return reinterpret_cast<HINTERNET>(value);
}

template <typename T>
std::shared_ptr<T> Find(HINTERNET handle) {
    HandleTable& table = Table();
    std::lock_guard lock(table.mutex);
    auto it = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == table.objects.end()) return nullptr;
    auto* object = std::get_if<std::shared_ptr<T>>(&it->second);
    return object != nullptr ? *object : nullptr;
}

std::string Utf8(LPCWSTR text) { return text != nullptr ? qf::WideToUtf8(text) : std::string(); }

// Extra request headers: lines separated by CR LF; `length` in characters (-1: up to the terminator).
std::vector<std::string> SplitHeaders(LPCWSTR headers, DWORD length) {
    std::vector<std::string> lines;
    if (headers == nullptr) return lines;
    std::u16string text =
        length == static_cast<DWORD>(-1) ? std::u16string(headers) : std::u16string(headers, length);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(u'\n', start);
        if (end == std::u16string::npos) end = text.size();
        std::string line = qf::WideToUtf8(text.substr(start, end - start));
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (!line.empty()) lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// Writes `text` as a zero-terminated wide string; *length is in bytes.
BOOL AnswerText(const std::string& text, LPVOID buffer, LPDWORD length) {
    std::u16string wide = qf::Utf8ToWide(text);
    DWORD needed = static_cast<DWORD>((wide.size() + 1) * sizeof(WCHAR));
    if (buffer == nullptr || *length < needed) {
        *length = needed;
        return FailWith(ERROR_INSUFFICIENT_BUFFER);
    }
    std::memcpy(buffer, wide.c_str(), needed);
    *length = needed - sizeof(WCHAR);
    return TRUE;
}

BOOL AnswerNumber(DWORD value, LPVOID buffer, LPDWORD length) {
    if (buffer == nullptr || *length < sizeof(DWORD)) {
        *length = sizeof(DWORD);
        return FailWith(ERROR_INSUFFICIENT_BUFFER);
    }
    std::memcpy(buffer, &value, sizeof value);
    *length = sizeof value;
    return TRUE;
}

}  // namespace
}  // namespace qf::device::net

using namespace qf::device;
using namespace qf::device::net;

QF_EXTERN_C HINTERNET WINAPI InternetOpenW(LPCWSTR agent, DWORD access_type, LPCWSTR proxy, LPCWSTR, DWORD) {
    if (LoadCurl() == nullptr) {
        SetLastError(ERROR_INTERNET_INTERNAL_ERROR);
        return nullptr;
    }
    SessionSettings settings;
    settings.agent = Utf8(agent);
    settings.access_type = access_type;
    switch (access_type) {
        case INTERNET_OPEN_TYPE_PRECONFIG:
            settings.proxy = CurrentNetworkState().proxy;
            break;
        case INTERNET_OPEN_TYPE_DIRECT:
            break;
        case INTERNET_OPEN_TYPE_PROXY:
            settings.proxy = Utf8(proxy);
            if (settings.proxy.empty()) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return nullptr;
            }
            break;
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
    return Add(std::make_shared<InternetSession>(std::move(settings)));
}

QF_EXTERN_C BOOL WINAPI InternetSetOptionW(HINTERNET internet, DWORD option, LPVOID buffer, DWORD length) {
    auto session = Find<InternetSession>(internet);
    if (!session) return FailWith(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    if (buffer == nullptr || length < sizeof(DWORD)) return FailWith(ERROR_INVALID_PARAMETER);
    DWORD value = 0;
    std::memcpy(&value, buffer, sizeof value);
    std::lock_guard lock(session->mutex());
    SessionSettings& settings = session->settings();
    switch (option) {
        case INTERNET_OPTION_CONNECT_TIMEOUT:
            settings.connect_timeout_ms = value;
            return TRUE;
        case INTERNET_OPTION_CONNECT_RETRIES:
            settings.connect_attempts = value;
            return TRUE;
        case INTERNET_OPTION_RECEIVE_TIMEOUT:
        case INTERNET_OPTION_DATA_RECEIVE_TIMEOUT:
            settings.receive_timeout_ms = value;
            return TRUE;
        case INTERNET_OPTION_SEND_TIMEOUT:
        case INTERNET_OPTION_DATA_SEND_TIMEOUT:
            settings.send_timeout_ms = value;
            return TRUE;
        default:
            return FailWith(ERROR_INTERNET_INVALID_OPTION);
    }
}

QF_EXTERN_C HINTERNET WINAPI InternetOpenUrlW(HINTERNET internet, LPCWSTR url, LPCWSTR headers,
                                              DWORD headers_length, DWORD flags, DWORD_PTR) {
    auto session = Find<InternetSession>(internet);
    if (!session) {
        SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
        return nullptr;
    }
    if (url == nullptr || *url == 0) {
        SetLastError(ERROR_INTERNET_INVALID_URL);
        return nullptr;
    }
    std::unique_lock lock(session->mutex());
    RecordRequest({url, session->settings().access_type, qf::Utf8ToWide(session->settings().proxy), flags,
                   session->used()});
    session->mark_used();
    if (!CountNetworkRequest()) {
        SetLastError(ERROR_INTERNET_DISCONNECTED);
        return nullptr;
    }
    auto transfer =
        std::make_unique<HttpTransfer>(session, Utf8(url), flags, SplitHeaders(headers, headers_length));
    if (DWORD error = transfer->Open()) {
        transfer.reset();
        SetLastError(error);
        return nullptr;
    }
    lock.unlock();
    return Add(std::make_shared<Request>(session, std::move(transfer)));
}

QF_EXTERN_C BOOL WINAPI HttpQueryInfoW(HINTERNET handle, DWORD info_level, LPVOID buffer, LPDWORD length,
                                       LPDWORD) {
    auto request = Find<Request>(handle);
    if (!request) return FailWith(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    if (length == nullptr) return FailWith(ERROR_INVALID_PARAMETER);
    std::lock_guard lock(request->session->mutex());
    HttpTransfer& transfer = *request->transfer;
    DWORD level = info_level & 0xFFFF;
    bool number = (info_level & HTTP_QUERY_FLAG_NUMBER) != 0;
    bool request_headers = (info_level & HTTP_QUERY_FLAG_REQUEST_HEADERS) != 0;
    if (level == HTTP_QUERY_STATUS_CODE && !request_headers) {
        if (transfer.status_code() == 0) return FailWith(ERROR_HTTP_HEADER_NOT_FOUND);
        DWORD code = static_cast<DWORD>(transfer.status_code());
        return number ? AnswerNumber(code, buffer, length) : AnswerText(std::to_string(code), buffer, length);
    }
    if (level == HTTP_QUERY_RAW_HEADERS_CRLF && !request_headers) {
        return AnswerText(transfer.raw_headers(), buffer, length);
    }
    if (level == HTTP_QUERY_HOST && request_headers)
        return AnswerText(transfer.host_header(), buffer, length);
    return FailWith(ERROR_HTTP_HEADER_NOT_FOUND);
}

QF_EXTERN_C BOOL WINAPI InternetQueryOptionW(HINTERNET handle, DWORD option, LPVOID buffer, LPDWORD length) {
    auto request = Find<Request>(handle);
    if (!request) return FailWith(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    if (option != INTERNET_OPTION_URL) return FailWith(ERROR_INTERNET_INVALID_OPTION);
    if (length == nullptr) return FailWith(ERROR_INVALID_PARAMETER);
    std::lock_guard lock(request->session->mutex());
    return AnswerText(request->transfer->effective_url(), buffer, length);
}

QF_EXTERN_C BOOL WINAPI InternetReadFile(HINTERNET handle, LPVOID buffer, DWORD to_read, LPDWORD read) {
    auto request = Find<Request>(handle);
    if (!request) return FailWith(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    if (read == nullptr || (buffer == nullptr && to_read != 0)) return FailWith(ERROR_INVALID_PARAMETER);
    std::lock_guard lock(request->session->mutex());
    if (DWORD error = request->transfer->Read(static_cast<char*>(buffer), to_read, read))
        return FailWith(error);
    return TRUE;
}

QF_EXTERN_C BOOL WINAPI InternetCloseHandle(HINTERNET handle) {
    std::vector<Object> released;  // destroyed after the table is unlocked
    {
        HandleTable& table = Table();
        std::lock_guard lock(table.mutex);
        auto it = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
        if (it == table.objects.end()) return FailWith(ERROR_INVALID_HANDLE);
        if (auto* session = std::get_if<std::shared_ptr<InternetSession>>(&it->second)) {
            // The session's requests go with it.
            for (auto other = table.objects.begin(); other != table.objects.end();) {
                auto* request = std::get_if<std::shared_ptr<Request>>(&other->second);
                if (request != nullptr && (*request)->session == *session) {
                    released.push_back(std::move(other->second));
                    other = table.objects.erase(other);
                } else {
                    ++other;
                }
            }
            it = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
        }
        released.push_back(std::move(it->second));
        table.objects.erase(it);
    }
    return TRUE;
}
