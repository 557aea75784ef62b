#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTimer>
#include <QTreeView>

#include "AdList.h"
#include "AdListButtons.h"
#include "AdService.h"
#include "HttpClient.h"
#include "MessageRecorder.h"
#include "ScriptedHttpServer.h"
#include "ScriptedSite.h"
#include "SiteSettings.h"

namespace {

const char* const kDeleteQuestion = "Are you sure do you want to delete the selected ads?";
const char* const kDeleteAllQuestion = "Are you sure do you want to delete all?";
const char* const kDeleteTrouble =
    "There is a trouble deleting ads, please check your settings and your internet connection.";
const char* const kLoadTrouble =
    "There is a trouble loading polls, please check your settings and your internet connection.";

std::string ListReply(const std::vector<std::string>& ids) {
    std::string reply;
    for (const std::string& id : ids)
        reply += "\"" + id + "\",\"T\",\"S\",\"U\",\"X\",\"P\",\"4\",\"1\",\"1\"^";
    return reply + "OK";
}

class AdListButtonsTest : public ScriptedSite {
  protected:
    void Fill(const std::string& reply) { FillAdList(list, reply); }
    void Check(int row) {
        list.setData(list.index(row, kColumnTitle), Qt::Checked, Qt::CheckStateRole);
    }
    bool Checked(int row) { return list.IsChecked(row); }
    // The value of the delete request's id field, or "" when no delete was sent.
    std::string DeletedIds() {
        for (const auto& request : server.Requests()) {
            const std::string field = "name=\"qlspotdeleteids\"\r\n\r\n";
            const size_t at = request.body.find(field);
            if (at == std::string::npos) continue;
            const size_t start = at + field.size();
            return request.body.substr(start, request.body.find("\r\n", start) - start);
        }
        return "";
    }
    std::vector<std::string> Texts() {
        std::vector<std::string> texts;
        for (const auto& shown : messages.shown) texts.push_back(shown.kind + ": " + shown.text);
        return texts;
    }
};

TEST_F(AdListButtonsTest, SelectAllAndClearSelectionTouchOnlyTheCheckBoxes) {
    SelectAllAds(list);  // an empty list: nothing happens
    Fill(ListReply({"1", "2", "3"}));
    view.setCurrentIndex(list.index(1, 0));
    QSignalSpy changes(&list, &AdListModel::dataChanged);
    SelectAllAds(list);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(Checked(i));
    ClearAdSelection(list);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(Checked(i));
    EXPECT_EQ(changes.count(), 2) << "one signal for every row at once";
    EXPECT_EQ(view.selectionModel()->selectedRows().value(0).row(), 1);
    EXPECT_EQ(server.RequestCount(), 0u);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(AdListButtonsTest, DeleteSelectedSendsTheCheckedIdsInRowOrderThenReloads) {
    Fill(ListReply({"11", "22", "33", "44", "55"}));
    Check(3);
    Check(1);
    messages.answers = {true};
    server.PushBody("OK");
    server.PushBody(ListReply({"11", "33", "55"}));
    DeleteSelectedAds(list, service, messages);

    EXPECT_EQ(Texts(), std::vector<std::string>{std::string("question: ") + kDeleteQuestion});
    EXPECT_EQ(DeletedIds(), "22,44");
    ASSERT_EQ(server.RequestCount(), 2u);
    ASSERT_EQ(list.rowCount(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(Checked(i));
}

TEST_F(AdListButtonsTest, DeleteSelectedSendsTheIdsInTheOrderShown) {
    Fill("\"1\",\"c\",S,U,X,P,4,1,1^\"2\",\"a\",S,U,X,P,4,1,1^\"3\",\"b\",S,U,X,P,4,1,1^OK");
    list.CycleSort(kColumnTitle);
    SelectAllAds(list);
    messages.answers = {true};
    server.PushBody("OK");
    server.PushBody("OK");
    DeleteSelectedAds(list, service, messages);
    EXPECT_EQ(DeletedIds(), "2,3,1");
}

TEST_F(AdListButtonsTest, DeleteSelectedNeverUsesARowWithoutId) {
    Fill(ListReply({"11"}) + "^\"12\",\"too short\"^OK");
    ASSERT_EQ(list.rowCount(), 2);
    SelectAllAds(list);
    messages.answers = {true};
    server.PushBody("OK");
    server.PushBody("OK");
    DeleteSelectedAds(list, service, messages);
    EXPECT_EQ(DeletedIds(), "11");

    // Only rows without an id checked: nothing to delete, nothing asked.
    Fill("\"12\",\"too short\"^OK");
    SelectAllAds(list);
    messages.shown.clear();
    DeleteSelectedAds(list, service, messages);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(server.RequestCount(), 2u);
}

TEST_F(AdListButtonsTest, CancelOrNothingCheckedSendsNothing) {
    Fill(ListReply({"1", "2"}));
    DeleteSelectedAds(list, service, messages);  // nothing checked: not even asked
    EXPECT_TRUE(messages.shown.empty());
    Check(0);
    messages.answers = {false, false};
    DeleteSelectedAds(list, service, messages);
    DeleteAllAds(list, service, messages);
    EXPECT_EQ(Texts(), (std::vector<std::string>{std::string("question: ") + kDeleteQuestion,
                                                 std::string("question: ") + kDeleteAllQuestion}));
    EXPECT_EQ(server.RequestCount(), 0u);
    EXPECT_EQ(list.rowCount(), 2);
}

TEST_F(AdListButtonsTest, DeleteAllSendsTheWordAllAndAsksNothingOnAnEmptyList) {
    DeleteAllAds(list, service, messages);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(server.RequestCount(), 0u);

    Fill(ListReply({"1"}));
    messages.answers = {true};
    server.PushBody("OK");
    server.PushBody("OK");
    DeleteAllAds(list, service, messages);
    EXPECT_EQ(Texts(), std::vector<std::string>{std::string("question: ") + kDeleteAllQuestion});
    EXPECT_EQ(DeletedIds(), "all");
    EXPECT_EQ(list.rowCount(), 0);
}

TEST_F(AdListButtonsTest, FailedDeleteWarnsAndKeepsTheList) {
    Fill(ListReply({"1", "2"}));
    Check(0);
    messages.answers = {true, true};
    server.PushBody("OK ");
    ScriptedHttpServer::Reply dropped;
    dropped.sendAtMost = 0;
    server.Push(dropped);
    DeleteSelectedAds(list, service, messages);
    DeleteAllAds(list, service, messages);
    EXPECT_EQ(Texts(), (std::vector<std::string>{std::string("question: ") + kDeleteQuestion,
                                                 std::string("warning: ") + kDeleteTrouble,
                                                 std::string("question: ") + kDeleteAllQuestion,
                                                 std::string("warning: ") + kDeleteTrouble}));
    EXPECT_EQ(server.RequestCount(), 2u);  // no reload
    EXPECT_EQ(list.rowCount(), 2);
    EXPECT_TRUE(Checked(0));
}

TEST_F(AdListButtonsTest, ReloadFailingAfterADeleteShowsNothing) {
    Fill(ListReply({"1", "2"}));
    Check(1);
    messages.answers = {true};
    server.PushBody("OK");
    server.PushBody("BAD");
    DeleteSelectedAds(list, service, messages);
    EXPECT_EQ(Texts(), std::vector<std::string>{std::string("question: ") + kDeleteQuestion});
    EXPECT_EQ(list.rowCount(), 2);
}

TEST_F(AdListButtonsTest, RefreshWarnsOnlyWhenTheLoadFails) {
    server.PushBody(ListReply({"1", "2"}));
    RefreshAdList(list, service, messages);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(list.rowCount(), 2);

    ScriptedHttpServer::Reply cut;  // closes in the middle of the reply
    cut.body = ListReply({"3", "4", "5"});
    cut.sendAtMost = 120;
    server.Push(cut);
    server.PushBody("no marker here");
    server.PushBody(ListReply({"6"}) + "^\"7\",\"short\"^OK");
    for (int i = 0; i < 3; ++i) RefreshAdList(list, service, messages);
    EXPECT_EQ(Texts(), std::vector<std::string>(3, std::string("warning: ") + kLoadTrouble));
    // The short record left the rows before it and its own incomplete row.
    ASSERT_EQ(list.rowCount(), 2);
    EXPECT_EQ(list.HiddenId(0), "6");
}

TEST_F(AdListButtonsTest, DisconnectingDuringARefreshFailsTheLoad) {
    Fill(ListReply({"1"}));
    ScriptedHttpServer::Reply stalled;  // stops sending in the middle of the list
    stalled.body = ListReply({"3"});
    stalled.sendAtMost = 80;
    stalled.holdOpen = true;
    server.Push(stalled);
    QTimer::singleShot(200, [&] { client.Disconnect(); });
    QElapsedTimer clock;
    clock.start();
    RefreshAdList(list, service, messages);
    EXPECT_LT(clock.elapsed(), 2000) << "the read time-out ended it, not Disconnect";
    EXPECT_EQ(Texts(), std::vector<std::string>{std::string("warning: ") + kLoadTrouble});
    EXPECT_EQ(list.rowCount(), 1);
}

}  // namespace
