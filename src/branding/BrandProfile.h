#pragma once

#include <cstddef>
#include <functional>
#include <string>

// The program's version, shown in the title and the about box and sent to the update check.
inline constexpr const char* kAppVersion = "2.01";
// The reseller's brand profile beside the executable.
inline constexpr const char* kBrandProfileFile = "dbsettings.dat";

// The brand as the reseller's profile gives it; every field a byte string, empty when not
// given. Filled once at start-up and only read afterwards.
struct BrandProfile {
    std::string ApplicationName, BranderCode, BranderType, AffiliateURL, AffiliateTYPE, AffiliateID,
        MasterNewsBaseURL, PlatinumNewsBaseURL, GoldNewsBaseURL, MasterPublID, PlatinumPublID,
        GoldPublID, AppHelpURL, CopyrightYears, CopyrightCompany, AboutText;
    // The random choices: one welcome page, one banner (with its entry's number, 1 to 16;
    // 0 without a banner) and two different links.
    std::string WelcomePage, BannerFile, BannerURL;
    int BannerNumber = 0;
    std::string Link1Caption, Link1URL, Link2Caption, Link2URL;
    // The Make Money button's caption: the profile's, or "Make Money".
    std::string MakeMoneyCaption = "Make Money";
};

// A single tag of the profile and the field it fills.
struct BrandField {
    const char* tag;
    std::string BrandProfile::*field;
};

// The single tags in the order they are read. Each read starts after the tag read before it,
// so a tag written before one that is read earlier is never found.
inline constexpr BrandField kBrandFields[] = {
    {"ApplicationName", &BrandProfile::ApplicationName},
    {"BranderCode", &BrandProfile::BranderCode},
    {"BranderType", &BrandProfile::BranderType},
    {"AffiliateURL", &BrandProfile::AffiliateURL},
    {"AffiliateTYPE", &BrandProfile::AffiliateTYPE},
    {"AffiliateID", &BrandProfile::AffiliateID},
    {"MasterNewsBaseURL", &BrandProfile::MasterNewsBaseURL},
    {"PlatinumNewsBaseURL", &BrandProfile::PlatinumNewsBaseURL},
    {"GoldNewsBaseURL", &BrandProfile::GoldNewsBaseURL},
    {"MasterPublID", &BrandProfile::MasterPublID},
    {"PlatinumPublID", &BrandProfile::PlatinumPublID},
    {"GoldPublID", &BrandProfile::GoldPublID},
    {"MakeMoneyButton", &BrandProfile::MakeMoneyCaption},
    {"AppHelpURL", &BrandProfile::AppHelpURL},
    {"CopyrightYears", &BrandProfile::CopyrightYears},
    {"CopyrightCompany", &BrandProfile::CopyrightCompany},
    {"AboutText", &BrandProfile::AboutText},
};

// The numbered lists, read in this order after the single tags: the tags "Welcome1",
// "Welcome2" ... up to the first empty one, at most kMaxBrandEntries of each.
enum BrandList { kWelcomeList, kBannerList, kLinkList, kBrandListCount };
inline constexpr const char* kBrandLists[kBrandListCount] = {"Welcome", "Banner", "Link"};
inline constexpr int kMaxBrandEntries = 16;

// A uniformly random index below `count` (count > 0).
using RandomIndex = std::function<std::size_t(std::size_t count)>;
// Indexes from std::mt19937 seeded with `seed`, or from the system's entropy without one.
RandomIndex MakeRandomIndex();
RandomIndex MakeRandomIndex(unsigned seed);

// Reads the tags from the profile's text (its lines joined with CR LF), in the fixed order,
// each read starting after the tag read before it; then makes the random choices. A Banner or
// Link entry without "^" takes its missing piece as empty.
BrandProfile ReadBrandProfile(const std::string& text, const RandomIndex& random);

// The window title: the application name, " v" and the version.
std::string BrandCaption(const BrandProfile& profile);
// Whether the News button shows: the tier and its publisher id and news URL both given.
bool NewsButtonShown(const BrandProfile& profile);

// A reseller's tier as the news server knows it: its product type code and where the
// profile keeps its news address and publisher id.
struct NewsTier {
    const char* name;
    const char* productType;
    std::string BrandProfile::*baseUrl;
    std::string BrandProfile::*publisherId;
};

// The tier named by the profile's BranderType (exactly, letter case included) when its
// publisher id is given; null otherwise, and then no news request is made.
const NewsTier* ActiveNewsTier(const BrandProfile& profile);
// The news address of the tier with this product type code; empty for an unknown code.
std::string NewsBaseUrl(const BrandProfile& profile, const std::string& productType);
