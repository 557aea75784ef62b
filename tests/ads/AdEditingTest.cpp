#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <functional>

#include "AdEditing.h"
#include "AdList.h"
#include "AdService.h"
#include "EditorFlow.h"
#include "FSettings.h"
#include "HttpClient.h"
#include "MessageRecorder.h"
#include "ScriptedHttpServer.h"
#include "ScriptedSite.h"
#include "ServerScript.h"
#include "SiteSettings.h"
#include "TestDir.h"
#include "Text.h"

namespace {

// The server's answer to the editor's fetch of an ad's picture that it does not hold.
const ScriptedHttpServer::Reply kNoPicture{404, "Not Found"};

const std::string kRecord =
    "\"12\",\"Title\",\"Sub\",\"http://u/\",\"Line one\r\nline two\",\"p.gif\",\"4\",\"1\",\"1\"";

TEST(AdEditing, AFetchedRecordOpensOnlyWithNinePieces) {
    const auto read = ReadFetchedAd(kRecord);
    const FetchedAd* ad = std::get_if<FetchedAd>(&read);
    ASSERT_TRUE(ad);
    EXPECT_EQ(ad->id, "12");
    EXPECT_EQ(ad->content, "Line one\r\nline two");
    EXPECT_EQ(ad->picture, "p.gif");
    EXPECT_TRUE(ad->active);
    const std::string big(1 << 20, 'x');
    // What the record gives: an ad, active or not, or the reason it opens none.
    enum Outcome { Active, Inactive, Extra, Missing };
    const struct {
        std::string record;
        Outcome outcome;
    } cases[] = {
        {"\"1\",\"T\",\"S\",\"U\",\"C\",\"P\",\"0\",\"0\",\" 1\"", Inactive},
        {"\"1\",\"T\",\"S\",\"U\",\"C\",\"P\",\"0\",\"0\",\"0\"", Inactive},
        {"\"1\",\"Fast, cheap\",\"S\",\"U\",\"C\",\"P\",\"0\",\"0\",\"1\"", Extra},
        {"\"1\",\"T\",\"S\",\"U\",\"C\",\"P\",\"0\",\"1\"", Missing},
        {"\"1\",\"T\",\"S\",\"U\",\"C\",\"P\",\"0\",\"1\",", Missing},
        {"\"1\",\"" + big + "\",\"S\",\"U\",\"C" + std::string(1, '\0') +
             "\",\"P\",\"0\",\"0\",\"1\"",
         Active},
    };
    for (const auto& c : cases) {
        const auto result = ReadFetchedAd(c.record);
        Outcome outcome;
        if (const FetchedAd* fetched = std::get_if<FetchedAd>(&result))
            outcome = fetched->active ? Active : Inactive;
        else
            outcome = std::get<UnreadableAd>(result) == UnreadableAd::ExtraPieces ? Extra : Missing;
        EXPECT_EQ(outcome, c.outcome) << c.record.substr(0, 40);
    }
}

TEST_F(AdEditingFlow, AddSendsTheFieldsAndClosesOnlyWhenTheServerAccepts) {
    server.PushBody("");  // the GET before each add
    server.PushBody("EXIST RECORD");
    server.PushBody("");
    ScriptedHttpServer::Reply slow;  // accepted, but only after a while
    slow.delayMs = 600;
    slow.body = "OK";
    server.Push(slow);
    server.PushBody("\"5\",\"T\",\"S\",\"U\",\"X\",\"P\",\"0\",\"0\",\"1\"^OK");
    messages.answers = {true, true};  // save the line break anyway, both times
    const bool ran =
        WithEditor({[&](QWidget& d) {
                       Type(d, "edtAdTitle", "Taken");
                       d.findChild<QPlainTextEdit*>("memContent")->setPlainText("two\nlines");
                       Ok(d);
                       EXPECT_TRUE(d.isVisible()) << "a refused title keeps the dialog open";
                       EXPECT_EQ(d.findChild<QLineEdit*>("edtAdTitle")->text(), "Taken");
                       Type(d, "edtAdTitle", "Fresh");
                       // While the add waits, a second Ok or a close sends nothing and closes
                       // nothing.
                       QTimer::singleShot(200, [&d] {
                           Ok(d);
                           d.close();
                           EXPECT_FALSE(d.findChild<QPushButton*>("btnOk")->isEnabled());
                       });
                       Ok(d);
                   }},
                   [&] { AddPictureAd(list, service, client, messages, chooser, nullptr); });
    EXPECT_TRUE(ran);
    ASSERT_EQ(server.RequestCount(), 5u) << "two GETs, two adds, one reload";
    EXPECT_EQ(Field(1, "ad_title"), "Taken");
    EXPECT_EQ(Field(1, "ad_text"), "two\r\nlines");
    EXPECT_EQ(Field(1, "ad_id"), "");
    EXPECT_EQ(Field(1, "ad_enable"), "1");
    EXPECT_EQ(Field(1, "ad_impressions"), "0");
    EXPECT_EQ(Field(3, "ad_title"), "Fresh");
    EXPECT_EQ(Field(4, "action"), "5");
    EXPECT_EQ(list.rowCount(), 1);
    ASSERT_GE(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].kind, "question");
    EXPECT_NE(messages.shown[0].text.find("Content: a line break"), std::string::npos);
    EXPECT_EQ(messages.shown[1].text, "This Ad title already exists. Please enter a new title.");
}

TEST_F(AdEditingFlow, EditOpensTheFetchedAdAndSendsItBack) {
    FillAdList(list, "\"12\",\"Old\",\"S\",\"U\",\"X\",\"P\",\"0\",\"0\",\"1\"^OK");
    EditPictureAd(view, list, service, client, messages, chooser, nullptr);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "You need to select first a Picture Ad.");

    messages.shown.clear();
    view.setCurrentIndex(list.index(0, 0));
    server.PushBody(kRecord + "^OK");
    server.Push(kNoPicture);
    server.PushBody("DON'T EXIST RECORD");
    server.PushBody("OK");
    server.PushBody("\"12\",\"New\",\"S\",\"U\",\"X\",\"P\",\"0\",\"0\",\"1\"^OK");
    const bool ran =
        WithEditor({[&](QWidget& d) {
                       EXPECT_EQ(d.windowTitle(), "Edit Picture Ad");
                       EXPECT_EQ(d.findChild<QLineEdit*>("edtAdTitle")->text(), "Title");
                       EXPECT_TRUE(d.findChild<QCheckBox*>("chkActive")->isChecked());
                       // The line break the ad already had is not asked about again.
                       Ok(d);
                       EXPECT_TRUE(d.isVisible());
                       EXPECT_EQ(messages.KindsAndTexts(),
                                 std::vector<std::string>{
                                     "warning:This Ad title don't exists. Please close the edit "
                                     "windows and try again."});
                       // A new one is, and only its own kind is explained.
                       d.findChild<QPlainTextEdit*>("memContent")->appendPlainText("three");
                       messages.answers = {true};
                       Ok(d);
                   }},
                   [&] { EditPictureAd(view, list, service, client, messages, chooser, nullptr); });
    EXPECT_TRUE(ran);
    ASSERT_EQ(server.RequestCount(), 5u);
    EXPECT_EQ(Field(0, "ad_id"), "12");
    EXPECT_EQ(server.Requests()[1].requestLine, "GET /Pictures/p.gif HTTP/1.1");
    EXPECT_EQ(Field(2, "action"), "3");
    EXPECT_EQ(Field(2, "ad_id"), "12");
    EXPECT_EQ(Field(2, "ad_text"), "Line one\r\nline two");
    EXPECT_EQ(Field(2, "ad_impressions"), "(absent)");
    EXPECT_EQ(Field(3, "ad_text"), "Line one\r\nline two\r\nthree");
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].kind, "question");
    EXPECT_NE(messages.shown[1].text.find("(Content: a line break)"), std::string::npos);
    EXPECT_NE(messages.shown[1].text.find("still opens for editing"), std::string::npos);
    EXPECT_EQ(messages.shown[1].text.find("comma"), std::string::npos) << messages.shown[1].text;
    EXPECT_EQ(Field(4, "action"), "5");
    EXPECT_EQ(list.index(0, 0).data(), "New");

    // A record whose fields cannot be told apart opens no editor.
    view.setCurrentIndex(list.index(0, 0));
    server.PushBody("\"12\",\"Fast, cheap\",\"S\",\"U\",\"X\",\"P\",\"0\",\"0\",\"1\"^OK");
    messages.shown.clear();
    EditPictureAd(view, list, service, client, messages, chooser, nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("cannot be edited"), std::string::npos);
    EXPECT_EQ(server.RequestCount(), 6u);

    // Nor does one that lacks fields, and its message does not blame a comma.
    server.PushBody("\"12\",\"T\",\"S\",\"U\",\"X\",\"P\",\"0\"^OK");
    messages.shown.clear();
    EditPictureAd(view, list, service, client, messages, chooser, nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("lacks some of its fields"), std::string::npos);
    EXPECT_EQ(messages.shown[0].text.find("comma"), std::string::npos);
}

// The owner fills in and sends an ad with the keyboard alone: Tab visits every control in
// the order of the form and leaves the content box rather than typing a tab into it, and
// Space works the check box and the buttons.
TEST_F(AdEditingFlow, TheKeyboardAloneWalksEveryControlAndSends) {
    server.PushBody("");  // the GET before the add
    server.PushBody("OK");
    server.PushBody("\"5\",\"Keyed\",\"\",\"\",\"e\",\"\",\"0\",\"0\",\"0\"^OK");
    const char* const order[] = {"edtAdTitle",   "edtAdSubtitle", "edtAdURL",
                                 "edtAdPicture", "btnUpload",     "memContent",
                                 "chkActive",    "btnOk",         "btnCancel"};
    std::vector<std::string> forward, backward;
    const auto focused = [](QWidget& d) { return d.focusWidget()->objectName().toStdString(); };
    const auto walk = [&](QWidget& d) {
        // Keys go to the focused control, which only an active window has; on a busy machine
        // the editor may be shown a moment before it is activated.
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        for (const char* name : order) {
            forward.push_back(focused(d));
            if (name == std::string("edtAdTitle")) QTest::keyClicks(d.focusWidget(), "Keyed");
            if (name == std::string("memContent")) QTest::keyClicks(d.focusWidget(), "e");
            if (name == std::string("chkActive")) QTest::keyClick(d.focusWidget(), Qt::Key_Space);
            QTest::keyClick(d.focusWidget(), Qt::Key_Tab);
        }
        backward.push_back(focused(d));  // round again to the title
        QTest::keyClick(d.focusWidget(), Qt::Key_Backtab);
        backward.push_back(focused(d));
        QTest::keyClick(d.focusWidget(), Qt::Key_Backtab);
        backward.push_back(focused(d));
        QTest::keyClick(d.focusWidget(), Qt::Key_Space);
        if (d.isVisible()) {
            ADD_FAILURE() << "Space on " << focused(d) << " did not send the ad";
            d.close();
        }
    };
    const bool ran = WithEditor(
        {walk}, [&] { AddPictureAd(list, service, client, messages, chooser, nullptr); });
    EXPECT_TRUE(ran);
    EXPECT_EQ(forward, std::vector<std::string>(std::begin(order), std::end(order)));
    EXPECT_EQ(backward, (std::vector<std::string>{"edtAdTitle", "btnCancel", "btnOk"}));
    ASSERT_EQ(server.RequestCount(), 3u) << "the GET, the add, the reload";
    EXPECT_EQ(Field(1, "ad_title"), "Keyed");
    EXPECT_EQ(Field(1, "ad_text"), "e");
    EXPECT_EQ(Field(1, "ad_enable"), "0");
    EXPECT_EQ(list.rowCount(), 1);
    EXPECT_TRUE(messages.shown.empty());
}

// Every text box of the editor and of the settings holds a value of 100,000 characters
// whole: the editor sends back what the server sent, the settings write what the owner
// pasted.
TEST_F(AdEditingFlow, EveryBoxKeepsAHundredThousandCharacters) {
    std::string big(100000, ' ');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>('0' + i % 10);
    const struct {
        const char* box;
        const char* field;
        size_t piece;  // in the fetched record
    } editor[] = {{"edtAdTitle", "ad_title", 1},
                  {"edtAdSubtitle", "ad_subtitle", 2},
                  {"edtAdURL", "ad_url", 3},
                  {"memContent", "ad_text", 4},
                  {"edtAdPicture", "ad_picture", 5}};
    FillAdList(list, "\"12\",\"T\",\"S\",\"U\",\"X\",\"P\",\"0\",\"0\",\"1\"^OK");
    for (const auto& row : editor) {
        std::vector<std::string> pieces = {"12", "T", "S", "U", "X", "P", "0", "0", "1"};
        pieces[row.piece] = big;
        std::string record;
        for (const std::string& piece : pieces) record += (record.empty() ? "\"" : "\",\"") + piece;
        view.setCurrentIndex(list.index(0, 0));
        const size_t before = server.RequestCount();
        server.PushBody(record + "\"^OK");
        server.Push(kNoPicture);
        server.PushBody("OK");
        server.PushBody("\"12\",\"T\",\"S\",\"U\",\"X\",\"P\",\"0\",\"0\",\"1\"^OK");
        const bool ran = WithEditor(
            {Ok}, [&] { EditPictureAd(view, list, service, client, messages, chooser, nullptr); });
        EXPECT_TRUE(ran) << row.box;
        ASSERT_EQ(server.RequestCount(), before + 4) << row.box;
        const std::string sent = Field(before + 2, row.field);
        EXPECT_TRUE(sent == big) << row.box << " sent " << sent.size() << " characters";
    }
    EXPECT_TRUE(messages.shown.empty());

    TestDir dir;
    const struct {
        const char* box;
        std::string SiteSettings::*value;
        const char* scriptLine;  // nullptr: the value is not part of the script
    } boxes[] = {{"edtSite", &SiteSettings::webserver, nullptr},
                 {"edtHostname", &SiteSettings::dbhostname, "  $hostname=\""},
                 {"edtDatabase", &SiteSettings::dbdatabase, "  $database=\""},
                 {"edtUsername", &SiteSettings::dbusername, "  $username=\""},
                 {"edtPassword", &SiteSettings::dbpassword, "  $password=\""},
                 {"edtAdsWidth", &SiteSettings::adswidth, "  $adswidth=\""}};
    for (const auto& row : boxes) {
        SiteSettings values;
        TfrmSettings dialog(values);
        auto* box = dialog.findChild<QLineEdit*>(row.box);
        box->clear();
        box->insert(ToQ(big));  // as a paste types it
        dialog.findChild<QPushButton*>("btnOk")->click();
        ASSERT_EQ(dialog.result(), QDialog::Accepted) << row.box;
        const std::string expected = big + (row.value == &SiteSettings::adswidth ? "px" : "");
        EXPECT_TRUE(values.*row.value == expected)
            << row.box << " kept " << (values.*row.value).size() << " characters";
        if (row.scriptLine) {
            EXPECT_NE(dir.Read(kServerScriptFile).find(row.scriptLine + expected + "\";\r\n"),
                      std::string::npos)
                << row.box;
        }
    }
}

}  // namespace
