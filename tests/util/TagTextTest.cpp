#include <gtest/gtest.h>

#include "TagText.h"

namespace {

std::string Take(const std::string& name, std::string& text) {
    return TakeTagValue(OpeningMarker(name), ClosingMarker(name), text);
}

TEST(TagText, MarkersMatchInAnyLetterCaseAndTheValueKeepsItsOwn) {
    std::string text = "x<%%brandertype%%>GoLd<%%/BRANDERTYPE%%>rest";
    EXPECT_EQ(Take("BranderType", text), "GoLd");
    EXPECT_EQ(text, "<%%/BRANDERTYPE%%>rest");
}

TEST(TagText, OnlyLettersAToZFold) {
    std::string text = "<%%Name\xE4%%>v<%%/Name\xE4%%>";
    EXPECT_EQ(Take("NAME\xC4", text), "");
    EXPECT_EQ(Take("name\xE4", text), "v");
    std::string symbols = "<%%A_1%%>v<%%/A_1%%>";
    EXPECT_EQ(Take("a-1", symbols), "");
}

TEST(TagText, ValueIsEveryByteBetweenTheMarkers) {
    std::string text = "<%%AboutText%%> line one\r\nline two\r\n <%%/AboutText%%>";
    EXPECT_EQ(Take("AboutText", text), " line one\r\nline two\r\n ");
}

TEST(TagText, MissingOpeningLeavesTheTextAlone) {
    std::string text = "<%%Other%%>v<%%/Other%%>";
    EXPECT_EQ(Take("Missing", text), "");
    EXPECT_EQ(text, "<%%Other%%>v<%%/Other%%>");
}

TEST(TagText, MissingClosingCutsAfterTheOpeningOnly) {
    std::string text = "a<%%One%%>no end<%%Two%%>2<%%/Two%%>";
    EXPECT_EQ(Take("One", text), "");
    EXPECT_EQ(text, "no end<%%Two%%>2<%%/Two%%>");
    EXPECT_EQ(Take("Two", text), "2");
}

TEST(TagText, TagsBeforeTheLastOneReadAreNotFound) {
    std::string text =
        "<%%AppHelpURL%%>help<%%/AppHelpURL%%>\r\n"
        "<%%ApplicationName%%>App<%%/ApplicationName%%>\r\n";
    EXPECT_EQ(Take("ApplicationName", text), "App");
    EXPECT_EQ(Take("AppHelpURL", text), "");
}

TEST(TagText, LinesEndInCrLfHoweverTheyEndedInTheFile) {
    EXPECT_EQ(JoinLinesCrLf(""), "");
    EXPECT_EQ(JoinLinesCrLf("one"), "one\r\n");
    EXPECT_EQ(JoinLinesCrLf("one\r\n"), "one\r\n");
    EXPECT_EQ(JoinLinesCrLf("a\nb\rc\r\nd"), "a\r\nb\r\nc\r\nd\r\n");
    EXPECT_EQ(JoinLinesCrLf("a\n\r\n\rb"), "a\r\n\r\n\r\nb\r\n");
    EXPECT_EQ(JoinLinesCrLf("\n\r"), "\r\n\r\n");
}

TEST(TagText, TextEndsAtTheFirstNul) {
    EXPECT_EQ(JoinLinesCrLf(std::string("kept\nalso\0gone\nx", 17)), "kept\r\nalso\r\n");
    EXPECT_EQ(JoinLinesCrLf(std::string("\0a", 2)), "");
}

}  // namespace
