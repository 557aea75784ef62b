#include "BareList.h"

#include <curl/curl.h>

#include <cstdio>

namespace {

size_t Append(char* data, size_t size, size_t count, void* reply) {
    static_cast<std::string*>(reply)->append(data, size * count);
    return size * count;
}

}  // namespace

size_t ReceiveBareList(const std::string& url, const std::string& contentType,
                       const std::string& body) {
    std::string reply;
    CURL* easy = curl_easy_init();
    curl_slist* headers = curl_slist_append(nullptr, ("Content-Type: " + contentType).c_str());
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(easy, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, Append);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &reply);
    if (curl_easy_perform(easy) != CURLE_OK) std::fprintf(stderr, "bare list request failed\n");
    curl_slist_free_all(headers);
    curl_easy_cleanup(easy);

    // Each row's fields are cut into one vector, used again for every row: the floor holds
    // nothing beyond the received bytes.
    std::vector<std::string_view> fields;
    size_t rows = 0;
    const std::string_view all(reply);
    for (size_t row = 0; row < all.size(); ++rows) {
        size_t end = all.find('^', row);
        if (end == std::string_view::npos) end = all.size();
        const std::string_view line = all.substr(row, end - row);
        fields.clear();
        for (size_t field = 0;;) {
            const size_t cut = line.find("\",\"", field);
            fields.push_back(line.substr(field, cut == std::string_view::npos ? cut : cut - field));
            if (cut == std::string_view::npos) break;
            field = cut + 3;
        }
        row = end + 1;
    }
    return rows;
}
