// The news server's three replies: the list, the newest item and one item's content.
#include "FuzzInput.h"
#include "NewsReplies.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string reply = TrimmedReply(Bytes(data, size));
    if (!IsSuccessReply(reply)) return 0;
    std::vector<std::string> list;
    ReadNewsList(reply, list);
    std::string code, title;
    ReadLastCode(reply, code, title);
    ReadNewsDetails(reply);
    return 0;
}
