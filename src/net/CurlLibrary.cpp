#include "CurlLibrary.h"

#include <dlfcn.h>

#include <mutex>
#include <stdexcept>
#include <string>

namespace {

constexpr const char* kSoname = "libcurl.so.4";

template <class Function>
void Resolve(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    if (!function) throw std::runtime_error(std::string("libcurl lacks ") + name);
}

CurlLibrary Load() {
    // Never closed: libcurl stays for the rest of the run once loaded.
    void* library = dlopen(kSoname, RTLD_NOW | RTLD_LOCAL);
    if (!library) throw std::runtime_error(std::string("cannot load ") + kSoname);
    CurlLibrary curl{};
    Resolve(library, "curl_global_init", curl.global_init);
    Resolve(library, "curl_easy_init", curl.easy_init);
    Resolve(library, "curl_easy_cleanup", curl.easy_cleanup);
    Resolve(library, "curl_easy_setopt", curl.easy_setopt);
    Resolve(library, "curl_easy_getinfo", curl.easy_getinfo);
    Resolve(library, "curl_multi_init", curl.multi_init);
    Resolve(library, "curl_multi_cleanup", curl.multi_cleanup);
    Resolve(library, "curl_multi_setopt", curl.multi_setopt);
    Resolve(library, "curl_multi_add_handle", curl.multi_add_handle);
    Resolve(library, "curl_multi_remove_handle", curl.multi_remove_handle);
    Resolve(library, "curl_multi_socket_action", curl.multi_socket_action);
    Resolve(library, "curl_multi_info_read", curl.multi_info_read);
    Resolve(library, "curl_slist_append", curl.slist_append);
    Resolve(library, "curl_slist_free_all", curl.slist_free_all);
    Resolve(library, "curl_url", curl.url);
    Resolve(library, "curl_url_cleanup", curl.url_cleanup);
    Resolve(library, "curl_url_set", curl.url_set);
    Resolve(library, "curl_url_get", curl.url_get);
    Resolve(library, "curl_free", curl.free);
    Resolve(library, "curl_strequal", curl.strequal);
    Resolve(library, "curl_version_info", curl.version_info);
    const curl_version_info_data* version = curl.version_info(CURLVERSION_NOW);
    if (!version || version->version_num < CurlLibrary::kMinimumVersion)
        throw std::runtime_error("libcurl 7.85.0 or later is needed");
    if (curl.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK)
        throw std::runtime_error("libcurl cannot start");
    return curl;
}

}  // namespace

const CurlLibrary& CurlLibrary::Get() {
    static std::mutex mutex;
    static CurlLibrary* loaded = nullptr;
    const std::lock_guard lock(mutex);
    if (!loaded) loaded = new CurlLibrary(Load());
    return *loaded;
}
