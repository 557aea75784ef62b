#include <gtest/gtest.h>

#include "FormPost.h"

namespace {

TEST(FormPostTest, BoundaryIsEightDashesAndTheTimeAsFifteenDigits) {
    EXPECT_EQ(FormBoundary(QDateTime(QDate(2024, 3, 7), QTime(9, 5, 4, 32))),
              "--------030724090504032");
    EXPECT_EQ(FormBoundary(QDateTime(QDate(1999, 12, 31), QTime(23, 59, 58, 999))),
              "--------123199235958999");
}

TEST(FormPostTest, ContentTypeNamesTheBoundary) {
    EXPECT_EQ(FormContentType("--------123"), "multipart/form-data; boundary=--------123");
}

TEST(FormPostTest, BodyHasOnePartPerFieldAndTheClosingLines) {
    const std::string value = std::string("100% \"q\" & \xe9\xff\r\nx\0y", 18);
    EXPECT_EQ(FormBody("--B", {{"action", "1"}, {"text", value}, {"end", ""}}),
              "----B\r\nContent-Disposition: form-data; name=\"action\"\r\n\r\n1\r\n"
              "----B\r\nContent-Disposition: form-data; name=\"text\"\r\n\r\n" +
                  value +
                  "\r\n"
                  "----B\r\nContent-Disposition: form-data; name=\"end\"\r\n\r\n\r\n"
                  "\r\n----B--\r\n");
}

TEST(FormPostTest, BuildFormUsesOneBoundaryForTypeAndBody) {
    const MultipartForm form =
        BuildForm({{"a", "b"}}, QDateTime(QDate(2030, 1, 2), QTime(3, 4, 5, 6)));
    EXPECT_EQ(form.contentType, "multipart/form-data; boundary=--------010230030405006");
    EXPECT_EQ(form.body,
              "----------010230030405006\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n"
              "b\r\n\r\n----------010230030405006--\r\n");
}

}  // namespace
