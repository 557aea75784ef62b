// The brand profile's plain text: the tag rule and the whole load with its random choices.
#include "BrandProfile.h"
#include "FuzzInput.h"
#include "TagText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text = JoinLinesCrLf(Bytes(data, size));
    ReadBrandProfile(text, MakeRandomIndex(size));
    BrandCaption(ReadBrandProfile(text, MakeRandomIndex(0)));
    TakeTagValue(OpeningMarker("LastNewsId"), ClosingMarker("LastNewsId"), text);
    return 0;
}
