#include <gtest/gtest.h>

#include "BrandCheck.h"

namespace {

std::string Tag(const std::string& name, const std::string& value) {
    return "<%%" + name + "%%>" + value + "<%%/" + name + "%%>\r\n";
}

std::vector<std::string> Names(const BrandReport& report) {
    std::vector<std::string> names;
    for (const BrandTag& tag : report.found) names.push_back(tag.name);
    return names;
}

bool Warns(const BrandReport& report, const std::string& text) {
    for (const std::string& w : report.warnings) {
        if (w == text) return true;
    }
    return false;
}

TEST(BrandCheck, ListsTagsInReadingOrderWithTheirValues) {
    const BrandReport report = CheckBrandText(
        "any other line\r\n" + Tag("ApplicationName", "Ad Manager") + Tag("brandertype", "Gold") +
        Tag("AboutText", "two\r\nlines") + Tag("Welcome1", "<html></html>") +
        Tag("Banner1", "banner1.dat^http://a/") + Tag("Link1", "Home^http://b/"));
    EXPECT_EQ(Names(report),
              (std::vector<std::string>{"ApplicationName", "BranderType", "AboutText", "Welcome1",
                                        "Banner1", "Link1"}));
    EXPECT_EQ(report.found[1].value, "Gold");
    EXPECT_EQ(report.found[2].value, "two\r\nlines");
    EXPECT_TRUE(report.warnings.empty());
}

TEST(BrandCheck, TagBeforeOneReadEarlierIsReportedMissing) {
    const BrandReport report =
        CheckBrandText(Tag("AppHelpURL", "http://help/") + Tag("ApplicationName", "App") +
                       Tag("Link1", "a^b") + Tag("Banner1", "f^u"));
    EXPECT_EQ(Names(report), (std::vector<std::string>{"ApplicationName", "Banner1"}));
    EXPECT_TRUE(Warns(report,
                      "AppHelpURL stands before a tag that is read earlier and will not "
                      "be found"));
    EXPECT_TRUE(Warns(report,
                      "Link1 stands before a tag that is read earlier and will not be "
                      "found"));
}

TEST(BrandCheck, OpeningWithoutClosingIsReported) {
    const BrandReport report =
        CheckBrandText("<%%BranderCode%%>QS1\r\n" + Tag("AffiliateID", "42"));
    EXPECT_EQ(Names(report), (std::vector<std::string>{"AffiliateID"}));
    EXPECT_EQ(report.warnings,
              (std::vector<std::string>{"BranderCode has no closing marker after it and reads as "
                                        "empty"}));
}

TEST(BrandCheck, EmptySingleTagIsNoWarningButEmptyEntryEndsItsList) {
    const BrandReport report = CheckBrandText(Tag("CopyrightYears", "") + Tag("Welcome1", "") +
                                              Tag("Welcome2", "<html/>"));
    EXPECT_TRUE(report.found.empty());
    EXPECT_EQ(report.warnings,
              (std::vector<std::string>{"Welcome1 is empty and ends its list",
                                        "Welcome2 is not read: the list stops at Welcome1"}));
}

TEST(BrandCheck, GapEndsTheListAndLaterEntriesAreReported) {
    const BrandReport report =
        CheckBrandText(Tag("Banner1", "a^b") + Tag("Banner2", "c^d") + Tag("Banner4", "e^f"));
    EXPECT_EQ(Names(report), (std::vector<std::string>{"Banner1", "Banner2"}));
    EXPECT_EQ(report.warnings,
              (std::vector<std::string>{"Banner4 is not read: the list stops at Banner3"}));
}

TEST(BrandCheck, SeventeenthEntryIsNeverRead) {
    std::string text;
    for (int n = 1; n <= 17; ++n) text += Tag("Link" + std::to_string(n), "c^u");
    const BrandReport report = CheckBrandText(text);
    EXPECT_EQ(report.found.size(), 16u);
    EXPECT_EQ(report.found.back().name, "Link16");
    EXPECT_EQ(report.warnings,
              (std::vector<std::string>{"Link17 is not read: a list has at most 16 entries"}));
}

TEST(BrandCheck, BannerAndLinkEntriesNeedTheirSeparator) {
    const BrandReport report =
        CheckBrandText(Tag("Welcome1", "no caret needed") + Tag("Banner1", "banner1.dat") +
                       Tag("Link1", "a^b") + Tag("Link2", "caption only"));
    EXPECT_EQ(report.found.size(), 4u);
    EXPECT_EQ(report.warnings,
              (std::vector<std::string>{"Banner1 has no \"^\" between its two pieces",
                                        "Link2 has no \"^\" between its two pieces"}));
}

TEST(BrandCheck, ANulByteEndsWhatTheProgramReadsAndIsReported) {
    const std::string appName = Tag("ApplicationName", "App");
    const std::string code = Tag("BranderCode", "QS1");
    const struct {
        std::string bytes;
        std::vector<std::string> names;
        std::string warning;
    } cases[] = {
        {std::string(1, '\0') + appName + code,
         {},
         "the program stops reading at the NUL byte at offset 0 (line 1): nothing after it is "
         "read"},
        {appName + "x" + std::string(1, '\0') + code,
         {"ApplicationName"},
         "the program stops reading at the NUL byte at offset " +
             std::to_string(appName.size() + 1) + " (line 2): nothing after it is read"},
    };
    for (const auto& c : cases) {
        const BrandReport report = CheckBrandText(c.bytes);
        EXPECT_EQ(Names(report), c.names);
        EXPECT_EQ(report.warnings, std::vector<std::string>{c.warning});
    }
}

}  // namespace
