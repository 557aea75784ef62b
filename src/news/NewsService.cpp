#include "NewsService.h"

#include <QDateTime>

#include "FormPost.h"
#include "HttpClient.h"
#include "Messages.h"
#include "ReplaceAll.h"
#include "UUtils.h"

namespace {

// The list's separator and, followed by "OK", the end marker: matched as a byte, never as a
// character of any encoding.
constexpr char kRecordSeparator = '\xAF';
const std::string kMarker = std::string(1, kRecordSeparator) + "OK";

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 0x20; }

std::string Trimmed(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && IsBlankOrControl(text[begin])) ++begin;
    while (end > begin && IsBlankOrControl(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

std::string ScriptUrl(const std::string& base, const char* script) {
    return base + (!base.empty() && base.back() == '/' ? "" : "/") + script;
}

}  // namespace

NewsService::NewsService(HttpClient& client, Messages& messages, const BrandProfile& profile)
    : client_(client), messages_(messages), profile_(profile) {}

std::string NewsService::Ask(const char* script, const Caller& caller,
                             std::pair<std::string, std::string> question) {
    const FormFields fields = {{"memusername", caller.publisherId},
                               {"prodcode", caller.productCode},
                               {"prodtype", caller.productType},
                               std::move(question),
                               {"newstarget", caller.target},
                               {"something", ""}};
    const std::string url = ScriptUrl(NewsBaseUrl(profile_, caller.productType), script);
    const auto reply = FormPost(client_, url, BuildForm(fields, QDateTime::currentDateTime()));
    return reply ? Trimmed(*reply) : std::string();
}

void NewsService::Warn(const std::string& reply, Asker asker) {
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
    if (text) messages_.Warning(text);
}

bool NewsService::FetchNewsList(const std::string& publisherId, const std::string& productCode,
                                const std::string& productType, const std::string& target,
                                std::vector<std::string>& list) {
    const std::string reply = Ask("getlastnews.php", {publisherId, productCode, productType, target}, {"conttype", "all"});
    if (reply.find("OK") == std::string::npos) {
        Warn(reply, Asker::List);
        return false;
    }
    std::vector<std::string> pieces;
    SplitByChar(kRecordSeparator, reply, pieces);
    for (std::string& piece : pieces)
        if (!piece.empty() && piece != "OK") list.push_back(std::move(piece));
    return true;
}

bool NewsService::FetchLastCode(const std::string& publisherId, const std::string& productCode,
                                const std::string& productType, const std::string& target,
                                std::string& lastCode, std::string& lastTitle) {
    lastCode.clear();
    const std::string reply = Ask("getlastnews.php", {publisherId, productCode, productType, target}, {"conttype", "lastcode"});
    if (reply.find("OK") == std::string::npos) return false;
    const std::string rest = ReplaceAll(reply, kMarker, "");
    std::vector<std::string> pieces;
    SplitByChar('^', rest, pieces);
    // An id without a title (or the bare "OK" of no news) names no item the notice could show.
    if (rest == "OK" || pieces.size() < 2) return true;
    lastCode = pieces[0];
    lastTitle = pieces[1];
    return true;
}

bool NewsService::FetchNewsDetails(const std::string& publisherId, const std::string& productCode,
                                   const std::string& productType, const std::string& target,
                                   const std::string& newsId, std::string& content) {
    content.clear();
    const std::string reply = Ask("getnewsdetails.php", {publisherId, productCode, productType, target}, {"newsid", newsId});
    if (reply.find("OK") == std::string::npos) {
        Warn(reply, Asker::Details);
        return false;
    }
    content = DecodeHexEscapes(ReplaceAll(reply, kMarker, ""));
    return true;
}
