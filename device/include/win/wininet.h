// WinINet: HTTP(S) downloads on the device's network (qfdevice/network.h). An internet handle carries
// the user agent, the proxy choice and the time-outs, and keeps its connections alive between its
// requests; a request handle streams its response body: InternetReadFile hands over bytes as they
// arrive. Redirects are followed. Errors are reported through SetLastError (ERROR_INTERNET_*).
// Handles may be used from any thread, one call at a time per handle; closing an internet handle
// closes its open requests.
#pragma once

#include "win/base.h"

using HINTERNET = void*;
using INTERNET_PORT = WORD;

#define INTERNET_OPEN_TYPE_PRECONFIG 0
#define INTERNET_OPEN_TYPE_DIRECT 1
#define INTERNET_OPEN_TYPE_PROXY 3

#define INTERNET_OPTION_CONNECT_TIMEOUT 2
#define INTERNET_OPTION_CONNECT_RETRIES 3
#define INTERNET_OPTION_SEND_TIMEOUT 5
#define INTERNET_OPTION_RECEIVE_TIMEOUT 6
#define INTERNET_OPTION_DATA_SEND_TIMEOUT 7
#define INTERNET_OPTION_DATA_RECEIVE_TIMEOUT 8
#define INTERNET_OPTION_URL 34

#define INTERNET_FLAG_RELOAD 0x80000000u
#define INTERNET_FLAG_NO_CACHE_WRITE 0x04000000u
#define INTERNET_FLAG_SECURE 0x00800000u
#define INTERNET_FLAG_KEEP_CONNECTION 0x00400000u
#define INTERNET_FLAG_NO_AUTO_REDIRECT 0x00200000u
#define INTERNET_FLAG_IGNORE_CERT_CN_INVALID 0x00001000u
#define INTERNET_FLAG_IGNORE_CERT_DATE_INVALID 0x00002000u

#define HTTP_QUERY_STATUS_CODE 19
#define HTTP_QUERY_RAW_HEADERS_CRLF 22
#define HTTP_QUERY_HOST 55
#define HTTP_QUERY_FLAG_NUMBER 0x20000000u
#define HTTP_QUERY_FLAG_REQUEST_HEADERS 0x80000000u

#define ERROR_INTERNET_OUT_OF_HANDLES 12001L
#define ERROR_INTERNET_TIMEOUT 12002L
#define ERROR_INTERNET_INTERNAL_ERROR 12004L
#define ERROR_INTERNET_INVALID_URL 12005L
#define ERROR_INTERNET_UNRECOGNIZED_SCHEME 12006L
#define ERROR_INTERNET_NAME_NOT_RESOLVED 12007L
#define ERROR_INTERNET_INVALID_OPTION 12009L
#define ERROR_INTERNET_OPERATION_CANCELLED 12017L
#define ERROR_INTERNET_INCORRECT_HANDLE_TYPE 12018L
#define ERROR_INTERNET_CANNOT_CONNECT 12029L
#define ERROR_INTERNET_CONNECTION_ABORTED 12030L
#define ERROR_INTERNET_CONNECTION_RESET 12031L
#define ERROR_INTERNET_SEC_CERT_DATE_INVALID 12037L
#define ERROR_INTERNET_SEC_CERT_CN_INVALID 12038L
#define ERROR_INTERNET_SECURITY_CHANNEL_ERROR 12157L
#define ERROR_INTERNET_DISCONNECTED 12163L
#define ERROR_HTTP_HEADER_NOT_FOUND 12150L
#define ERROR_HTTP_REDIRECT_FAILED 12156L
#define ERROR_HTTP_INVALID_SERVER_RESPONSE 12152L

// Any thread. An internet handle: `proxy` ("host:port") is used with INTERNET_OPEN_TYPE_PROXY;
// INTERNET_OPEN_TYPE_PRECONFIG takes the device's configured proxy, if any; DIRECT uses none. Null
// (ERROR_INVALID_PARAMETER) for an unknown access type or a proxy type without proxy.
QF_EXTERN_C HINTERNET WINAPI InternetOpenW(LPCWSTR agent, DWORD access_type, LPCWSTR proxy,
                                           LPCWSTR proxy_bypass, DWORD flags);
// Any thread. On an internet handle: the CONNECT_TIMEOUT, CONNECT_RETRIES, (DATA_)RECEIVE_TIMEOUT and
// (DATA_)SEND_TIMEOUT options (a DWORD each; milliseconds, retries a count); others fail with
// ERROR_INTERNET_INVALID_OPTION.
QF_EXTERN_C BOOL WINAPI InternetSetOptionW(HINTERNET internet, DWORD option, LPVOID buffer, DWORD length);
// Any thread. INTERNET_OPTION_URL of a request handle: the address finally fetched, after redirects, as
// a zero-terminated wide string; *length is in bytes (ERROR_INSUFFICIENT_BUFFER and the size needed
// when it is too small).
QF_EXTERN_C BOOL WINAPI InternetQueryOptionW(HINTERNET handle, DWORD option, LPVOID buffer, LPDWORD length);
// Any thread. Opens an http or https address (scheme in any letter case) and returns once the final
// response's headers are in (redirects followed); the body is left for InternetReadFile. Null on
// failure: ERROR_INTERNET_DISCONNECTED while the device's network is down, CANNOT_CONNECT,
// NAME_NOT_RESOLVED, TIMEOUT, UNRECOGNIZED_SCHEME, SECURITY_CHANNEL_ERROR, ... `headers` are sent as
// well (may be null).
QF_EXTERN_C HINTERNET WINAPI InternetOpenUrlW(HINTERNET internet, LPCWSTR url, LPCWSTR headers,
                                              DWORD headers_length, DWORD flags, DWORD_PTR context);
// Any thread. HTTP_QUERY_STATUS_CODE (with HTTP_QUERY_FLAG_NUMBER: a DWORD, else text),
// HTTP_QUERY_RAW_HEADERS_CRLF (the response's header block as text) and HTTP_QUERY_HOST |
// HTTP_QUERY_FLAG_REQUEST_HEADERS (the Host header of the last request: host, and ":port" unless it is
// the scheme's default). Text answers are zero-terminated wide strings and *length is in bytes: with a
// null or short buffer, FALSE, ERROR_INSUFFICIENT_BUFFER and the size needed.
QF_EXTERN_C BOOL WINAPI HttpQueryInfoW(HINTERNET request, DWORD info_level, LPVOID buffer, LPDWORD length,
                                       LPDWORD index);
// Any thread. Up to `to_read` bytes of the body, as soon as any have arrived; *read 0 at the end.
// FALSE with ERROR_INTERNET_TIMEOUT when nothing arrives within the receive time-out, CONNECTION_RESET
// / CONNECTION_ABORTED when the body breaks off, DISCONNECTED when the device's network went down.
QF_EXTERN_C BOOL WINAPI InternetReadFile(HINTERNET request, LPVOID buffer, DWORD to_read, LPDWORD read);
// Any thread. Closes a request or an internet handle (and the internet handle's requests).
QF_EXTERN_C BOOL WINAPI InternetCloseHandle(HINTERNET handle);
