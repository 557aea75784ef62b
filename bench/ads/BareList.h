#pragma once

#include <string>
#include <string_view>
#include <vector>

// The floor under a Refresh: the least a program can do to hold the ad list of a site, with
// nothing but libcurl. It posts the list request to `url` on a connection of its own, receives
// the reply, and cuts it into rows at "^" and each row into fields at `","`, every field a
// view into the received bytes, holding no more than one row's fields at a time. Returns the
// number of rows (the closing "OK" is one).
size_t ReceiveBareList(const std::string& url, const std::string& contentType,
                       const std::string& body);
