#pragma once

#include <QByteArray>
#include <QDateTime>
#include <string>
#include <utility>
#include <vector>

#include "FormPost.h"

struct SiteSettings;

// The owner key of the tests' settings scripts, as hex.
inline constexpr const char* kOwnerKey =
    "8f0c2a4e6b1d3f5a7c9e0b2d4f6a8c1e3b5d7f9a0c2e4b6d8f1a3c5e7b9d0f2a";

// A request as sent, to read the server's refusals, which the owner's client only sees as
// failures: a GET when `body` is empty, else a post of `body` as `contentType`.
struct RawRequest {
    std::string url;
    std::string contentType;
    std::string body;
    std::vector<std::pair<QByteArray, QByteArray>> headers;
};

struct Answer {
    int status = 0;
    std::string body;
    QByteArray date;
    bool poweredBy = false;
};

Answer Send(const RawRequest& request);

// `fields` as the owner's client posts them, signed with `keyHex` at `time` (seconds since
// 1970) with a fresh nonce.
RawRequest Signed(const std::string& url, const FormFields& fields,
                  const std::string& keyHex = kOwnerKey,
                  qint64 time = QDateTime::currentSecsSinceEpoch());

// The settings script as the owner's client writes it, with `database`'s values but the
// database host `hostname`; `key` empty leaves the owner key out; `after` follows the closing
// tag.
std::string SettingsScript(const SiteSettings& database, const std::string& hostname,
                           const std::string& key = kOwnerKey, const std::string& after = "");
