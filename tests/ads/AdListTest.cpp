#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLocale>
#include <QTreeWidget>

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

std::vector<std::string> RowTexts(const QTreeWidgetItem& row) {
    std::vector<std::string> texts;
    for (int column = 0; column < kAdListColumns; ++column)
        texts.push_back(FromQ(row.text(column)));
    return texts;
}

class AdListTest : public ::testing::Test {
  protected:
    void SetUp() override { SetUpAdListView(list); }
    void TearDown() override { QLocale::setDefault(savedLocale); }

    const QTreeWidgetItem& Row(int index) { return *list.topLevelItem(index); }
    std::string Rate(const std::string& impressions, const std::string& clicks) {
        EXPECT_TRUE(FillAdList(list, Ad("1", impressions, clicks) + "^OK"));
        return FromQ(Row(0).text(kColumnRate));
    }

    QLocale savedLocale;
    QTreeWidget list;
};

TEST_F(AdListTest, ViewHasTheSevenColumnsAndSingleRowSelection) {
    const std::vector<std::pair<QString, int>> columns = {
        {"Ad Title", 150}, {"Subtitle", 150},   {"URL", 150},  {"Content", 150},
        {"Picture", 100},  {"Rate Clicks", 80}, {"Status", 90}};
    ASSERT_EQ(list.columnCount(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(list.headerItem()->text(i), columns[static_cast<size_t>(i)].first);
        EXPECT_EQ(list.columnWidth(i), columns[static_cast<size_t>(i)].second);
    }
    EXPECT_FALSE(list.rootIsDecorated());
    EXPECT_FALSE(list.isSortingEnabled());
    EXPECT_EQ(list.selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(list.selectionBehavior(), QAbstractItemView::SelectRows);
}

TEST_F(AdListTest, TwoRecordsGiveTwoUncheckedRowsInReplyOrder) {
    ASSERT_TRUE(FillAdList(list, Ad("31", "200", "5") + "^" + Ad("7", "0", "0", "0") + "^OK"));
    ASSERT_EQ(list.topLevelItemCount(), 2);
    EXPECT_EQ(RowTexts(Row(0)), (std::vector<std::string>{"Title 31", "Sub", "http://u/", "Text",
                                                          "p.gif", "2.50%", "Active"}));
    EXPECT_EQ(RowTexts(Row(1)), (std::vector<std::string>{"Title 7", "Sub", "http://u/", "Text",
                                                          "p.gif", "0", "No Active"}));
    EXPECT_EQ(HiddenId(Row(0)), "31");
    EXPECT_EQ(HiddenId(Row(1)), "7");
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(HasHiddenId(Row(i)));
        EXPECT_EQ(Row(i).data(kColumnTitle, Qt::CheckStateRole), Qt::Unchecked);
    }
    EXPECT_TRUE(list.selectedItems().isEmpty());
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
    ASSERT_EQ(list.topLevelItemCount(), 4);
    const std::vector<std::pair<std::string, QString>> expected = {
        {"12", "Active"}, {"13", "Active"}, {"14", "No Active"}, {"15", "No Active"}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(HiddenId(Row(i)), expected[static_cast<size_t>(i)].first);
        EXPECT_EQ(Row(i).text(kColumnStatus), expected[static_cast<size_t>(i)].second);
    }
}

TEST_F(AdListTest, OkAloneEmptiesTheList) {
    ASSERT_TRUE(FillAdList(list, Ad("1", "1", "1") + "^OK"));
    ASSERT_EQ(list.topLevelItemCount(), 1);
    EXPECT_TRUE(FillAdList(list, "OK"));
    EXPECT_EQ(list.topLevelItemCount(), 0);
}

TEST_F(AdListTest, CommaInATitleShiftsTheColumnsButKeepsTheId) {
    ASSERT_TRUE(FillAdList(
        list,
        Record({"9", "Big, cheap", "Sub", "http://u/", "Text", "p.gif", "200", "5", "1"}) + "^OK"));
    EXPECT_EQ(RowTexts(Row(0)), (std::vector<std::string>{"Big", " cheap", "Sub", "http://u/",
                                                          "Text", "0", "No Active"}));
    EXPECT_EQ(HiddenId(Row(0)), "9");
}

TEST_F(AdListTest, LineBreakInATextLeavesAnIncompleteRowWithoutId) {
    const std::string broken =
        Record({"2", "T", "S", "http://u/", "first\r\nsecond", "p.gif", "4", "1", "1"});
    EXPECT_FALSE(
        FillAdList(list, Ad("1", "4", "1") + "^" + broken + "^" + Ad("3", "4", "1") + "^OK"));
    ASSERT_EQ(list.topLevelItemCount(), 2);  // the third record is never read
    EXPECT_EQ(HiddenId(Row(0)), "1");
    EXPECT_EQ(RowTexts(Row(1)),
              (std::vector<std::string>{"T", "S", "http://u/", "first", "", "", ""}));
    EXPECT_FALSE(HasHiddenId(Row(1)));
}

TEST_F(AdListTest, RecordsOfZeroToTwentyPieces) {
    for (size_t count = 0; count <= 20; ++count) {
        std::string line;
        for (size_t i = 0; i < count; ++i) line += (i ? "," : "") + std::to_string(i + 1);
        const bool complete = count >= 9;
        EXPECT_EQ(FillAdList(list, line + "^" + Ad("99", "1", "1") + "^OK"), complete) << count;
        ASSERT_EQ(list.topLevelItemCount(), complete ? 2 : 1) << count;
        const QTreeWidgetItem& row = Row(0);
        EXPECT_EQ(HasHiddenId(row), complete) << count;
        // Pieces 1 to 5 fill the first five columns as far as they exist.
        for (size_t column = 0; column < 5; ++column)
            EXPECT_EQ(FromQ(row.text(static_cast<int>(column))),
                      column + 1 < count ? std::to_string(column + 2) : "")
                << count;
        // Impressions are piece 6 ("7"), clicks piece 7 ("8").
        const char* rate = count < 6 ? "" : count == 6 ? "0" : count == 7 ? "0.00%" : "114.29%";
        EXPECT_EQ(FromQ(row.text(kColumnRate)), rate) << count;
    }
}

TEST_F(AdListTest, LinesEndAtAnyBreakAndEmptyLinesAreTooShort) {
    const std::string a = "1,A,B,C,D,E,1,1,1";
    EXPECT_TRUE(FillAdList(list, a + "\r" + a + "\n" + a + "\r\n" + a + "\n"));
    EXPECT_EQ(list.topLevelItemCount(), 4);
    EXPECT_FALSE(FillAdList(list, a + "\n\n" + a));
    EXPECT_EQ(list.topLevelItemCount(), 2);
    EXPECT_FALSE(HasHiddenId(Row(1)));
    // A trailing break after "OK" makes "OK" a record of its own, which is too short.
    EXPECT_FALSE(FillAdList(list, "OK\r\n"));
}

TEST_F(AdListTest, BinaryAndNulBytes) {
    std::string binary;
    for (int c = 1; c < 256; ++c)
        if (c != ',' && c != '\r' && c != '\n' && c != '^') binary += static_cast<char>(c);
    ASSERT_TRUE(FillAdList(list, Record({"5", binary, "S", "U", "T", "P", "1", "1", "1"}) + "^OK"));
    EXPECT_EQ(HiddenId(Row(0)), "5");
    EXPECT_FALSE(Row(0).text(kColumnTitle).isEmpty());

    // A zero byte ends the text: here inside the title of the second record.
    const std::string withNul = Ad("1", "1", "1") + "^" + Record({"2", "A"}) +
                                std::string(1, '\0') +
                                "B\",\"S\",\"U\",\"T\",\"P\",\"1\",\"1\",\"1\"^OK";
    EXPECT_FALSE(FillAdList(list, withNul));
    ASSERT_EQ(list.topLevelItemCount(), 2);
    EXPECT_EQ(Row(1).text(kColumnTitle), "A\"");
    EXPECT_FALSE(HasHiddenId(Row(1)));
}

TEST_F(AdListTest, TenMegabytesOfCommasMakeOneRowWithoutId) {
    EXPECT_TRUE(FillAdList(list, std::string(10 << 20, ',') + "^OK"));
    ASSERT_EQ(list.topLevelItemCount(), 1);
    EXPECT_EQ(RowTexts(Row(0)), (std::vector<std::string>{"", "", "", "", "", "0", "No Active"}));
    // Its id is empty: such a row is not acted on.
    EXPECT_FALSE(HasHiddenId(Row(0)));
}

TEST_F(AdListTest, HighlightedAdIdNeedsAHighlightedRowWithAnId) {
    ASSERT_FALSE(FillAdList(list, Ad("8", "1", "1") + "^short^OK"));
    std::string id = "untouched";
    EXPECT_FALSE(HighlightedAdId(list, id));
    list.setCurrentItem(list.topLevelItem(1));
    EXPECT_FALSE(HighlightedAdId(list, id));
    EXPECT_EQ(id, "untouched");
    list.setCurrentItem(list.topLevelItem(0));
    EXPECT_TRUE(HighlightedAdId(list, id));
    EXPECT_EQ(id, "8");
}

}  // namespace
