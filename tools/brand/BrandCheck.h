#pragma once

#include <string>
#include <vector>

// What the program will make of a brand profile's text.
struct BrandTag {
    std::string name;
    std::string value;
};

struct BrandReport {
    std::vector<BrandTag> found;        // in the order the program reads them
    std::vector<std::string> warnings;  // tags it will miss, entries it cannot use
};

// Reads the profile's plain bytes tag by tag, in the program's order and by its rule, and
// explains every tag that is written but will not be found.
BrandReport CheckBrandText(const std::string& bytes);
