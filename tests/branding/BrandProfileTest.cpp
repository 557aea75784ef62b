#include <gtest/gtest.h>

#include <set>

#include "BrandProfile.h"
#include "ProtectFile.h"
#include "TagText.h"
#include "TestDir.h"

namespace {

std::string Tag(const std::string& name, const std::string& value) {
    return "<%%" + name + "%%>" + value + "<%%/" + name + "%%>\n";
}

// The profile as the program reads it: protected with its own pass phrase, then loaded.
BrandProfile Loaded(const std::string& plain, unsigned seed = 1) {
    TestDir dir;
    dir.Write("plain.txt", plain);
    ProtectFile(dir.Path("plain.txt"), dir.Path(kBrandProfileFile));
    return ReadBrandProfile(JoinLinesCrLf(DecryptProtectedFile(dir.Path(kBrandProfileFile)).bytes),
                            MakeRandomIndex(seed));
}

TEST(BrandProfile, ReadsTagsInOrderWhateverTheMarkersCase) {
    const BrandProfile p =
        Loaded("<%%applicationname%%>Ad Pro<%%/APPLICATIONNAME%%>\n" + Tag("BranderType", "Gold ") +
               Tag("AffiliateURL",
                   "http://a/?id=%%AFFILIATEID%%&again=%%AFFILIATEID%%&x=%%affiliateid%%") +
               Tag("AffiliateID", "77") + "<%%AppHelpURL%%>no closing marker\n" +
               Tag("CopyrightYears", "2001") + Tag("AboutText", "one\ntwo\nthree") +
               Tag("ApplicationName", "read too late"));
    EXPECT_EQ(p.ApplicationName, "Ad Pro");
    EXPECT_EQ(BrandCaption(p), "Ad Pro v2.01");
    EXPECT_EQ(p.AffiliateURL, "http://a/?id=77&again=77&x=%%affiliateid%%");
    EXPECT_EQ(p.AppHelpURL, "");
    EXPECT_EQ(p.CopyrightYears, "2001");
    EXPECT_EQ(p.AboutText, "one\r\ntwo\r\nthree");
    EXPECT_EQ(p.MakeMoneyCaption, "Make Money");
    EXPECT_FALSE(NewsButtonShown(p)) << "\"Gold \" is no tier";
}

TEST(BrandProfile, NewsButtonFollowsTheTierAndItsValues) {
    const struct {
        const char* type;
        const char* master;
        const char* platinum;
        const char* gold;
        bool shown;
    } cases[] = {
        {"Master", "m", "", "", true},   {"master", "m", "", "", false},
        {"Free", "m", "", "", true},     {"Free", "", "p", "g", false},
        {"Platinum", "", "p", "", true}, {"Platinum", "m", "", "g", false},
        {"Gold", "", "", "g", true},     {"", "m", "p", "g", false},
    };
    for (const auto& c : cases) {
        BrandProfile p;
        p.BranderType = c.type;
        p.MasterPublID = p.MasterNewsBaseURL = c.master;
        p.PlatinumPublID = p.PlatinumNewsBaseURL = c.platinum;
        p.GoldPublID = p.GoldNewsBaseURL = c.gold;
        EXPECT_EQ(NewsButtonShown(p), c.shown) << c.type << c.master << c.platinum << c.gold;
    }
}

TEST(BrandProfile, ListsEndAtTheirFirstGapAndAtSixteen) {
    std::string banners;
    for (int n = 1; n <= 17; ++n)
        banners += Tag("Banner" + std::to_string(n), "b" + std::to_string(n) + ".dat^http://u/");
    std::set<int> chosen;
    for (unsigned seed = 0; seed < 200; ++seed) chosen.insert(Loaded(banners, seed).BannerNumber);
    EXPECT_EQ(*chosen.begin(), 1);
    EXPECT_EQ(*chosen.rbegin(), 16) << "the seventeenth is never read";

    const BrandProfile gap =
        Loaded(Tag("Welcome2", "<html>two</html>") + Tag("Link1", "Only^http://o/"));
    EXPECT_EQ(gap.WelcomePage, "") << "entry 2 without entry 1 is no list";
    EXPECT_EQ(gap.Link1Caption, "Only");
    EXPECT_EQ(gap.Link2Caption, "");

    const BrandProfile noCaret = Loaded(Tag("Banner1", "banner1.gif") + Tag("Link1", "a^b^c"));
    EXPECT_EQ(noCaret.BannerFile, "banner1.gif");
    EXPECT_EQ(noCaret.BannerURL, "");
    EXPECT_EQ(noCaret.Link1URL, "b");
}

TEST(BrandProfile, SeededChoicesRepeatAndTheTwoLinksDiffer) {
    const std::string plain = Tag("Welcome1", "w1") + Tag("Welcome2", "w2") + Tag("Link1", "A^a") +
                              Tag("Link2", "B^b") + Tag("Link3", "C^c");
    std::set<std::string> welcomes;
    for (unsigned seed = 0; seed < 50; ++seed) {
        const BrandProfile p = Loaded(plain, seed);
        const BrandProfile again = Loaded(plain, seed);
        EXPECT_EQ(p.WelcomePage, again.WelcomePage);
        EXPECT_EQ(p.Link1Caption + p.Link2Caption, again.Link1Caption + again.Link2Caption);
        EXPECT_NE(p.Link1Caption, p.Link2Caption);
        EXPECT_FALSE(p.Link2Caption.empty());
        welcomes.insert(p.WelcomePage);
    }
    EXPECT_EQ(welcomes, (std::set<std::string>{"w1", "w2"}));
}

TEST(BrandProfile, AnotherPassPhraseGivesAnEmptyTextAndABadCodeStillReads) {
    TestDir dir;
    dir.Write("other.dat", std::string(40, 'x'));  // no container of ours
    EXPECT_EQ(DecryptProtectedFile(dir.Path("other.dat")).bytes, "");
    dir.Write("plain.txt", Tag("ApplicationName", "Kept"));
    ProtectFile(dir.Path("plain.txt"), dir.Path("p.dat"));
    std::string bytes = dir.Read("p.dat");
    bytes.back() ^= 1;  // the authentication code no longer matches
    dir.Write("p.dat", bytes);
    EXPECT_EQ(DecryptProtectedFile(dir.Path("p.dat")).bytes, Tag("ApplicationName", "Kept"));
    EXPECT_THROW(DecryptProtectedFile(dir.Path("missing.dat")), std::runtime_error);
}

TEST(BrandProfile, LargeNestedAndNulProfilesReadWhatTheyCan) {
    const std::string big = Tag("ApplicationName", "Big") + std::string(10 << 20, 'x') +
                            Tag("AboutText", "after ten megabytes");
    EXPECT_EQ(Loaded(big).AboutText, "after ten megabytes");
    const BrandProfile nested =
        Loaded("<%%ApplicationName%%>a<%%ApplicationName%%>b<%%/ApplicationName%%>\n" +
               Tag("ApplicationName", "again") + Tag("BranderCode", "QS"));
    EXPECT_EQ(nested.ApplicationName, "a<%%ApplicationName%%>b");
    EXPECT_EQ(nested.BranderCode, "QS");
    EXPECT_EQ(
        Loaded(Tag("ApplicationName", "Kept") + std::string(1, '\0') + Tag("BranderCode", "lost"))
            .BranderCode,
        "");
}

}  // namespace
