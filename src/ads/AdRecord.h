#pragma once

#include <string>

// One picture ad as exchanged with the actions script; every field is a byte string.
struct AdRecord {
    std::string ad_id;  // given by the server; empty when adding
    std::string ad_title;
    std::string ad_subtitle;
    std::string ad_url;
    std::string ad_text;
    std::string ad_picture;
    std::string ad_impressions;  // "0" when adding
    std::string ad_clicks;       // "0" when adding
    std::string ad_enable;       // "1" active, "0" not
};
