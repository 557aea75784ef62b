#include "FormPost.h"

#include "HttpClient.h"
#include "Text.h"

std::string FormBoundary(const QDateTime& now) {
    return "--------" + FromQ(now.toString(QStringLiteral("MMddyyHHmmsszzz")));
}

std::string FormContentType(const std::string& boundary) {
    return "multipart/form-data; boundary=" + boundary;
}

std::string FormBody(const std::string& boundary, const FormFields& fields) {
    std::string body;
    for (const auto& [name, value] : fields) {
        body += "--" + boundary + "\r\n";
        body += "Content-Disposition: form-data; name=\"" + name + "\"\r\n\r\n";
        body += value;
        body += "\r\n";
    }
    body += "\r\n--" + boundary + "--\r\n";
    return body;
}

MultipartForm BuildForm(const FormFields& fields, const QDateTime& now) {
    const std::string boundary = FormBoundary(now);
    return {FormContentType(boundary), FormBody(boundary, fields)};
}

std::optional<std::string> FormPost(HttpClient& client, const std::string& url,
                                    const MultipartForm& form) {
    return client.Post(url, form.contentType, form.body);
}
