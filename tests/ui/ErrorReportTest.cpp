#include <gtest/gtest.h>

#include <stdexcept>

#include "ErrorReport.h"
#include "MessageRecorder.h"

namespace {

TEST(ErrorReport, ShowsTheMessageOfAnErrorNobodyCaught) {
    MessageRecorder messages;
    SetErrorReportSink(&messages);
    Guarded([] { throw std::runtime_error("Cannot open file \"x\". No such file"); });
    Guarded([] {});
    SetErrorReportSink(nullptr);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, "warning");
    EXPECT_EQ(messages.shown[0].text, "Cannot open file \"x\". No such file");
}

}  // namespace
