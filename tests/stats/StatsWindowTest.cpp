// The Statistics window against a scripted server: what it asks for, what its table shows,
// what Export CSV... writes, and what it says of a server without daily statistics.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>

#include "AdService.h"
#include "FStats.h"
#include "HttpClient.h"
#include "MessageRecorder.h"
#include "ScriptedHttpServer.h"
#include "SiteSettings.h"
#include "TestDir.h"

namespace {

const QDate kToday(2026, 3, 1);
const std::string kNoStatistics = "This server keeps no daily statistics.";

using Fields = std::vector<std::pair<std::string, std::string>>;

// The fields of a recorded post, in order.
Fields PostedFields(const ScriptedHttpServer::Request& request) {
    Fields fields;
    const QRegularExpression part("name=\"([^\"]*)\"\r\n\r\n([^\r]*)\r\n");
    for (const auto& match : part.globalMatch(QString::fromStdString(request.body)))
        fields.emplace_back(match.captured(1).toStdString(), match.captured(2).toStdString());
    return fields;
}

Fields Asked(const std::string& ad, const std::string& first) {
    return {{"action", "7"},
            {"ad_id", ad},
            {"first_day", first},
            {"last_day", "2026-03-01"},
            {"end", ""}};
}

std::vector<std::string> Row(const QTableWidget& table, int row) {
    std::vector<std::string> cells;
    for (int column = 0; column < table.columnCount(); ++column)
        cells.push_back(table.item(row, column)->text().toStdString());
    return cells;
}

class StatsWindow : public ::testing::Test {
  protected:
    StatsWindow() {
        settings.webserver = server.Url();
        settings.actionsscript = kActionsScript;
        settings.ownerkey = std::string(64, 'a');
        client.SetReadTimeout(5000);
    }
    std::unique_ptr<TfrmStats> Open(const std::string& id = "", const std::string& title = "") {
        auto window = std::make_unique<TfrmStats>(service, client, messages, id, title, kToday,
                                                  [this](QWidget*) { return chosen; });
        window->show();
        WaitForRequests(1);
        return window;
    }
    // Waits until the window has its answer to the `count`th request.
    void WaitForRequests(std::size_t count) {
        QElapsedTimer clock;
        clock.start();
        EXPECT_TRUE(QTest::qWaitFor([&] { return server.RequestCount() == count; }, 5000));
        QCoreApplication::processEvents();
        EXPECT_LT(clock.elapsed(), 3000);
    }
    static QTableWidget& Table(TfrmStats& window) {
        return *window.findChild<QTableWidget*>("tblDays");
    }

    ScriptedHttpServer server;
    HttpClient client;
    SiteSettings settings;
    AdService service{client, settings.webserver, settings.actionsscript, settings.ownerkey};
    MessageRecorder messages;
    TestDir folder;
    std::string chosen;
};

TEST_F(StatsWindow, AllAdsOverThirtyDaysWithGapsAsZerosExportedAsCsv) {
    server.PushBody("2026-02-01,5,10,1^2026-02-01,9,5,0^2026-02-27,5,3,3^OK");
    server.PushBody("2026-02-23,5,2,1^OK");
    auto window = Open();
    EXPECT_EQ(window->windowTitle(), "Statistics - All Ads");
    ASSERT_EQ(server.RequestCount(), 1u);
    EXPECT_EQ(PostedFields(server.Requests()[0]), Asked("all", "2026-01-31"));
    EXPECT_TRUE(server.Requests()[0].HasHeader("X-Quillspot-Signature"));

    const QTableWidget& table = Table(*window);
    ASSERT_EQ(table.rowCount(), 30);
    using Cells = std::vector<std::string>;
    EXPECT_EQ(Row(table, 0), (Cells{"2026-01-31", "0", "0", "0"}));
    EXPECT_EQ(Row(table, 1), (Cells{"2026-02-01", "15", "1", "6.67%"}));
    EXPECT_EQ(Row(table, 2), (Cells{"2026-02-02", "0", "0", "0"}));
    EXPECT_EQ(Row(table, 27), (Cells{"2026-02-27", "3", "3", "100.00%"}));
    EXPECT_EQ(Row(table, 29), (Cells{"2026-03-01", "0", "0", "0"}));

    chosen = folder.Path("days.csv");
    window->findChild<QPushButton*>("btnExport")->click();
    const std::string csv = folder.Read("days.csv");
    EXPECT_TRUE(
        csv.starts_with("Day,Impressions,Clicks,Click rate\r\n2026-01-31,0,0,0\r\n"
                        "2026-02-01,15,1,6.67%\r\n2026-02-02,0,0,0\r\n"))
        << csv.substr(0, 200);
    EXPECT_NE(csv.find("\r\n2026-02-27,3,3,100.00%\r\n2026-02-28,0,0,0\r\n2026-03-01,0,0,0\r\n"),
              std::string::npos);
    EXPECT_TRUE(csv.ends_with("2026-03-01,0,0,0\r\n"));
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 31);
    // Giving the save dialog up writes nothing.
    chosen.clear();
    window->findChild<QPushButton*>("btnExport")->click();

    window->findChild<QComboBox*>("cbxRange")->setCurrentIndex(0);
    WaitForRequests(2);
    EXPECT_EQ(PostedFields(server.Requests()[1]), Asked("all", "2026-02-23"));
    ASSERT_EQ(table.rowCount(), 7);
    EXPECT_EQ(Row(table, 0), (Cells{"2026-02-23", "2", "1", "50.00%"}));
    EXPECT_TRUE(messages.shown.empty());
}

// A server that does not keep daily statistics, or sends a reply that breaks their form, gets
// one message, and nothing of its reply is shown: not even the days shown before.
TEST_F(StatsWindow, AServerWithoutTheActionOrAMalformedReplyShowsOneMessageAndNoDays) {
    ScriptedHttpServer::Reply unknown;
    unknown.status = 400;
    unknown.reason = "Bad Request";
    unknown.body = "UNKNOWN ACTION";
    const struct {
        ScriptedHttpServer::Reply reply;
        std::string message;
    } cases[] = {
        {unknown, kNoStatistics},
        {{200, "OK", {}, "BAD"}, kNoStatistics},
        {{200, "OK", {}, "2026-02-30,7,1,1^OK"},
         "The server's daily statistics cannot be read, so none are shown: row 1: "
         "\"2026-02-30\" is no day of the calendar."},
        {{200, "OK", {}, "2026-02-27,7,1,1^2026-02-26,7,1,1^OK"},
         "The server's daily statistics cannot be read, so none are shown: row 2: it is out of "
         "the order of days and ids."},
    };
    server.PushBody("2026-02-27,7,1,1^OK");
    auto window = Open("7", "Shoes");
    EXPECT_EQ(window->windowTitle(), "Statistics - Shoes");
    EXPECT_EQ(PostedFields(server.Requests()[0]), Asked("7", "2026-01-31"));
    ASSERT_EQ(Table(*window).rowCount(), 30);
    auto& range = *window->findChild<QComboBox*>("cbxRange");
    std::size_t requests = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply.body);
        messages.shown.clear();
        server.Push(c.reply);
        range.setCurrentIndex((range.currentIndex() + 1) % range.count());
        WaitForRequests(++requests);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text.substr(0, c.message.size()), c.message);
        EXPECT_EQ(Table(*window).rowCount(), 0);
        server.PushBody("2026-02-27,7,1,1^OK");
        range.setCurrentIndex(1);
        WaitForRequests(++requests);
        EXPECT_EQ(Table(*window).rowCount(), 30);
    }
}

}  // namespace
