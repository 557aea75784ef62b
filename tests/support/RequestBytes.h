#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "ScriptedHttpServer.h"

// The header lines of a recorded request, sorted, so that a test pins every header byte for
// byte without depending on the order the client writes them in.
inline std::vector<std::string> SortedHeaders(const ScriptedHttpServer::Request& request) {
    std::vector<std::string> headers = request.headers;
    std::sort(headers.begin(), headers.end());
    return headers;
}

inline std::vector<std::string> Sorted(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

inline std::string HostHeader(const ScriptedHttpServer& server) {
    return "Host: 127.0.0.1:" + std::to_string(server.Port());
}

inline const char* const kUserAgentHeader =
    "User-Agent: Mozilla/4.0 (compatible; MSIE 5.5; Windows NT 4.0)";
inline const char* const kAcceptHeader = "Accept: text/html, */*";
