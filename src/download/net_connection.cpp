#include "download/net_connection.h"

#include <cstring>

#include "common/settings_store.h"

namespace qf {
namespace {

constexpr DWORD kApiReadyWaitMs = 1000;
constexpr DWORD kProbeWaitMs = 1000;
constexpr DWORD kProbeLatencyMs = 4000;
constexpr int kConnectPolls = 20;
constexpr DWORD kConnectPollMs = 500;

bool IsDisconnectedGroup(DWORD status) { return (status & CONNMGR_STATUS_DISCONNECTED) != 0; }
bool IsWaitingGroup(DWORD status) { return (status & CONNMGR_STATUS_WAITINGCONNECTION) != 0; }

CONNMGR_CONNECTIONINFO ConnectionInfo(const GUID& destination, bool proxy_flag) {
    CONNMGR_CONNECTIONINFO info{};
    info.cbSize = sizeof info;
    info.dwParams = CONNMGR_PARAM_GUIDDESTNET;
    info.dwFlags = proxy_flag ? CONNMGR_FLAG_PROXY_HTTP : 0;
    info.dwPriority = CONNMGR_PRIORITY_USERINTERACTIVE;
    info.guidDestNet = destination;
    return info;
}

}  // namespace

NetConnection::NetConnection() : stop_event_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

NetConnection::~NetConnection() {
    StopStatusThread();
    if (stop_event_ != nullptr) CloseHandle(stop_event_);
}

bool NetConnection::Connect(const SettingsStore& settings, ProxySettings& proxy) {
    proxy.use_proxy = settings.Read(setting::kUseProxy);
    proxy.address = settings.Read(setting::kProxyAddress);
    proxy.port = settings.Read(setting::kProxyPort);
    use_connection_manager_ = settings.Read(setting::kUseConnectionManager);
    // A dial-up that an earlier Connect gave up waiting for is not waited on any longer.
    StopStatusThread();
    connected_ = false;
    borrowed_ = false;
    if (!use_connection_manager_) {
        connected_ = true;
        return true;
    }
    if (ProbeConnection(kMappingAddress, true) == 0) {
        borrowed_ = true;
    } else {
        if (!settings.Read(setting::kUseAutoConnect)) return false;
        if (ConnectAsync(kMappingAddress, true) != 0) return false;
    }
    proxy.use_proxy = proxy_found_;
    if (!proxy_found_) {
        proxy.address.clear();
        proxy.port.clear();
        return true;
    }
    std::u16string server;
    {
        std::lock_guard lock(proxy_mutex_);
        server = proxy_config_.szProxyServer;
    }
    size_t colon = server.rfind(u':');
    if (colon == std::u16string::npos) {
        proxy.address = server;
    } else {
        proxy.address = server.substr(0, colon);
        proxy.port = server.substr(colon + 1);
    }
    return true;
}

void NetConnection::Release() {
    if (use_connection_manager_ && !borrowed_) StopStatusThread();
    connected_ = false;
}

HRESULT NetConnection::ProbeConnection(const std::u16string& address, bool proxy_flag) {
    connected_ = false;
    if (WaitForSingleObject(ConnMgrApiReadyEvent(), kApiReadyWaitMs) != WAIT_OBJECT_0) return E_FAIL;
    if (HRESULT mapped = MapUrl(address); FAILED(mapped)) return mapped;
    CONNMGR_CONNECTIONINFO info = ConnectionInfo(destination_, proxy_flag);
    info.dwParams |= CONNMGR_PARAM_MAXCONNLATENCY;
    info.ulMaxConnLatency = kProbeLatencyMs;
    HANDLE connection = nullptr;
    if (HRESULT established = ConnMgrEstablishConnection(&info, &connection); FAILED(established)) {
        return established;
    }
    HRESULT result = E_FAIL;
    if (WaitForSingleObject(connection, kProbeWaitMs) == WAIT_OBJECT_0) {
        DWORD status = 0;
        result = 1;
        if (SUCCEEDED(ConnMgrConnectionStatus(connection, &status)) && status == CONNMGR_STATUS_CONNECTED) {
            connected_ = true;
            QueryProxy(connection);
            result = 0;
        }
    }
    ConnMgrReleaseConnection(connection, 0);
    return result;
}

HRESULT NetConnection::ConnectAsync(const std::u16string& address, bool proxy_flag) {
    if (FAILED(StartStatusThread(address, proxy_flag))) return E_FAIL;
    DWORD status = CONNMGR_STATUS_UNKNOWN;
    for (int poll = 0; poll < kConnectPolls; ++poll) {
        Sleep(kConnectPollMs);
        // A status thread that has given up has released its connection; its last status tells why.
        HANDLE connection = connection_;
        status = last_status_;
        if (connection != nullptr) ConnMgrConnectionStatus(connection, &status);
        if (status != CONNMGR_STATUS_UNKNOWN && !IsWaitingGroup(status)) break;
    }
    return status == CONNMGR_STATUS_CONNECTED ? 0 : E_FAIL;
}

HRESULT NetConnection::StartStatusThread(const std::u16string& address, bool proxy_flag) {
    // The thread that still runs reads the address and the flag: it is stopped first.
    StopStatusThread();
    if (HRESULT mapped = MapUrl(address); FAILED(mapped)) return mapped;
    proxy_flag_ = proxy_flag;
    if (stop_event_ == nullptr) return E_INVALIDARG;
    // Reset before the thread exists, so that a stop requested at once is not lost.
    ResetEvent(stop_event_);
    last_status_ = CONNMGR_STATUS_UNKNOWN;
    status_thread_ = CreateThread(nullptr, 0, &NetConnection::StatusThreadProc, this, 0, nullptr);
    return status_thread_ != nullptr ? S_OK : E_FAIL;
}

// The thread releases its own connection; waiting for it here keeps it from outliving this object.
void NetConnection::StopStatusThread() {
    if (status_thread_ == nullptr) return;
    SetEvent(stop_event_);
    WaitForSingleObject(status_thread_, INFINITE);
    CloseHandle(status_thread_);
    status_thread_ = nullptr;
}

HRESULT NetConnection::MapUrl(const std::u16string& address) {
    address_ = address;
    return ConnMgrMapURL(address_.c_str(), &destination_, nullptr);
}

void NetConnection::QueryProxy(HANDLE connection) {
    proxy_found_ = false;
    PROXY_CONFIG config{};
    HRESULT result = ConnMgrProviderMessage(connection, &IID_ConnPrv_IProxyExtension, nullptr, 0, 0,
                                            reinterpret_cast<BYTE*>(&config), sizeof config);
    if (FAILED(result) || config.dwType != CONNMGR_FLAG_PROXY_HTTP) return;
    std::memset(config.szUsername, 0, sizeof config.szUsername);
    std::memset(config.szPassword, 0, sizeof config.szPassword);
    std::lock_guard lock(proxy_mutex_);
    proxy_config_ = config;
    proxy_found_ = true;
}

HRESULT NetConnection::OnStatusChange(DWORD status) {
    if (IsDisconnectedGroup(status)) {
        bool disconnected = status == CONNMGR_STATUS_DISCONNECTED;
        release_cache_ = disconnected ? 1 : 0;
        return disconnected ? OnDisconnected() : OnFailed();
    }
    if (status == CONNMGR_STATUS_CONNECTED) return OnConnected();
    if (IsWaitingGroup(status)) return OnWaiting();
    return 0;
}

HRESULT NetConnection::OnConnected() {
    connected_ = true;
    QueryProxy(connection_);
    return 0;
}

HRESULT NetConnection::OnDisconnected() {
    connected_ = false;
    return E_FAIL;
}

DWORD WINAPI NetConnection::StatusThreadProc(LPVOID parameter) {
    return static_cast<NetConnection*>(parameter)->StatusThread();
}

DWORD NetConnection::StatusThread() {
    CONNMGR_CONNECTIONINFO info = ConnectionInfo(destination_, proxy_flag_);
    HANDLE connection = nullptr;
    if (FAILED(ConnMgrEstablishConnection(&info, &connection))) {
        OnFailed();
        release_cache_ = 0;
        last_status_ = CONNMGR_STATUS_CONNECTIONFAILED;
    } else {
        connection_ = connection;
        OnEstablishing();
        HANDLE waits[2] = {connection, stop_event_};
        for (;;) {
            if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) break;
            DWORD status = 0;
            HRESULT read = ConnMgrConnectionStatus(connection, &status);
            last_status_ = SUCCEEDED(read) ? status : static_cast<DWORD>(read);
            if (FAILED(read) || OnStatusChange(status) != 0) break;
        }
    }
    OnThreadEnd();
    connection_ = nullptr;
    if (connection != nullptr) ConnMgrReleaseConnection(connection, release_cache_);
    return last_status_;
}

}  // namespace qf
