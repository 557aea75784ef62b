#pragma once

#include <string>
#include <vector>

// The fields of the benchmarks' ad `i`: about 180 bytes a record, as a site's ads run.
inline std::vector<std::string> AdFields(int i) {
    const std::string n = std::to_string(i);
    return {n,
            "Ad title " + n,
            "A subtitle for ad " + n,
            "http://www.example.com/offer/" + n,
            "Some content text of a moderate length for ad " + n,
            "picture" + n + ".jpg",
            std::to_string(1000 + i),
            std::to_string(i % 97),
            i % 2 ? "1" : "0"};
}

// The list reply of `records` ads, as the actions script sends it.
inline std::string AdListReply(int records) {
    std::string reply;
    for (int i = 0; i < records; ++i) {
        std::string record;
        for (const std::string& field : AdFields(i))
            record += (record.empty() ? "\"" : ",\"") + field + "\"";
        reply += record + "^";
    }
    return reply + "OK";
}
