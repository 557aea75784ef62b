// The fetched record that the ad editor cuts into its fields.
#include "AdEditing.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ReadFetchedAd(Bytes(data, size));
    return 0;
}
