#pragma once

#include <string>

// The client speaks HTTP and HTTPS only. True when `url` is an absolute http:// or https:// URL
// with a host; anything else (another scheme, no scheme, no host, a NUL byte) must never be
// handed to the transfer library, which would otherwise guess a scheme or try another protocol.
bool IsWebUrl(const std::string& url);

// True when `url` starts with the https scheme, in any letter case.
bool IsHttpsUrl(const std::string& url);
