#include "HttpUrl.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "Ascii.h"
#include "CurlLibrary.h"

namespace {

// libcurl's own URL parser, so that the check sees the URL exactly as the transfer will.
class Parsed {
  public:
    explicit Parsed(const CurlLibrary& curl) : curl_(curl), url_(curl.url()) {}
    ~Parsed() { curl_.url_cleanup(url_); }
    Parsed(const Parsed&) = delete;
    Parsed& operator=(const Parsed&) = delete;

    bool Set(const std::string& text) {
        // No flag that would guess a scheme: a URL without one is refused here.
        return url_ && curl_.url_set(url_, CURLUPART_URL, text.c_str(), 0) == CURLUE_OK;
    }
    // The part, or empty when the URL has none.
    std::string Get(CURLUPart which) const {
        char* part = nullptr;
        if (curl_.url_get(url_, which, &part, 0) != CURLUE_OK) return {};
        std::string text = part;
        curl_.free(part);
        return text;
    }

  private:
    const CurlLibrary& curl_;
    CURLU* url_;
};

}  // namespace

bool IsWebUrl(const std::string& url) {
    if (url.find('\0') != std::string::npos) return false;
    // libcurl reads "http:///x" as the host "x" (and "http:///host/x" as "host"): the host
    // must follow the two slashes at once.
    const size_t slashes = url.find("://");
    if (slashes == std::string::npos || url.compare(slashes + 3, 1, "/") == 0) return false;
    try {
        const CurlLibrary& curl = CurlLibrary::Get();
        Parsed parsed(curl);
        if (!parsed.Set(url)) return false;
        const std::string scheme = parsed.Get(CURLUPART_SCHEME);
        return (curl.strequal(scheme.c_str(), "http") != 0 ||
                curl.strequal(scheme.c_str(), "https") != 0) &&
               !parsed.Get(CURLUPART_HOST).empty();
    } catch (const std::runtime_error&) {
        return false;  // without libcurl no URL is usable
    }
}

bool IsHttpsUrl(const std::string& url) {
    constexpr std::string_view kScheme = "https://";
    return url.size() >= kScheme.size() &&
           std::equal(kScheme.begin(), kScheme.end(), url.begin(),
                      [](char want, char got) { return want == AsciiLower(got); });
}
