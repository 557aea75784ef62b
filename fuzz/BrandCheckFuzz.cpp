// What quillspot-brand check reports about a profile's plain text.
#include "BrandCheck.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckBrandText(Bytes(data, size));
    return 0;
}
