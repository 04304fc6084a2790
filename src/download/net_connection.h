// NetConnection: brings the network up before a download run and watches it while the run lasts.
// Through Connection Manager it borrows a connection that is already up, or (with
// Settings/UseAutoConnect) asks for one and waits up to 10 s; a status thread then watches the connection
// it asked for, so that the run stops when the network goes down. With Settings/UseCM 0 the network is
// taken as up and the registry's proxy stands.
#pragma once

#include <win/connmgr.h>
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>

namespace qf {

class SettingsStore;

// The proxy a run's fetches use.
struct ProxySettings {
    bool use_proxy = false;
    std::u16string address;
    std::u16string port;
    // "address:port", as Fetch takes it.
    std::u16string HostAndPort() const { return address + u":" + port; }
};

// The address that Connection Manager maps to the Internet network; it is never fetched.
inline constexpr char16_t kMappingAddress[] = u"http://www.example.com/";

class NetConnection {
  public:
    NetConnection();
    // Stops the status thread (which releases its connection).
    virtual ~NetConnection();
    NetConnection(const NetConnection&) = delete;
    NetConnection& operator=(const NetConnection&) = delete;

    // Reads the proxy and Connection Manager settings from `settings` into `proxy` and brings the
    // network up: true when it is up, with `proxy` holding the proxy to use. Called by the run's start.
    bool Connect(const SettingsStore& settings, ProxySettings& proxy);
    // Gives up a connection of its own (not a borrowed one) and clears connected.
    void Release();
    // Whether the network is up. Any thread.
    bool IsConnected() const { return connected_; }
    // Whether the last Connect found a connection already up.
    bool borrowed() const { return borrowed_; }

  protected:
    // Status events of the status thread; each answers 0 to keep waiting.
    virtual HRESULT OnStatusChange(DWORD status);
    virtual HRESULT OnEstablishing() { return 0; }
    virtual HRESULT OnFailed() { return E_FAIL; }
    virtual HRESULT OnConnected();
    virtual HRESULT OnDisconnected();
    virtual HRESULT OnWaiting() { return 0; }
    virtual void OnThreadEnd() { connected_ = false; }

  private:
    HRESULT ProbeConnection(const std::u16string& address, bool proxy_flag);
    HRESULT ConnectAsync(const std::u16string& address, bool proxy_flag);
    HRESULT StartStatusThread(const std::u16string& address, bool proxy_flag);
    void StopStatusThread();
    HRESULT MapUrl(const std::u16string& address);
    void QueryProxy(HANDLE connection);
    static DWORD WINAPI StatusThreadProc(LPVOID parameter);
    DWORD StatusThread();

    std::u16string address_;
    bool proxy_flag_ = false;
    std::atomic<HANDLE> connection_{nullptr};  // the status thread's connection
    std::atomic<LONG> release_cache_{0};
    GUID destination_{};
    std::atomic<DWORD> last_status_{0};
    HANDLE stop_event_ = nullptr;
    HANDLE status_thread_ = nullptr;
    std::atomic<bool> proxy_found_{false};
    std::atomic<bool> connected_{false};
    mutable std::mutex proxy_mutex_;  // guards proxy_config_ (written by the status thread)
    PROXY_CONFIG proxy_config_{};
    bool use_connection_manager_ = true;
    bool borrowed_ = false;
};

}  // namespace qf
