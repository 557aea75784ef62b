#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QTreeView>

#include "AdListModel.h"
#include "FMain.h"
#include "MessageRecorder.h"
#include "ProgramEnd.h"
#include "ScriptedHttpServer.h"
#include "ShellRecorder.h"
#include "TestDir.h"

namespace {

const char* const kLoadTrouble =
    "There is a trouble loading polls, please check your settings and your internet connection.";
const std::string kTwoAds =
    "\"7\",\"First\",\"Sub\",\"http://a\",\"Text\",\"a.gif\",\"200\",\"5\",\"1\"^"
    "\"9\",\"Second\",\"Sub\",\"http://b\",\"Text\",\"b.gif\",\"0\",\"0\",\"0\"^OK";

// The main window against a scripted server standing in for the owner's site.
class MainWindowAds : public ::testing::Test {
  protected:
    MainWindowAds() {
        dir_.Write("qlspsettings.dat", "[Settings]\nwebserver=" + server_.Url() + "\n");
    }
    void TearDown() override { EXPECT_TRUE(QApplication::topLevelWidgets().empty()); }

    std::unique_ptr<TfrmMain> Open() {
        auto w = std::make_unique<TfrmMain>(messages_, shell_);
        w->FormCreate();
        w->show();
        return w;
    }
    static AdListModel* List(TfrmMain& w) {
        return qobject_cast<AdListModel*>(w.findChild<QTreeView*>("lvwItems")->model());
    }
    static void Click(TfrmMain& w, const char* name) { w.findChild<QPushButton*>(name)->click(); }
    static std::string ActionOf(const ScriptedHttpServer::Request& r) {
        const std::string marker = "name=\"action\"\r\n\r\n";
        const size_t at = r.body.find(marker);
        return at == std::string::npos ? "" : r.body.substr(at + marker.size(), 1);
    }

    TestDir dir_;
    ScriptedHttpServer server_;
    MessageRecorder messages_;
    ShellRecorder shell_;
};

TEST_F(MainWindowAds, StartUpChecksTheServiceThenFillsTheList) {
    server_.PushBody("OK");
    server_.PushBody(kTwoAds);
    auto w = Open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return List(*w)->rowCount() == 2; }, 5000));
    const auto requests = server_.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(ActionOf(requests[0]), "1");
    EXPECT_EQ(ActionOf(requests[1]), "5");
    EXPECT_EQ(requests[0].requestLine, "POST /qlspactions.php HTTP/1.0");
    EXPECT_EQ(List(*w)->index(0, 0).data(), "First");
    EXPECT_TRUE(messages_.shown.empty());
}

// The start-up sequence says nothing of a failure, except when the server refuses the owner:
// an empty list would then give no reason.
TEST_F(MainWindowAds, StartUpLoadsNothingWhenTheServiceAnswersOtherThanOK) {
    const struct {
        int status;
        const char* body;
        const char* message;  // words of the one message shown, or none
    } cases[] = {{200, "OK\r\n", nullptr},
                 {200, "ok", nullptr},
                 {403, "NO OWNER KEY", "holds no owner key"},
                 {403, "Forbidden", nullptr}};
    for (const auto& c : cases) {
        TestDir dir;
        dir.Write("qlspsettings.dat", "[Settings]\nwebserver=" + server_.Url() + "\n");
        const size_t before = server_.RequestCount();
        messages_.shown.clear();
        ScriptedHttpServer::Reply reply;
        reply.status = c.status;
        reply.body = c.body;
        server_.Push(reply);
        auto w = Open();
        ASSERT_TRUE(QTest::qWaitFor([&] { return server_.RequestCount() > before; }, 5000));
        QTest::qWait(300);
        EXPECT_EQ(server_.RequestCount(), before + 1) << c.body;
        EXPECT_EQ(List(*w)->rowCount(), 0);
        ASSERT_EQ(messages_.shown.size(), c.message ? 1u : 0u) << c.body;
        if (c.message) {
            EXPECT_NE(messages_.shown[0].text.find(c.message), std::string::npos);
        }
    }
}

TEST_F(MainWindowAds, ListButtonsActOnTheList) {
    server_.PushBody("OK");
    server_.PushBody(kTwoAds);
    auto w = Open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return List(*w)->rowCount() == 2; }, 5000));

    Click(*w, "btnSelectAll");
    EXPECT_TRUE(List(*w)->IsChecked(1));
    messages_.answers = {true};
    server_.PushBody("OK");
    server_.PushBody("OK");
    Click(*w, "bsSkinButton3");
    const auto requests = server_.Requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_NE(requests[2].body.find("name=\"qlspotdeleteids\"\r\n\r\n7,9\r\n"), std::string::npos);
    EXPECT_EQ(List(*w)->rowCount(), 0) << "reloaded from the server's empty list";

    server_.PushBody("BAD");
    Click(*w, "btnRefresh");
    ASSERT_EQ(messages_.shown.size(), 2u);
    EXPECT_EQ(messages_.shown[1].text, kLoadTrouble);
}

TEST_F(MainWindowAds, ClosingTheWindowEndsAWaitingRequest) {
    server_.PushBody("BAD");  // the start-up check fails, so the list stays as it is
    auto w = Open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return server_.RequestCount() == 1; }, 5000));
    QTest::qWait(100);

    ScriptedHttpServer::Reply stall;
    stall.body = "OK";
    stall.sendAtMost = 0;
    stall.holdOpen = true;
    server_.Push(stall);
    QTimer::singleShot(200, w.get(), [&] { w->close(); });
    QElapsedTimer clock;
    clock.start();
    Click(*w, "btnRefresh");
    EXPECT_LT(clock.elapsed(), 20000);
    EXPECT_FALSE(w->isVisible());
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].text, kLoadTrouble);
}

}  // namespace

namespace {

// The owner closes the window while the start-up check waits, at a moment when its reply
// has arrived but the window's thread has not yet looked (a loaded machine).
TEST_F(MainWindowAds, ClosingWhileARequestWaitsEndsTheProgramAndSendsNothingMore) {
    ScriptedHttpServer::Reply check;
    check.delayMs = 100;
    check.body = "OK";
    server_.Push(check);
    server_.PushBody(kTwoAds);
    auto w = Open();
    QTimer::singleShot(150, w.get(), [&] {
        ASSERT_EQ(server_.RequestCount(), 1u);
        QThread::msleep(400);
        w->close();
    });
    EXPECT_TRUE(ProgramEndsWithin(5000));
    EXPECT_EQ(server_.RequestCount(), 1u);
}

// While Refresh waits for a slow server, nothing can send a second request, and Escape
// gives the wait up like a network failure.
TEST_F(MainWindowAds, WhileARequestWaitsRequestButtonsAreUnavailableAndEscapeGivesUp) {
    server_.PushBody("BAD");
    auto w = Open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return server_.RequestCount() == 1; }, 5000));
    QTest::qWait(100);
    ScriptedHttpServer::Reply trickle;
    trickle.body = std::string(100, 'x') + "^OK";
    trickle.byteIntervalMs = 1000;
    server_.Push(trickle);

    const char* const requestButtons[] = {"btnRefresh",    "bsSkinButton3", "bsSkinButton4",
                                          "bsSkinButton5", "bsSkinButton6", "btnStats"};
    std::vector<std::string> enabledWhileWaiting;
    QTimer::singleShot(300, w.get(), [&] {
        for (const char* name : requestButtons)
            if (w->findChild<QPushButton*>(name)->isEnabled()) enabledWhileWaiting.push_back(name);
        messages_.answers = {true};
        Click(*w, "bsSkinButton4");
        QTest::keyClick(w.get(), Qt::Key_Escape);
    });
    QElapsedTimer clock;
    clock.start();
    Click(*w, "btnRefresh");
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(enabledWhileWaiting.empty());
    EXPECT_EQ(server_.RequestCount(), 2u);
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].text, kLoadTrouble);
    for (const char* name : requestButtons)
        EXPECT_TRUE(w->findChild<QPushButton*>(name)->isEnabled()) << name;
}

}  // namespace
