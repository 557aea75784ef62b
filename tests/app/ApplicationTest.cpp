#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QWidget>
#include <stdexcept>

#include "ErrorReport.h"
#include "MessageRecorder.h"
#include "QuillspotApplication.h"

namespace {

// An event handler that fails the way a refused file write does.
class Failing : public QWidget {
  protected:
    void customEvent(QEvent*) override { throw std::runtime_error("Unable to write to /r/o"); }
};

TEST(ErrorReport, TheApplicationCatchesErrorsFromEventHandlers) {
    ASSERT_NE(dynamic_cast<QuillspotApplication*>(QCoreApplication::instance()), nullptr);
    MessageRecorder messages;
    SetErrorReportSink(&messages);
    Failing widget;
    widget.resize(50, 50);
    widget.show();
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&widget, &event);
    SetErrorReportSink(nullptr);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Unable to write to /r/o");
    EXPECT_TRUE(widget.isVisible());
}

}  // namespace
