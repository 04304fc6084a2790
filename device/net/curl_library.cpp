#include "net/curl_library.h"

#include <dlfcn.h>

#include <mutex>

namespace qf::device::net {
namespace {

CurlLibrary library;
const CurlLibrary* loaded = nullptr;

template <typename Function>
bool Bind(void* handle, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(handle, name));
    return function != nullptr;
}

const CurlLibrary* Load() {
    void* handle = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return nullptr;
    bool bound = Bind(handle, "curl_global_init", library.global_init) &&
                 Bind(handle, "curl_easy_init", library.easy_init) &&
                 Bind(handle, "curl_easy_setopt", library.easy_setopt) &&
                 Bind(handle, "curl_easy_getinfo", library.easy_getinfo) &&
                 Bind(handle, "curl_easy_reset", library.easy_reset) &&
                 Bind(handle, "curl_easy_pause", library.easy_pause) &&
                 Bind(handle, "curl_easy_cleanup", library.easy_cleanup) &&
                 Bind(handle, "curl_multi_init", library.multi_init) &&
                 Bind(handle, "curl_multi_add_handle", library.multi_add_handle) &&
                 Bind(handle, "curl_multi_remove_handle", library.multi_remove_handle) &&
                 Bind(handle, "curl_multi_perform", library.multi_perform) &&
                 Bind(handle, "curl_multi_poll", library.multi_poll) &&
                 Bind(handle, "curl_multi_info_read", library.multi_info_read) &&
                 Bind(handle, "curl_multi_cleanup", library.multi_cleanup) &&
                 Bind(handle, "curl_slist_append", library.slist_append) &&
                 Bind(handle, "curl_slist_free_all", library.slist_free_all) &&
                 Bind(handle, "curl_url", library.url) && Bind(handle, "curl_url_set", library.url_set) &&
                 Bind(handle, "curl_url_get", library.url_get) &&
                 Bind(handle, "curl_url_cleanup", library.url_cleanup) &&
                 Bind(handle, "curl_free", library.free);
    // The library stays loaded for the process: handles of it may live until exit.
    if (!bound || library.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) return nullptr;
    return &library;
}

}  // namespace

const CurlLibrary* LoadCurl() {
    static std::once_flag once;
    std::call_once(once, [] { loaded = Load(); });
    return loaded;
}

const CurlLibrary& Curl() { return library; }

}  // namespace qf::device::net
