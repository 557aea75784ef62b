// The main window's news and update features against a scripted news and update server,
// with a real brand profile container in a temporary program folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "ErrorReport.h"
#include "FMain.h"
#include "FNews.h"
#include "MessageBalloon.h"
#include "MessageRecorder.h"
#include "ProgramEnd.h"
#include "ProtectFile.h"
#include "ScriptedHttpServer.h"
#include "ShellRecorder.h"
#include "TestDir.h"

namespace {

const std::string kMarker =
    "\xAF"
    "OK";

class NewsMain : public TfrmMain {
  public:
    using TfrmMain::CheckNewMessage;
    using TfrmMain::ReadLastNewsId;
    using TfrmMain::TfrmMain;
    using TfrmMain::Timer1;
    using TfrmMain::UpdateBaseURL;
};

class MainWindowNews : public ::testing::Test {
  protected:
    MainWindowNews() { SetErrorReportSink(&messages_); }
    ~MainWindowNews() override { SetErrorReportSink(nullptr); }
    void TearDown() override { EXPECT_TRUE(QApplication::topLevelWidgets().empty()); }

    // A Master brand whose news lie on the scripted server, with `extra` lines after it.
    void WriteProfile(const std::string& type, const std::string& extra = "") {
        dir_.Write("plain.txt", "<%%BranderType%%>" + type +
                                    "<%%/BranderType%%>\r\n<%%MasterNewsBaseURL%%>" +
                                    server_.Url("/news") +
                                    "<%%/MasterNewsBaseURL%%>\r\n"
                                    "<%%MasterPublID%%>pub7<%%/MasterPublID%%>\r\n" +
                                    extra);
        ProtectFile(dir_.Path("plain.txt"), dir_.Path("dbsettings.dat"));
    }
    std::unique_ptr<NewsMain> Open() {
        auto w = std::make_unique<NewsMain>(messages_, shell_);
        w->FormCreate();
        // The start-up sequence would ask the same scripted server and take a reply meant for
        // the test, whenever a wait let its timer fire.
        w->Timer1.stop();
        w->show();
        return w;
    }
    // Runs `test` on the news window once the News button has opened it; closes it after.
    void WithNewsWindow(NewsMain& w, const std::function<void(TfrmNews&)>& test) {
        bool ran = false;
        // The window opens once the list has come, after the timer's first turns.
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* news = qobject_cast<TfrmNews*>(QApplication::activeModalWidget());
            if (!news || ran) return;
            ran = true;
            test(*news);
            news->findChild<QPushButton*>("btnExit")->click();
        });
        poll.start(10);
        w.findChild<QToolButton*>("btnNews")->click();
        EXPECT_TRUE(ran);
    }

    TestDir dir_;
    ScriptedHttpServer server_;
    MessageRecorder messages_;
    ShellRecorder shell_;
};

TEST_F(MainWindowNews, TheBalloonAnnouncesOnlyAnItemNewerThanTheOneOpenedLast) {
    const struct {
        std::string stored;  // the profile's LastNewsId line
        bool balloon;
    } cases[] = {{"", true},
                 {"<%%LastNewsId%%>11<%%/LastNewsId%%>", true},
                 {"<%%LastNewsId%%>12<%%/LastNewsId%%>", false},
                 {"<%%LastNewsId%%>new<%%/LastNewsId%%>", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        WriteProfile("Master", c.stored);
        server_.PushBody("12^Prices <b>drop</b>" + kMarker);
        auto w = Open();
        w->CheckNewMessage();
        auto* balloon = w->findChild<MessageBalloon*>();
        ASSERT_EQ(balloon != nullptr, c.balloon);
        if (balloon) {
            EXPECT_EQ(balloon->Text(), "You've Got A Message!\r\nPrices <b>drop</b>");
            EXPECT_TRUE(balloon->isVisible());
            QTest::keyClick(w.get(), Qt::Key_Shift);
            EXPECT_TRUE(QTest::qWaitFor([&] { return !w->findChild<MessageBalloon*>(); }, 2000));
        }
    }
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(MainWindowNews, OpeningAnItemShowsItAndRemembersItWhileTheListStaysPut) {
    WriteProfile("Master", "<%%AboutText%%>kept<%%/AboutText%%>\r\n");
    const int kRecords = 100000;
    std::string list;
    for (int i = 1; i <= kRecords; ++i)
        list += std::to_string(i) + "^Item " + std::to_string(i) + "^2026-12-0" +
                std::to_string(i % 9 + 1) + "\xAF";
    server_.PushBody(list + "OK");
    server_.Push({.body = "<p>Second $26 more</p>" + kMarker, .delayMs = 500});
    server_.Push({.sendAtMost = 0, .holdOpen = true});
    auto w = Open();
    WithNewsWindow(*w, [&](TfrmNews& news) {
        auto* items = news.findChild<QTreeWidget*>("lvwItems");
        ASSERT_EQ(items->topLevelItemCount(), kRecords);
        EXPECT_EQ(items->columnCount(), 2);
        EXPECT_EQ(items->topLevelItem(1)->text(0), "Item 2");
        EXPECT_EQ(items->topLevelItem(1)->text(1), "2026-12-03");
        EXPECT_TRUE(items->selectedItems().isEmpty());

        // While the content of item 2 is on its way, a click on item 3 changes nothing.
        QTimer::singleShot(150, [&] {
            const QRect third = items->visualItemRect(items->topLevelItem(2));
            QTest::mouseClick(items->viewport(), Qt::LeftButton, {}, third.center());
            EXPECT_EQ(items->viewport()->cursor().shape(), Qt::WaitCursor);
        });
        items->topLevelItem(1)->setSelected(true);
        EXPECT_EQ(items->selectedItems(), QList{items->topLevelItem(1)});
        EXPECT_EQ(news.findChild<QTextBrowser*>("prfEditorNews")->toPlainText(), "Second & more");
        EXPECT_EQ(items->viewport()->cursor().shape(), Qt::ArrowCursor);
        EXPECT_EQ(w->ReadLastNewsId(), "2");
        const PlainText profile = DecryptProtectedFile(dir_.Path("dbsettings.dat"));
        EXPECT_TRUE(profile.authentic);
        EXPECT_NE(profile.bytes.find("<%%AboutText%%>kept<%%/AboutText%%>\r\n"), std::string::npos);

        // A server that never answers: closing the window gives the wait up.
        QTimer::singleShot(300, [&] { news.findChild<QPushButton*>("btnExit")->click(); });
        QElapsedTimer clock;
        clock.start();
        items->topLevelItem(5)->setSelected(true);
        EXPECT_LT(clock.elapsed(), 3000);
        EXPECT_FALSE(news.isVisible());
    });
    EXPECT_EQ(w->ReadLastNewsId(), "2");
    EXPECT_TRUE(messages_.shown.empty())
        << "giving up is the owner's choice, no trouble of the site";
}

// Whichever request of the start-up sequence the close lands in, the program ends at once and
// sends nothing more.
TEST_F(MainWindowNews, ClosingDuringAnyStartUpRequestEndsTheProgram) {
    WriteProfile("Master");
    dir_.Write("qlspsettings.dat", "[Settings]\nwebserver=" + server_.Url() + "\n");
    const std::vector<std::string> quick = {"OK", "[APPLICATION]\r\nVersion=2.01\r\n", "OK"};
    const char* const requests[] = {"last news code", "update description", "service check",
                                    "ad list"};
    for (std::size_t stalled = 0; stalled < std::size(requests); ++stalled) {
        SCOPED_TRACE(requests[stalled]);
        const std::size_t before = server_.RequestCount();
        for (std::size_t i = 0; i < stalled; ++i) server_.PushBody(quick[i]);
        ScriptedHttpServer::Reply stall;
        stall.sendAtMost = 0;
        stall.holdOpen = true;
        server_.Push(stall);
        auto w = std::make_unique<NewsMain>(messages_, shell_);
        w->FormCreate();
        w->UpdateBaseURL = server_.Url("/update/");
        // As on a loaded machine: the start-up timer is already due when the window shows,
        // and must still wait for the program's event loop.
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, w.get(), [&] {
            if (server_.RequestCount() == before + stalled + 1) w->close();
        });
        closer.start(20);
        QThread::msleep(150);
        w->show();
        EXPECT_TRUE(ProgramEndsWithin(5000));
        EXPECT_EQ(server_.RequestCount(), before + stalled + 1);
    }
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(MainWindowNews, AProfileThatCannotBeRewrittenIsReportedOnceAndTheWindowStaysUsable) {
    WriteProfile("Master");
    std::string damaged = dir_.Read("dbsettings.dat");
    damaged.back() ^= 1;
    dir_.Write("dbsettings.dat", damaged);
    server_.PushBody(
        "1^One^d\xAF"
        "2^Two^d" +
        kMarker);
    server_.PushBody("one" + kMarker);
    server_.PushBody("two" + kMarker);
    auto w = Open();
    WithNewsWindow(*w, [&](TfrmNews& news) {
        auto* items = news.findChild<QTreeWidget*>("lvwItems");
        items->topLevelItem(0)->setSelected(true);
        items->topLevelItem(1)->setSelected(true);
        EXPECT_EQ(news.findChild<QTextBrowser*>("prfEditorNews")->toPlainText(), "two");
        EXPECT_EQ(news.cursor().shape(), Qt::ArrowCursor);
    });
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_NE(messages_.shown[0].text.find("dbsettings.dat"), std::string::npos);
    EXPECT_EQ(dir_.Read("dbsettings.dat"), damaged);
}

TEST_F(MainWindowNews, AcceptingAnUpdateStartsTheUpdaterAndClosesTheWindow) {
    dir_.Write("Updater.exe", "");
    server_.PushBody("[APPLICATION]\r\nVersion=2.5\r\n");
    messages_.answers = {true, true};
    auto w = Open();
    w->UpdateBaseURL = server_.Url("/up/");
    w->findChild<QToolButton*>("bsSkinSpeedButton1")->click();
    EXPECT_FALSE(w->isVisible());
    ASSERT_EQ(shell_.started.size(), 1u);
    EXPECT_EQ(shell_.started[0].arguments,
              (std::vector<std::string>{server_.Url("/up/"), "2.01", "A"}));
    QCoreApplication::removePostedEvents(qApp, QEvent::Quit);
}

}  // namespace
