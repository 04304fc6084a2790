// Connection Manager (cellcore): maps an address to a destination network, establishes and watches
// connections, and answers the proxy configuration. Its network is the device's (qfdevice/network.h):
// on a fresh device the Internet is up; the device can be told to be offline, to connect only after a
// delay, or to drop its connection after a number of HTTP requests.
#pragma once

#include "win/base.h"
#include "win/guid.h"
#include "win/hresult.h"

#define CONNMGR_PARAM_GUIDDESTNET 0x1
#define CONNMGR_PARAM_MAXCOST 0x2
#define CONNMGR_PARAM_MINRCVBW 0x4
#define CONNMGR_PARAM_MAXCONNLATENCY 0x8
#define CONNMGR_FLAG_PROXY_HTTP 0x1
#define CONNMGR_PRIORITY_USERINTERACTIVE 0x08000

#define CONNMGR_STATUS_UNKNOWN 0x00
#define CONNMGR_STATUS_CONNECTED 0x10
#define CONNMGR_STATUS_DISCONNECTED 0x20
#define CONNMGR_STATUS_CONNECTIONFAILED 0x21
#define CONNMGR_STATUS_CONNECTIONCANCELED 0x22
#define CONNMGR_STATUS_WAITINGCONNECTION 0x40
#define CONNMGR_STATUS_WAITINGFORPATH 0x41

struct CONNMGR_CONNECTIONINFO {
    DWORD cbSize;
    DWORD dwParams;
    DWORD dwFlags;
    DWORD dwPriority;
    BOOL bExclusive;
    BOOL bDisabled;
    GUID guidDestNet;
    HWND hWnd;
    UINT uMsg;
    LPARAM lParam;
    ULONG ulMaxCost;
    ULONG ulMinRcvBw;
    ULONG ulMaxConnLatency;
};

#define CMPROXY_PROXYSERVER_MAXSIZE 256
#define CMPROXY_USERNAME_MAXSIZE 32
#define CMPROXY_PASSWORD_MAXSIZE 32
#define CMPROXY_PROXYOVERRIDE_MAXSIZE 64
#define CMPROXY_EXTRAINFO_MAXSIZE 256

// 1288 bytes: the answer of the proxy provider.
struct PROXY_CONFIG {
    DWORD dwType;  // CONNMGR_FLAG_PROXY_HTTP for an HTTP proxy
    BOOL dwEnable;
    WCHAR szProxyServer[CMPROXY_PROXYSERVER_MAXSIZE];  // "host:port"
    WCHAR szUsername[CMPROXY_USERNAME_MAXSIZE];
    WCHAR szPassword[CMPROXY_PASSWORD_MAXSIZE];
    WCHAR szProxyOverride[CMPROXY_PROXYOVERRIDE_MAXSIZE];
    WCHAR szExtraInfo[CMPROXY_EXTRAINFO_MAXSIZE];
};

// The provider that answers PROXY_CONFIG requests.
extern "C" const GUID IID_ConnPrv_IProxyExtension;

// Any thread. An event that is signalled once Connection Manager is ready (at once here). Owned by the
// runtime: do not close it.
QF_EXTERN_C HANDLE WINAPI ConnMgrApiReadyEvent();
// Any thread. The destination network of `url`: every http(s) address maps to the Internet network.
// E_INVALIDARG for a null or empty address or a null `destination`; `index` may be null.
QF_EXTERN_C HRESULT WINAPI ConnMgrMapURL(LPCWSTR url, GUID* destination, DWORD* index);
// Any thread. Asks for a connection to info->guidDestNet and answers its handle at once; the connection
// comes up (or fails) asynchronously. The handle is signalled at every change of its status; it stays
// valid until ConnMgrReleaseConnection. E_INVALIDARG for a bad info or destination.
QF_EXTERN_C HRESULT WINAPI ConnMgrEstablishConnection(const CONNMGR_CONNECTIONINFO* info, HANDLE* connection);
// Any thread. The connection's current CONNMGR_STATUS_*; E_INVALIDARG for an unknown handle.
QF_EXTERN_C HRESULT WINAPI ConnMgrConnectionStatus(HANDLE connection, DWORD* status);
// Any thread. Gives the connection up and frees its handle (`cache` is the caller's hint only).
QF_EXTERN_C HRESULT WINAPI ConnMgrReleaseConnection(HANDLE connection, LONG cache);
// Any thread. Only the proxy provider's request is known: `params` must be a PROXY_CONFIG of
// `params_size` bytes, filled with the device's HTTP proxy; E_FAIL when the device has none.
QF_EXTERN_C HRESULT WINAPI ConnMgrProviderMessage(HANDLE connection, const GUID* provider, DWORD* index,
                                                  DWORD message1, DWORD message2, BYTE* params,
                                                  ULONG params_size);
