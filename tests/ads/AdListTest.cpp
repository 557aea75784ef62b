#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLocale>
#include <QTest>
#include <QTreeView>
#include <algorithm>

#include "AdList.h"
#include "Text.h"

namespace {

// A well-formed reply record: each value in double quotes, joined by commas.
std::string Record(const std::vector<std::string>& values) {
    std::string record;
    for (const std::string& value : values)
        record += (record.empty() ? "\"" : ",\"") + value + "\"";
    return record;
}

std::string Ad(const std::string& id, const std::string& impressions, const std::string& clicks,
               const std::string& enable = "1") {
    return Record(
        {id, "Title " + id, "Sub", "http://u/", "Text", "p.gif", impressions, clicks, enable});
}

class AdListTest : public ::testing::Test {
  protected:
    void SetUp() override { SetUpAdListView(view, list); }
    void TearDown() override { QLocale::setDefault(savedLocale); }

    std::string Text(int row, int column) {
        return FromQ(list.index(row, column).data().toString());
    }
    std::vector<std::string> RowTexts(int row) {
        std::vector<std::string> texts;
        for (int column = 0; column < kAdListColumns; ++column) texts.push_back(Text(row, column));
        return texts;
    }
    std::string Rate(const std::string& impressions, const std::string& clicks) {
        EXPECT_TRUE(FillAdList(list, Ad("1", impressions, clicks) + "^OK"));
        return Text(0, kColumnRate);
    }

    QLocale savedLocale;
    AdListModel list;
    QTreeView view;
};

TEST_F(AdListTest, ViewHasTheSevenColumnsAndSingleRowSelection) {
    const std::vector<std::pair<QString, int>> columns = {
        {"Ad Title", 150}, {"Subtitle", 150},   {"URL", 150},  {"Content", 150},
        {"Picture", 100},  {"Rate Clicks", 80}, {"Status", 90}};
    ASSERT_EQ(list.columnCount(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(list.headerData(i, Qt::Horizontal, Qt::DisplayRole),
                  columns[static_cast<size_t>(i)].first);
        EXPECT_EQ(view.columnWidth(i), columns[static_cast<size_t>(i)].second);
    }
    EXPECT_FALSE(view.rootIsDecorated());
    EXPECT_FALSE(view.isSortingEnabled());
    EXPECT_EQ(view.selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(view.selectionBehavior(), QAbstractItemView::SelectRows);
}

TEST_F(AdListTest, TwoRecordsGiveTwoUncheckedRowsInReplyOrder) {
    ASSERT_TRUE(FillAdList(list, Ad("31", "200", "5") + "^" + Ad("7", "0", "0", "0") + "^OK"));
    ASSERT_EQ(list.rowCount(), 2);
    EXPECT_EQ(RowTexts(0), (std::vector<std::string>{"Title 31", "Sub", "http://u/", "Text",
                                                     "p.gif", "2.50%", "Active"}));
    EXPECT_EQ(RowTexts(1), (std::vector<std::string>{"Title 7", "Sub", "http://u/", "Text", "p.gif",
                                                     "0", "No Active"}));
    EXPECT_EQ(list.HiddenId(0), "31");
    EXPECT_EQ(list.HiddenId(1), "7");
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(list.HasHiddenId(i));
        EXPECT_EQ(list.index(i, kColumnTitle).data(Qt::CheckStateRole), Qt::Unchecked);
    }
    EXPECT_TRUE(view.selectionModel()->selectedRows().isEmpty());
}

TEST_F(AdListTest, RateIsClicksPerHundredImpressionsWithTwoDecimals) {
    EXPECT_EQ(Rate("200", "5"), "2.50%");
    EXPECT_EQ(Rate("3", "1"), "33.33%");
    EXPECT_EQ(Rate("1", "3"), "300.00%");
    EXPECT_EQ(Rate("10", "0"), "0.00%");
    EXPECT_EQ(Rate("8", "1"), "12.50%");
    EXPECT_EQ(Rate("1", "123456"), "12345600.00%");  // no group separators
    EXPECT_EQ(Rate("+4", "1"), "25.00%");
    EXPECT_EQ(Rate("4", "-1"), "-25.00%");
}

TEST_F(AdListTest, RateIsZeroWithoutImpressions) {
    for (const std::string impressions :
         {"0", "", "abc", "-5", "12x", " 3", "2147483648", "+", "+-3", "0x10"})
        EXPECT_EQ(Rate(impressions, "5"), "0") << impressions;
    // Clicks that are no number count as none.
    EXPECT_EQ(Rate("10", "many"), "0.00%");
    EXPECT_EQ(Rate("2147483647", "2147483647"), "100.00%");
}

TEST_F(AdListTest, RateUsesTheUsersDecimalSeparator) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(Rate("200", "5"), "2,50%");
    EXPECT_EQ(Rate("1", "123456"), "12345600,00%");
}

TEST_F(AdListTest, StatusAndIdLoseQuotesAndBlanks) {
    const std::string reply =
        "\" 12 \",A,B,C,D,E,1,1, 1 \"^"  // blanks inside the quotes
        "\"\t13\",A,B,C,D,E,1,1,\"1\"\"^"
        "14,A,B,C,D,E,1,1,11^"
        "15,A,B,C,D,E,1,1,0^OK";
    ASSERT_TRUE(FillAdList(list, reply));
    ASSERT_EQ(list.rowCount(), 4);
    const std::vector<std::pair<std::string, QString>> expected = {
        {"12", "Active"}, {"13", "Active"}, {"14", "No Active"}, {"15", "No Active"}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(list.HiddenId(i), expected[static_cast<size_t>(i)].first);
        EXPECT_EQ(list.index(i, kColumnStatus).data(), expected[static_cast<size_t>(i)].second);
    }
}

TEST_F(AdListTest, OkAloneEmptiesTheList) {
    ASSERT_TRUE(FillAdList(list, Ad("1", "1", "1") + "^OK"));
    ASSERT_EQ(list.rowCount(), 1);
    EXPECT_TRUE(FillAdList(list, "OK"));
    EXPECT_EQ(list.rowCount(), 0);
}

TEST_F(AdListTest, CommaInATitleShiftsTheColumnsButKeepsTheId) {
    ASSERT_TRUE(FillAdList(
        list,
        Record({"9", "Big, cheap", "Sub", "http://u/", "Text", "p.gif", "200", "5", "1"}) + "^OK"));
    EXPECT_EQ(RowTexts(0), (std::vector<std::string>{"Big", " cheap", "Sub", "http://u/", "Text",
                                                     "0", "No Active"}));
    EXPECT_EQ(list.HiddenId(0), "9");
}

TEST_F(AdListTest, LineBreakInATextLeavesAnIncompleteRowWithoutId) {
    const std::string broken =
        Record({"2", "T", "S", "http://u/", "first\r\nsecond", "p.gif", "4", "1", "1"});
    EXPECT_FALSE(
        FillAdList(list, Ad("1", "4", "1") + "^" + broken + "^" + Ad("3", "4", "1") + "^OK"));
    ASSERT_EQ(list.rowCount(), 2);  // the third record is never read
    EXPECT_EQ(list.HiddenId(0), "1");
    EXPECT_EQ(RowTexts(1), (std::vector<std::string>{"T", "S", "http://u/", "first", "", "", ""}));
    EXPECT_FALSE(list.HasHiddenId(1));
}

TEST_F(AdListTest, RecordsOfZeroToTwentyPieces) {
    for (size_t count = 0; count <= 20; ++count) {
        std::string line;
        for (size_t i = 0; i < count; ++i) line += (i ? "," : "") + std::to_string(i + 1);
        const bool complete = count >= 9;
        EXPECT_EQ(FillAdList(list, line + "^" + Ad("99", "1", "1") + "^OK"), complete) << count;
        ASSERT_EQ(list.rowCount(), complete ? 2 : 1) << count;
        EXPECT_EQ(list.HasHiddenId(0), complete) << count;
        // Pieces 1 to 5 fill the first five columns as far as they exist.
        for (size_t column = 0; column < 5; ++column)
            EXPECT_EQ(Text(0, static_cast<int>(column)),
                      column + 1 < count ? std::to_string(column + 2) : "")
                << count;
        // Impressions are piece 6 ("7"), clicks piece 7 ("8").
        const char* rate = count < 6 ? "" : count == 6 ? "0" : count == 7 ? "0.00%" : "114.29%";
        EXPECT_EQ(Text(0, kColumnRate), rate) << count;
    }
}

TEST_F(AdListTest, LinesEndAtAnyBreakAndEmptyLinesAreTooShort) {
    const std::string a = "1,A,B,C,D,E,1,1,1";
    EXPECT_TRUE(FillAdList(list, a + "\r" + a + "\n" + a + "\r\n" + a + "\n"));
    EXPECT_EQ(list.rowCount(), 4);
    EXPECT_FALSE(FillAdList(list, a + "\n\n" + a));
    EXPECT_EQ(list.rowCount(), 2);
    EXPECT_FALSE(list.HasHiddenId(1));
    // A trailing break after "OK" makes "OK" a record of its own, which is too short.
    EXPECT_FALSE(FillAdList(list, "OK\r\n"));
}

TEST_F(AdListTest, BinaryAndNulBytes) {
    std::string binary;
    for (int c = 1; c < 256; ++c)
        if (c != ',' && c != '\r' && c != '\n' && c != '^') binary += static_cast<char>(c);
    ASSERT_TRUE(FillAdList(list, Record({"5", binary, "S", "U", "T", "P", "1", "1", "1"}) + "^OK"));
    EXPECT_EQ(list.HiddenId(0), "5");
    EXPECT_FALSE(Text(0, kColumnTitle).empty());

    // A zero byte ends the text: here inside the title of the second record.
    const std::string withNul = Ad("1", "1", "1") + "^" + Record({"2", "A"}) +
                                std::string(1, '\0') +
                                "B\",\"S\",\"U\",\"T\",\"P\",\"1\",\"1\",\"1\"^OK";
    EXPECT_FALSE(FillAdList(list, withNul));
    ASSERT_EQ(list.rowCount(), 2);
    EXPECT_EQ(Text(1, kColumnTitle), "A\"");
    EXPECT_FALSE(list.HasHiddenId(1));
}

TEST_F(AdListTest, TenMegabytesOfCommasMakeOneRowWithoutId) {
    EXPECT_TRUE(FillAdList(list, std::string(10 << 20, ',') + "^OK"));
    ASSERT_EQ(list.rowCount(), 1);
    EXPECT_EQ(RowTexts(0), (std::vector<std::string>{"", "", "", "", "", "0", "No Active"}));
    // Its id is empty: such a row is not acted on.
    EXPECT_FALSE(list.HasHiddenId(0));
}

TEST_F(AdListTest, AMillionAdsEachGetTheirOwnRow) {
    QLocale::setDefault(QLocale::c());
    constexpr int kAds = 1000000;
    std::string reply;
    reply.reserve(size_t{kAds} * 64);
    for (int ad = 1; ad <= kAds; ++ad)
        reply += Ad(std::to_string(ad), "200", std::to_string(ad % 7), ad % 2 ? "1" : "0") + "^";
    ASSERT_TRUE(FillAdList(list, reply + "OK"));
    ASSERT_EQ(list.rowCount(), kAds);
    const struct {
        int ad;
        const char* rate;
    } cases[] = {{1, "0.50%"}, {2, "1.00%"}, {500000, "2.00%"}, {999999, "0.00%"}, {kAds, "0.50%"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ad);
        const int row = c.ad - 1;
        EXPECT_EQ(list.HiddenId(row), std::to_string(c.ad));
        EXPECT_EQ(Text(row, kColumnTitle), "Title " + std::to_string(c.ad));
        EXPECT_EQ(Text(row, kColumnRate), c.rate);
        EXPECT_EQ(Text(row, kColumnStatus), c.ad % 2 ? "Active" : "No Active");
    }
    list.CheckAll(true);
    const std::string ids = list.CheckedIds();
    EXPECT_EQ(std::count(ids.begin(), ids.end(), ','), kAds - 1);
    EXPECT_TRUE(ids.ends_with(",999999,1000000"));
}

TEST_F(AdListTest, HighlightedAdIdNeedsAHighlightedRowWithAnId) {
    ASSERT_FALSE(FillAdList(list, Ad("8", "1", "1") + "^short^OK"));
    std::string id = "untouched";
    EXPECT_FALSE(HighlightedAdId(view, id));
    view.setCurrentIndex(list.index(1, 0));
    EXPECT_FALSE(HighlightedAdId(view, id));
    EXPECT_EQ(id, "untouched");
    view.setCurrentIndex(list.index(0, 0));
    EXPECT_TRUE(HighlightedAdId(view, id));
    EXPECT_EQ(id, "8");
}

TEST_F(AdListTest, HeaderClicksSortNumbersAsNumbersThenRestoreTheReplyOrder) {
    const auto reply = [](const std::vector<std::vector<std::string>>& ads) {
        std::string text;
        for (const auto& ad : ads)
            text += Record({ad[0], ad[1], "S", "U", "T", "P", ad[2], ad[3], "1"}) + "^";
        return text + "OK";
    };
    // Rates 9.00%, 100.00%, "0" and 10.00%: as text they would sort otherwise.
    const std::vector<std::vector<std::string>> ads = {{"1", "ad10", "100", "9"},
                                                       {"2", "Ad9", "10", "10"},
                                                       {"3", "beta", "0", "0"},
                                                       {"4", "Alpha", "40", "4"}};
    ASSERT_TRUE(FillAdList(list, reply(ads)));
    view.show();
    const auto click = [&](int column) {
        QHeaderView* header = view.header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, 5));
    };
    const auto shownIds = [&] {
        std::string ids;
        for (int row = 0; row < list.rowCount(); ++row) ids += list.HiddenId(row);
        return ids;
    };
    const struct {
        int column;
        const char* ids;
        bool indicator;
    } steps[] = {
        {kColumnRate, "3142", true},
        {kColumnRate, "2413", true},
        {kColumnRate, "1234", false},
        {kColumnTitle, "2143", true},
    };
    for (const auto& step : steps) {
        click(step.column);
        EXPECT_EQ(shownIds(), step.ids) << step.column;
        EXPECT_EQ(view.header()->isSortIndicatorShown(), step.indicator) << step.column;
    }
    // A refresh keeps the owner's choice, and the check marks follow their rows.
    ASSERT_TRUE(FillAdList(list, reply({ads[3], ads[2], ads[1], ads[0]})));
    EXPECT_EQ(shownIds(), "2143");
    list.setData(list.index(0, kColumnTitle), Qt::Checked, Qt::CheckStateRole);
    click(kColumnTitle);
    EXPECT_EQ(shownIds(), "3412");
    EXPECT_TRUE(list.IsChecked(3));
}

}  // namespace
