// Connection Manager on the device's network state. Each requested connection is a waitable object with
// a watcher thread: on an up link it connects at once; on a slow link it waits (connected after the
// delay, which brings the device's link up) unless released first; on a down link it fails. Once
// connected it watches for the link going down, told at once by this process's HTTP requests and by
// polling the state for other processes' changes.
#include <win/connmgr.h>
#include <win/strings.h>
#include <win/sync.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "net/network_internal.h"
#include "system/handle_table.h"

extern "C" const GUID IID_ConnPrv_IProxyExtension = {
    0xaf96b0bd, 0xa481, 0x482c, {0xa0, 0x94, 0xa8, 0x44, 0x87, 0x67, 0xa0, 0xc0}};

namespace qf::device {
namespace {

// The Internet destination network that every web address maps to.
constexpr GUID kInternetNetwork = {
    0x436ef144, 0xb4fb, 0x4863, {0xa0, 0x41, 0x8f, 0x90, 0x5a, 0x62, 0xc5, 0x72}};
constexpr auto kLinkPollInterval = std::chrono::milliseconds(100);

class ConnectionObject : public KernelObject {
  public:
    ~ConnectionObject() override { Stop(); }

    // KernelLock held for the two overrides: the handle is signalled once per status change.
    AcquireResult TryAcquire(DWORD) override {
        if (!changed_) return AcquireResult::kBusy;
        changed_ = false;
        return AcquireResult::kAcquired;
    }
    void UndoAcquire(DWORD, AcquireResult) override { changed_ = true; }

    DWORD status() const {
        std::lock_guard lock(KernelLock());
        return status_;
    }

    void Start() {
        listener_ = AddLinkDownListener([this] { Wake(); });
        watcher_ = std::thread([this] { Watch(); });
    }

    // Ends the watcher; the object stays until its handle is gone.
    void Stop() {
        if (!watcher_.joinable()) return;
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        if (watcher_.joinable()) watcher_.join();
        RemoveLinkDownListener(listener_);
    }

  private:
    void SetStatus(DWORD status) {
        {
            std::lock_guard lock(KernelLock());
            if (status_ == status) return;
            status_ = status;
            changed_ = true;
        }
        KernelStateChanged().notify_all();
    }

    void Wake() {
        {
            std::lock_guard lock(mutex_);
            woken_ = true;
        }
        wake_.notify_all();
    }

    // False when stopped meanwhile.
    bool WaitFor(std::chrono::milliseconds delay) {
        std::unique_lock lock(mutex_);
        wake_.wait_for(lock, delay, [this] { return stopping_ || woken_; });
        woken_ = false;
        return !stopping_;
    }

    void Watch() {
        NetworkState state = CurrentNetworkState();
        if (state.link == NetworkState::Link::kDown) {
            SetStatus(CONNMGR_STATUS_CONNECTIONFAILED);
            return;
        }
        if (state.link == NetworkState::Link::kSlow) {
            SetStatus(CONNMGR_STATUS_WAITINGCONNECTION);
            auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(state.connect_delay_ms);
            while (std::chrono::steady_clock::now() < until) {
                auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    until - std::chrono::steady_clock::now());
                if (!WaitFor(std::max(left, std::chrono::milliseconds(1)))) return;
            }
            // The dial-up succeeded: the device is online from now on.
            NetworkState now = CurrentNetworkState();
            now.link = NetworkState::Link::kUp;
            SaveNetworkState(now);
        }
        SetStatus(CONNMGR_STATUS_CONNECTED);
        while (WaitFor(kLinkPollInterval)) {
            if (CurrentNetworkState().link != NetworkState::Link::kUp) {
                SetStatus(CONNMGR_STATUS_DISCONNECTED);
                return;
            }
        }
    }

    DWORD status_ = CONNMGR_STATUS_UNKNOWN;  // guarded by KernelLock
    bool changed_ = false;                   // guarded by KernelLock
    std::mutex mutex_;                       // guards the three flags below
    std::condition_variable wake_;
    bool stopping_ = false;
    bool woken_ = false;
    int listener_ = 0;
    std::thread watcher_;
};

bool IsWebAddress(LPCWSTR url) {
    std::u16string lower;
    for (const WCHAR* c = url; *c != 0 && lower.size() < 8; ++c) {
        lower.push_back(*c >= u'A' && *c <= u'Z' ? static_cast<WCHAR>(*c - u'A' + u'a') : *c);
    }
    return lower.rfind(u"http://", 0) == 0 || lower.rfind(u"https://", 0) == 0;
}

}  // namespace
}  // namespace qf::device

using namespace qf::device;

QF_EXTERN_C HANDLE WINAPI ConnMgrApiReadyEvent() {
    static HANDLE ready = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    return ready;
}

QF_EXTERN_C HRESULT WINAPI ConnMgrMapURL(LPCWSTR url, GUID* destination, DWORD* index) {
    if (url == nullptr || *url == 0 || destination == nullptr) return E_INVALIDARG;
    if (!IsWebAddress(url)) return E_FAIL;
    *destination = kInternetNetwork;
    if (index != nullptr) *index = 0;
    return S_OK;
}

QF_EXTERN_C HRESULT WINAPI ConnMgrEstablishConnection(const CONNMGR_CONNECTIONINFO* info,
                                                      HANDLE* connection) {
    if (info == nullptr || connection == nullptr || info->cbSize < sizeof(CONNMGR_CONNECTIONINFO)) {
        return E_INVALIDARG;
    }
    if ((info->dwParams & CONNMGR_PARAM_GUIDDESTNET) == 0 || !(info->guidDestNet == kInternetNetwork)) {
        return E_INVALIDARG;
    }
    auto object = std::make_shared<ConnectionObject>();
    *connection = AddHandle(object);
    object->Start();
    return S_OK;
}

QF_EXTERN_C HRESULT WINAPI ConnMgrConnectionStatus(HANDLE connection, DWORD* status) {
    auto object = FindHandleOf<ConnectionObject>(connection);
    if (!object || status == nullptr) return E_INVALIDARG;
    *status = object->status();
    return S_OK;
}

QF_EXTERN_C HRESULT WINAPI ConnMgrReleaseConnection(HANDLE connection, LONG) {
    auto object = FindHandleOf<ConnectionObject>(connection);
    if (!object) return E_INVALIDARG;
    object->Stop();
    CloseHandle(connection);
    return S_OK;
}

QF_EXTERN_C HRESULT WINAPI ConnMgrProviderMessage(HANDLE, const GUID* provider, DWORD*, DWORD, DWORD,
                                                  BYTE* params, ULONG params_size) {
    if (provider == nullptr || !(*provider == IID_ConnPrv_IProxyExtension)) return E_NOTIMPL;
    if (params == nullptr || params_size < sizeof(PROXY_CONFIG)) return E_INVALIDARG;
    std::u16string proxy = qf::Utf8ToWide(CurrentNetworkState().proxy);
    if (proxy.empty() || proxy.size() >= CMPROXY_PROXYSERVER_MAXSIZE) return E_FAIL;
    PROXY_CONFIG config{};
    config.dwType = CONNMGR_FLAG_PROXY_HTTP;
    config.dwEnable = TRUE;
    std::memcpy(config.szProxyServer, proxy.data(), proxy.size() * sizeof(WCHAR));
    std::memcpy(params, &config, sizeof config);
    return S_OK;
}
