#include "NewsService.h"

#include <QDateTime>

#include "FormPost.h"
#include "HttpClient.h"
#include "Messages.h"
#include "NewsReplies.h"

namespace {

std::string ScriptUrl(const std::string& base, const char* script) {
    return base + (!base.empty() && base.back() == '/' ? "" : "/") + script;
}

}  // namespace

NewsService::NewsService(HttpClient& client, Messages& messages, const BrandProfile& profile)
    : client_(client), messages_(messages), profile_(profile) {}

std::string NewsService::Ask(const char* script, const Caller& caller,
                             std::pair<std::string, std::string> question) {
    const FormFields fields = {
        {"memusername", caller.publisherId}, {"prodcode", caller.productCode},
        {"prodtype", caller.productType},    std::move(question),
        {"newstarget", caller.target},       {"something", ""}};
    const std::string url = ScriptUrl(NewsBaseUrl(profile_, caller.productType), script);
    const auto reply = FormPost(client_, url, BuildForm(fields, QDateTime::currentDateTime()));
    return reply ? TrimmedReply(*reply) : std::string();
}

void NewsService::Warn(const std::string& reply, Asker asker) {
    // A wait the owner gave up (Escape, Cancel, closing the window) is no trouble of the site.
    if (client_.GivenUp()) return;
    const char* text = nullptr;
    if (reply.empty())
        text = "There is a trouble accessing the news site. Contact your provider.";
    else if (reply == "CONNECTIONFAIL")
        text = "There is a trouble in the settings file on the news site.";
    else if (reply == "INVALIDUSER")
        text = "There is a trouble with the Publisher Id. Contact your provider.";
    else if (reply == "INVALIDPRODUCT")
        text = "There is a trouble with the product validation. Contact your provider.";
    else if (reply == "INVALIDNEWS" && asker == Asker::Details)
        text = "There is a trouble with this news. Contact your provider.";
    if (text) messages_.Warning(client_.Explained(text));
}

bool NewsService::FetchNewsList(const std::string& publisherId, const std::string& productCode,
                                const std::string& productType, const std::string& target,
                                std::vector<std::string>& list) {
    const std::string reply = Ask(
        "getlastnews.php", {publisherId, productCode, productType, target}, {"conttype", "all"});
    if (!IsSuccessReply(reply)) {
        Warn(reply, Asker::List);
        return false;
    }
    ReadNewsList(reply, list);
    return true;
}

bool NewsService::FetchLastCode(const std::string& publisherId, const std::string& productCode,
                                const std::string& productType, const std::string& target,
                                std::string& lastCode, std::string& lastTitle) {
    lastCode.clear();
    const std::string reply =
        Ask("getlastnews.php", {publisherId, productCode, productType, target},
            {"conttype", "lastcode"});
    if (!IsSuccessReply(reply)) return false;
    ReadLastCode(reply, lastCode, lastTitle);
    return true;
}

bool NewsService::FetchNewsDetails(const std::string& publisherId, const std::string& productCode,
                                   const std::string& productType, const std::string& target,
                                   const std::string& newsId, std::string& content) {
    content.clear();
    const std::string reply = Ask(
        "getnewsdetails.php", {publisherId, productCode, productType, target}, {"newsid", newsId});
    if (!IsSuccessReply(reply)) {
        Warn(reply, Asker::Details);
        return false;
    }
    content = ReadNewsDetails(reply);
    return true;
}
