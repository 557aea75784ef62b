#pragma once

#include <curl/curl.h>

// The libcurl functions the client calls, from libcurl loaded when the first request needs
// it rather than when the program starts: libcurl and the libraries it brings in would cost
// the start-up about a third of its time, and the first window needs none of them.
struct CurlLibrary {
    decltype(&curl_global_init) global_init;
    decltype(&curl_easy_init) easy_init;
    decltype(&curl_easy_cleanup) easy_cleanup;
    decltype(&curl_easy_setopt) easy_setopt;
    decltype(&curl_easy_getinfo) easy_getinfo;
    decltype(&curl_multi_init) multi_init;
    decltype(&curl_multi_cleanup) multi_cleanup;
    decltype(&curl_multi_setopt) multi_setopt;
    decltype(&curl_multi_add_handle) multi_add_handle;
    decltype(&curl_multi_remove_handle) multi_remove_handle;
    decltype(&curl_multi_socket_action) multi_socket_action;
    decltype(&curl_multi_info_read) multi_info_read;
    decltype(&curl_slist_append) slist_append;
    decltype(&curl_slist_free_all) slist_free_all;
    decltype(&curl_url) url;
    decltype(&curl_url_cleanup) url_cleanup;
    decltype(&curl_url_set) url_set;
    decltype(&curl_url_get) url_get;
    decltype(&curl_free) free;
    decltype(&curl_strequal) strequal;
    decltype(&curl_version_info) version_info;

    // The oldest libcurl that takes every option the client sets: the protocol lists came
    // with 7.85.0.
    static constexpr unsigned kMinimumVersion = 0x075500;

    // Loads and initialises libcurl once, for the whole run; throws std::runtime_error when
    // it cannot, or when it is older than kMinimumVersion (and tries again at the next call).
    static const CurlLibrary& Get();
};
