#pragma once

#include <string>

// Writes into `dir` the largest brand a reseller may ship: 16 welcome pages of 20 kB, 16
// banners of which each is a 100 kB animated GIF, and 16 links, in a protected profile.
void WriteFullProfile(const std::string& dir);
