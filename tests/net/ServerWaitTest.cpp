#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "HttpClient.h"
#include "ScriptedHttpServer.h"
#include "ServerWait.h"

namespace {

// A reply that would take minutes: one byte a second keeps every read within the time-out.
ScriptedHttpServer::Reply Trickle() {
    ScriptedHttpServer::Reply reply;
    reply.body = std::string(200, 'x');
    reply.byteIntervalMs = 1000;
    return reply;
}

QDialog* Box() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "frmServerWait" && w->isVisible()) return static_cast<QDialog*>(w);
    return nullptr;
}

TEST(ServerWait, TheOwnerGivesUpASlowReplyWithEscapeOrTheBoxCancel) {
    struct Case {
        const char* name;
        int atMs;
        std::function<void(QWidget&)> giveUp;
    };
    const std::vector<Case> cases = {
        {"escape in the window", 200,
         [](QWidget& window) { QTest::keyClick(&window, Qt::Key_Escape); }},
        {"cancel in the box", ServerWait::kShowAfterMs + 300,
         [](QWidget&) {
             ASSERT_NE(Box(), nullptr);
             Box()->findChild<QPushButton*>("btnCancelWait")->click();
         }},
    };
    for (const Case& c : cases) {
        ScriptedHttpServer server;
        server.Push(Trickle());
        server.PushBody("next");
        HttpClient client;
        client.SetReadTimeout(60000);
        QWidget window;
        window.show();
        new ServerWait(client, &window);
        bool boxEarly = false;
        bool busyCursor = false;
        QTimer::singleShot(c.atMs / 2, [&] {
            boxEarly = Box() != nullptr;
            busyCursor = QGuiApplication::overrideCursor() &&
                         QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
        });
        QTimer::singleShot(c.atMs, [&] { c.giveUp(window); });
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(client.Get(server.Url("/")), std::nullopt) << c.name;
        EXPECT_LT(clock.elapsed(), 5000) << c.name;
        EXPECT_FALSE(boxEarly) << c.name;
        EXPECT_TRUE(busyCursor) << c.name;
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << c.name;
        QApplication::processEvents();
        EXPECT_EQ(Box(), nullptr) << c.name << ": the box goes with the wait";
        EXPECT_EQ(client.Get(server.Url("/")), "next") << c.name << ": the client stays usable";
    }
}

}  // namespace
