#include "Requests.h"

#include <atomic>
#include <string_view>
#include <thread>
#include <vector>

namespace {

size_t Append(char* data, size_t size, size_t count, void* reply) {
    static_cast<std::string*>(reply)->append(data, size * count);
    return size * count;
}

std::optional<std::string> Perform(CURL* easy, const std::string& url) {
    std::string reply;
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    curl_easy_setopt(easy, CURLOPT_TIMEOUT, 60L);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, Append);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &reply);
    long status = 0;
    if (curl_easy_perform(easy) != CURLE_OK ||
        curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK || status != 200)
        return std::nullopt;
    return reply;
}

bool IsId(std::string_view text) {
    return !text.empty() && text.size() < 19 &&
           text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

std::optional<std::string> Get(CURL* easy, const std::string& url) {
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    return Perform(easy, url);
}

std::optional<std::string> Post(CURL* easy, const std::string& url, const MultipartForm& form,
                                const std::string& signature) {
    curl_slist* headers = curl_slist_append(nullptr, ("Content-Type: " + form.contentType).c_str());
    if (!signature.empty())
        headers = curl_slist_append(headers, ("X-Quillspot-Signature: " + signature).c_str());
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(form.body.size()));
    curl_easy_setopt(easy, CURLOPT_POSTFIELDS, form.body.data());
    std::optional<std::string> reply = Perform(easy, url);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, nullptr);
    curl_slist_free_all(headers);
    return reply;
}

int VisitAds(const std::string& scriptUrl, int clients, int requests) {
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int client = 0; client < clients; ++client) {
        threads.emplace_back([&] {
            Easy easy(curl_easy_init());
            std::string last = "0";
            for (int i = 0; i < requests; ++i) {
                const std::optional<std::string> id =
                    Get(easy.get(), scriptUrl + "?lastadid=" + last);
                if (id && IsId(*id))
                    last = *id;
                else
                    ++failures;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    return failures;
}
