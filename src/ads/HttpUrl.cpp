#include "HttpUrl.h"

#include <curl/curl.h>

#include <memory>

namespace {

struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

struct PartDeleter {
    void operator()(char* part) const { curl_free(part); }
};

using Part = std::unique_ptr<char, PartDeleter>;

Part GetPart(CURLU* url, CURLUPart which) {
    char* part = nullptr;
    if (curl_url_get(url, which, &part, 0) != CURLUE_OK) return nullptr;
    return Part(part);
}

}  // namespace

bool IsPlainHttpUrl(const std::string& url) {
    if (url.find('\0') != std::string::npos) return false;
    std::unique_ptr<CURLU, UrlDeleter> parsed(curl_url());
    if (!parsed) return false;
    // No flag that would guess a scheme: a URL without one is refused here.
    if (curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) return false;
    const Part scheme = GetPart(parsed.get(), CURLUPART_SCHEME);
    const Part host = GetPart(parsed.get(), CURLUPART_HOST);
    return scheme && host && curl_strequal(scheme.get(), "http") != 0 && host.get()[0] != '\0';
}
