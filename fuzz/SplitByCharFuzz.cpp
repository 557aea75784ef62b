// The split at a separator byte; the input's first byte is the separator.
#include <vector>

#include "FuzzInput.h"
#include "UUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::vector<std::string> pieces;
    SplitByChar(static_cast<char>(data[0]), Bytes(data + 1, size - 1), pieces);
    return 0;
}
