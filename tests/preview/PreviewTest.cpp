#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTreeView>
#include <functional>

#include "AdList.h"
#include "AdPreview.h"
#include "AdService.h"
#include "AdSite.h"
#include "HttpClient.h"
#include "MessageRecorder.h"
#include "ModuleFunction.h"
#include "OwnerKey.h"
#include "ScriptedHttpServer.h"
#include "ServerScript.h"
#include "SiteSettings.h"

namespace {

// Hands the text of the page the preview's browser shows to `shown`, once the engine has it.
void PageText(QWidget& preview, const std::function<void(const QString&)>& shown) {
    using Function = void (*)(QWidget*, const std::function<void(const QString&)>&);
    static const auto pageText = reinterpret_cast<Function>(ModuleFunction(
        {QStringLiteral(PAGE_TEXT_MODULE)}, "QuillspotTestPageText", "no page text: "));
    pageText(preview.findChild<QWidget*>("WebBrowser1"), shown);
}

// Opens the preview of the highlighted row and, every `intervalMs`, lets `look` see it; the
// preview is closed once `look` says it has seen enough, or after 30 s.
void Preview(const QTreeView& view, const SiteSettings& settings, int intervalMs,
             const std::function<bool(QWidget& preview)>& look) {
    QTimer poll;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* preview = QApplication::activeModalWidget();
        if (preview && (look(*preview) || clock.elapsed() > 30000))
            preview->findChild<QPushButton*>("btnOk")->click();
    });
    poll.start(intervalMs);
    MessageRecorder messages;
    PreviewAd(view, settings.webserver, messages, nullptr);
}

// The preview loads the display script's page for the highlighted ad in the real web engine,
// once, and needs a highlighted row.
TEST(Preview, LoadsTheHighlightedAdsPageFromTheSite) {
    ScriptedHttpServer server;
    server.PushBody("<html><head><title>Ad twelve</title></head><body>ad</body></html>");
    SiteSettings settings;
    settings.webserver = server.Url();
    AdListModel list;
    QTreeView view;
    SetUpAdListView(view, list);
    FillAdList(list, "\"12\",\"T\",\"S\",\"U\",\"X\",\"P\",\"0\",\"0\",\"1\"^OK");
    MessageRecorder messages;
    PreviewAd(view, settings.webserver, messages, nullptr);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "You need to select first a Picture Ad.");

    view.setCurrentIndex(list.index(0, 0));
    QString address, title;
    QRect placed;
    Preview(view, settings, 50, [&](QWidget& preview) {
        placed = preview.frameGeometry();
        address = preview.findChild<QLineEdit*>("edtAddress")->text();
        title = preview.findChild<QWidget*>("WebBrowser1")->property("title").toString();
        return title == "Ad twelve";
    });
    EXPECT_EQ(address.toStdString(), server.Url() + "/qlspshow.php?ad_id=12");
    EXPECT_EQ(title, "Ad twelve");
    // In the middle of the screen, give or take the frame's margins.
    const QPoint middle = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((placed.center() - middle).manhattanLength(), 12) << placed.x() << "," << placed.y();
    // Once: every load of the display script may count as an impression. (The engine may also
    // ask for the site's icon.)
    std::vector<std::string> pages;
    for (const auto& request : server.Requests())
        if (request.requestLine.find("/favicon.ico") == std::string::npos)
            pages.push_back(request.requestLine);
    EXPECT_EQ(pages, std::vector<std::string>{"GET /qlspshow.php?ad_id=12 HTTP/1.1"});
}

// A site URL the browser must not open shows why instead of a blank page, and loads nothing.
TEST(Preview, ARefusedAddressShowsWhy) {
    AdListModel list;
    QTreeView view;
    SetUpAdListView(view, list);
    FillAdList(list, "\"3\",\"T\",\"S\",\"U\",\"X\",\"P\",\"0\",\"0\",\"1\"^OK");
    view.setCurrentIndex(list.index(0, 0));
    for (const std::string webserver : {"", "file:///etc", "ftp://127.0.0.1"}) {
        SiteSettings settings;
        settings.webserver = webserver;
        QString text;
        Preview(view, settings, 50, [&](QWidget& preview) {
            PageText(preview, [&](const QString& shown) {
                if (!shown.isEmpty()) text = shown;
            });
            return text.contains("cannot be previewed");
        });
        EXPECT_TRUE(text.contains(QString::fromStdString(webserver + "/qlspshow.php?ad_id=3")))
            << text.toStdString();
    }
}

// The owner's new ad, previewed from the reference scripts over a real database: the web
// engine shows it as the site's pages will.
TEST(Preview, ShowsTheAdAsTheSiteRendersIt) {
    AdSite site(Database::SQLite);
    SiteSettings settings;
    settings.actionsscript = kActionsScript;
    settings.adswidth = "300px";
    site.Configure(settings);
    settings.ownerkey = NewOwnerKey();
    site.Upload(ServerSettingsScript(settings));
    HttpClient client;
    AdService service(client, settings.webserver, settings.actionsscript, settings.ownerkey);
    ASSERT_EQ(service.AddAd({"", "Caf\xC3\xA9 & \"Tea\"", "Open late", "http://example.com/",
                             "Two for one", "cup.svg", "0", "0", "1"}),
              AdService::kDone);
    AdListModel list;
    QTreeView view;
    SetUpAdListView(view, list);
    ASSERT_TRUE(service.LoadAdList(list));
    view.setCurrentIndex(list.index(0, 0));

    QString text;
    Preview(view, settings, 100, [&](QWidget& preview) {
        // A page closed with a request pending answers it with an empty text.
        PageText(preview, [&](const QString& shown) {
            if (!shown.isEmpty()) text = shown;
        });
        return text.contains("Two for one");
    });
    EXPECT_TRUE(text.contains(QString::fromUtf8("Caf\xC3\xA9 & \"Tea\"\nOpen late\nTwo for one")))
        << text.toStdString();
}

}  // namespace
