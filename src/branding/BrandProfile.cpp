#include "BrandProfile.h"

#include <memory>
#include <random>
#include <tuple>
#include <vector>

#include "ReplaceAll.h"
#include "ShownText.h"
#include "TagText.h"
#include "UUtils.h"

namespace {

class TagReader {
  public:
    explicit TagReader(std::string text) : text_(std::move(text)) {}
    std::string Read(const std::string& name) {
        return TakeTagValue(OpeningMarker(name), ClosingMarker(name), text_);
    }
    // Entries 1 to 16 up to the first empty one.
    std::vector<std::string> ReadList(const std::string& name) {
        std::vector<std::string> entries;
        for (int n = 1; n <= kMaxBrandEntries; ++n) {
            std::string entry = Read(name + std::to_string(n));
            if (entry.empty()) break;
            entries.push_back(std::move(entry));
        }
        return entries;
    }

  private:
    std::string text_;
};

// The first two pieces of an entry split at "^"; a missing piece is empty.
std::pair<std::string, std::string> Pieces(const std::string& entry) {
    std::vector<std::string> pieces;
    SplitByChar('^', entry, pieces);
    pieces.resize(std::max<std::size_t>(pieces.size(), 2));
    return {pieces[0], pieces[1]};
}

}  // namespace

RandomIndex MakeRandomIndex(unsigned seed) {
    auto engine = std::make_shared<std::mt19937>(seed);
    return [engine](std::size_t count) {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(*engine);
    };
}

RandomIndex MakeRandomIndex() { return MakeRandomIndex(std::random_device{}()); }

BrandProfile ReadBrandProfile(const std::string& text, const RandomIndex& random) {
    TagReader tags(text);
    BrandProfile p;
    for (const BrandField& field : kBrandFields) p.*field.field = tags.Read(field.tag);
    if (p.MakeMoneyCaption.empty()) p.MakeMoneyCaption = BrandProfile{}.MakeMoneyCaption;
    p.AffiliateURL = ReplaceAll(p.AffiliateURL, "%%AFFILIATEID%%", p.AffiliateID);
    std::vector<std::string> lists[kBrandListCount];
    for (int list = 0; list < kBrandListCount; ++list)
        lists[list] = tags.ReadList(kBrandLists[list]);
    const std::vector<std::string>& welcomes = lists[kWelcomeList];
    const std::vector<std::string>& banners = lists[kBannerList];
    std::vector<std::string>& links = lists[kLinkList];

    if (!welcomes.empty()) p.WelcomePage = welcomes[random(welcomes.size())];
    if (!banners.empty()) {
        const std::size_t chosen = random(banners.size());
        std::tie(p.BannerFile, p.BannerURL) = Pieces(banners[chosen]);
        p.BannerNumber = static_cast<int>(chosen) + 1;
    }
    if (!links.empty()) {
        const std::size_t first = random(links.size());
        std::tie(p.Link1Caption, p.Link1URL) = Pieces(links[first]);
        links.erase(links.begin() + static_cast<std::ptrdiff_t>(first));
    }
    if (!links.empty()) std::tie(p.Link2Caption, p.Link2URL) = Pieces(links[random(links.size())]);
    return p;
}

std::string BrandCaption(const BrandProfile& profile) {
    return ShownCaption(profile.ApplicationName) + " v" + kAppVersion;
}

namespace {

constexpr NewsTier kNewsTiers[] = {
    {"Master", "BM", &BrandProfile::MasterNewsBaseURL, &BrandProfile::MasterPublID},
    {"Platinum", "BP", &BrandProfile::PlatinumNewsBaseURL, &BrandProfile::PlatinumPublID},
    {"Gold", "BG", &BrandProfile::GoldNewsBaseURL, &BrandProfile::GoldPublID},
};

const NewsTier* TierNamed(const std::string& name) {
    for (const NewsTier& tier : kNewsTiers)
        if (name == tier.name) return &tier;
    return nullptr;
}

}  // namespace

bool NewsButtonShown(const BrandProfile& p) {
    // A free brand shows the maker's own news, which the Master values name.
    const NewsTier* tier = TierNamed(p.BranderType == "Free" ? "Master" : p.BranderType);
    return tier && !(p.*tier->publisherId).empty() && !(p.*tier->baseUrl).empty();
}

const NewsTier* ActiveNewsTier(const BrandProfile& p) {
    const NewsTier* tier = TierNamed(p.BranderType);
    return tier && !(p.*tier->publisherId).empty() ? tier : nullptr;
}

std::string NewsBaseUrl(const BrandProfile& p, const std::string& productType) {
    for (const NewsTier& tier : kNewsTiers)
        if (productType == tier.productType) return p.*tier.baseUrl;
    return {};
}
