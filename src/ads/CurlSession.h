#pragma once

#include <curl/curl.h>

#include <atomic>
#include <cstddef>
#include <optional>
#include <string>

// One request as the client hands it to the transfer thread.
struct TransferRequest {
    std::string url;
    bool post = false;
    std::string body;          // posts only
    std::string contentType;   // the Content-Type header sent with the request
    int readTimeoutMs = 0;     // longest wait for any data; 0 waits without limit
    size_t maxReplyBytes = 0;  // a longer reply fails
};

// The libcurl handles of the program's one HTTP client. The easy handle lives as long as the
// session, so its cookie engine keeps the cookies of the whole run in memory. Every transfer
// runs on the one thread that calls Run; Wake may be called from any thread.
class CurlSession {
  public:
    CurlSession();
    ~CurlSession();
    CurlSession(const CurlSession&) = delete;
    CurlSession& operator=(const CurlSession&) = delete;

    // The reply body of a transfer that ended with a status from 200 to 299 after
    // redirects; nullopt for every failure, and as soon as `abort` is seen set.
    std::optional<std::string> Run(const TransferRequest& request, const std::atomic<bool>& abort);

    // Makes a waiting Run look at its abort flag at once.
    void Wake();

  private:
    CURL* easy_;
    CURLM* multi_;
};
