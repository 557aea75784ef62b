#pragma once

#include <QDateTime>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class HttpClient;

// A form's (name, value) fields in the order they are sent. Values are bytes, sent as they are.
using FormFields = std::vector<std::pair<std::string, std::string>>;

// "--------" followed by the time as MMDDYYhhmmsszzz.
std::string FormBoundary(const QDateTime& now);

// "multipart/form-data; boundary=" followed by the boundary.
std::string FormContentType(const std::string& boundary);

// The multipart body: each field as its own part without a Content-Type line, then the
// closing boundary.
std::string FormBody(const std::string& boundary, const FormFields& fields);

// A multipart form as posted: its content type and its body, built with a boundary made
// from `now`.
struct MultipartForm {
    std::string contentType;
    std::string body;
};
MultipartForm BuildForm(const FormFields& fields, const QDateTime& now);

// Posts `form` to `url`; the reply body as received, or nullopt on any failure.
std::optional<std::string> FormPost(HttpClient& client, const std::string& url,
                                    const MultipartForm& form);
