#pragma once

#include <string>

// What the owner is told, on a line of its own after the usual message, when a request failed
// for a reason a network failure would not explain.
inline constexpr const char* kUntrustedCertificate = "The site's certificate is not trusted.";
inline constexpr const char* kCertificateNamesAnotherHost =
    "The site's certificate does not name the host.";
inline constexpr const char* kNoSecureConnection =
    "No secure connection could be made with the site.";
inline constexpr const char* kInsecureRedirect =
    "The site sent the program on to an address that is not secure, which it refuses.";

// Why the latest request failed, as far as the server or the transfer said.
struct HttpFailure {
    long status = 0;     // the status of a reply outside 200 to 299; 0 when none came
    std::string body;    // that reply's body
    std::string date;    // that reply's Date header
    std::string reason;  // one of the lines above, or empty
};
