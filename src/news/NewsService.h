#pragma once

#include <string>
#include <vector>

#include "BrandProfile.h"

class HttpClient;
class Messages;

// The target every news request names: the program's own, "UA".
inline constexpr const char* kNewsTarget = "UA";

// The client side of the reseller's news server: its two scripts under the news address of
// the tier, each asked with one multipart post through the program's HTTP client. Every
// reply is raw bytes; a reply succeeds when it contains "OK", and the list closes with the
// marker 0xAF "OK". Keeps no state between calls.
class NewsService {
  public:
    NewsService(HttpClient& client, Messages& messages, const BrandProfile& profile);

    // Appends each news record of the reply ("id^title^date") to `list`, in reply order.
    bool FetchNewsList(const std::string& publisherId, const std::string& productCode,
                       const std::string& productType, const std::string& target,
                       std::vector<std::string>& list);
    // The id and title of the newest item; `lastCode` stays empty when there is none. Never
    // shows a message.
    bool FetchLastCode(const std::string& publisherId, const std::string& productCode,
                       const std::string& productType, const std::string& target,
                       std::string& lastCode, std::string& lastTitle);
    // The content of one item, its "$" escapes decoded.
    bool FetchNewsDetails(const std::string& publisherId, const std::string& productCode,
                          const std::string& productType, const std::string& target,
                          const std::string& newsId, std::string& content);

  private:
    enum class Asker { List, LastCode, Details };

    // Who asks: the fields every request starts and ends with.
    struct Caller {
        const std::string &publisherId, &productCode, &productType, &target;
    };
    // Posts the caller's fields around `question` to the script under the news address of
    // the caller's tier; the reply trimmed of the control bytes and blanks around it, or
    // empty on any failure.
    std::string Ask(const char* script, const Caller& caller,
                    std::pair<std::string, std::string> question);
    // The warning that a failed reply calls for, if any.
    void Warn(const std::string& reply, Asker asker);

    HttpClient& client_;
    Messages& messages_;
    const BrandProfile& profile_;
};
