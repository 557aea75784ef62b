#pragma once

#include <curl/curl.h>

#include <memory>
#include <optional>
#include <string>

#include "FormPost.h"

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
using Easy = std::unique_ptr<CURL, EasyDeleter>;

// The reply's body when the server answers 200, else nullopt. PHP's web server closes every
// connection after its reply, so each request opens one, as a visitor's browser would here.
std::optional<std::string> Get(CURL* easy, const std::string& url);
// `signature`, when given, goes in the header X-Quillspot-Signature.
std::optional<std::string> Post(CURL* easy, const std::string& url, const MultipartForm& form,
                                const std::string& signature = "");

// `clients` visitors at once, each on a thread and handle of its own, each asking `requests`
// times for the next ad with the id it was given last, as the owner's pages do; how many
// requests failed or were answered with something other than an id.
int VisitAds(const std::string& scriptUrl, int clients, int requests);
