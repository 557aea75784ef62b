// "$hh" escapes, as news content carries them.
#include "FuzzInput.h"
#include "UUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DecodeHexEscapes(Bytes(data, size));
    return 0;
}
