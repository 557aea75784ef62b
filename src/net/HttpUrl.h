#pragma once

#include <string>

// The client speaks plain HTTP only. True when `url` is an absolute http:// URL with a host;
// anything else (https, another scheme, no scheme, no host, a NUL byte) must never be handed
// to the transfer library, which would otherwise guess a scheme or try another protocol.
bool IsPlainHttpUrl(const std::string& url);
