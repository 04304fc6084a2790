// libcurl, loaded when the first internet handle is opened rather than with the runtime: its libraries
// take longer to load than the whole runtime, and most programs on the device never fetch anything.
// Internal to device/net.
#pragma once

#define CURL_DISABLE_TYPECHECK
#include <curl/curl.h>

namespace qf::device::net {

struct CurlLibrary {
    decltype(&curl_global_init) global_init;
    decltype(&curl_easy_init) easy_init;
    decltype(&curl_easy_setopt) easy_setopt;
    decltype(&curl_easy_getinfo) easy_getinfo;
    decltype(&curl_easy_reset) easy_reset;
    decltype(&curl_easy_pause) easy_pause;
    decltype(&curl_easy_cleanup) easy_cleanup;
    decltype(&curl_multi_init) multi_init;
    decltype(&curl_multi_add_handle) multi_add_handle;
    decltype(&curl_multi_remove_handle) multi_remove_handle;
    decltype(&curl_multi_perform) multi_perform;
    decltype(&curl_multi_poll) multi_poll;
    decltype(&curl_multi_info_read) multi_info_read;
    decltype(&curl_multi_cleanup) multi_cleanup;
    decltype(&curl_slist_append) slist_append;
    decltype(&curl_slist_free_all) slist_free_all;
    decltype(&curl_url) url;
    decltype(&curl_url_set) url_set;
    decltype(&curl_url_get) url_get;
    decltype(&curl_url_cleanup) url_cleanup;
    decltype(&curl_free) free;
};

// Any thread. Loads and initialises libcurl once; null when it cannot be loaded.
const CurlLibrary* LoadCurl();
// The library LoadCurl loaded; only after LoadCurl answered it.
const CurlLibrary& Curl();

}  // namespace qf::device::net
