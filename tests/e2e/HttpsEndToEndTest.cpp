// The owner's client and a visitor's page reaching the reference scripts over https: PHP's
// web server behind a TLS relay whose certificate the test's own authority signed, which
// stands in for the machine's store.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QUrl>
#include <cstdlib>

#include "AdListModel.h"
#include "AdService.h"
#include "AdSite.h"
#include "HttpClient.h"
#include "OwnerKey.h"
#include "OwnersPage.h"
#include "PhpWebServer.h"
#include "ServerScript.h"
#include "SiteSettings.h"
#include "TestCertificates.h"
#include "TlsRelay.h"
#include "TransferFailure.h"

namespace {

TEST(HttpsEndToEnd, TheOwnerAndTheVisitorsReachASiteServedOverHttps) {
    const TestCertificates certificates;
    const AdSite site(Database::SQLite);
    const TlsRelay relay(certificates.Site(), QUrl(QString::fromStdString(site.Url())).port());
    SiteSettings settings;
    site.Configure(settings);
    settings.webserver = relay.Url();
    settings.actionsscript = kActionsScript;
    settings.adswidth = "320px";
    settings.ownerkey = NewOwnerKey();
    site.Upload(ServerSettingsScript(settings));

    setenv("SSL_CERT_FILE", certificates.AuthorityFile().c_str(), 1);
    HttpClient client;
    client.SetReadTimeout(30000);
    AdService service(client, settings.webserver, settings.actionsscript, settings.ownerkey);
    AdListModel list;
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(service.CheckService()) << client.LastFailure().reason;
    ASSERT_EQ(service.AddAd({"", "Shoes", "Sub", "http://example.com/shoes", "About shoes",
                             "Shoes.svg", "0", "0", "1"}),
              AdService::kDone);
    ASSERT_TRUE(service.LoadAdList(list));
    EXPECT_LT(timer.elapsed(), 10000);
    ASSERT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.data(list.index(0, kColumnTitle), Qt::DisplayRole).toString(), "Shoes");

    // The owner's page holds both snippets and runs on PHP's default settings; PHP's curl
    // (the header snippet) and its https stream (the display snippet) are given the test
    // authority, as a real host's PHP finds the machine's store. Without it they must refuse
    // the site, and the page shows no ad.
    const OwnersPage pages(settings.webserver);
    const QString authority = QString::fromStdString(certificates.AuthorityFile());
    const QStringList defaults = {"-n", "-d", "extension=curl"};
    const PhpWebServer trusting(pages.Folder(),
                                defaults + QStringList{"-d", "curl.cainfo=" + authority, "-d",
                                                       "openssl.cafile=" + authority});
    const PhpWebServer untrusting(pages.Folder(), defaults);
    const auto shown = client.Get(trusting.Url("/page.php"));
    ASSERT_TRUE(shown) << client.LastFailure().body;
    EXPECT_NE(shown->find("<p>My page</p><div class=\"qlspad\" style=\"width:320px;"),
              std::string::npos)
        << *shown;
    EXPECT_NE(shown->find("Shoes"), std::string::npos);
    const auto bare = client.Get(untrusting.Url("/page.php"));
    ASSERT_TRUE(bare) << client.LastFailure().body;
    EXPECT_NE(bare->find("<p>My page</p>"), std::string::npos);
    EXPECT_EQ(bare->find("qlspad"), std::string::npos) << *bare;
    unsetenv("SSL_CERT_FILE");

    // Without the authority in its store the owner's client refuses the site too, and the
    // owner learns why; the list keeps its rows.
    EXPECT_FALSE(service.LoadAdList(list));
    EXPECT_EQ(service.FailureMessage("Trouble."),
              std::string("Trouble.\n") + kUntrustedCertificate);
    EXPECT_EQ(list.rowCount(), 1);
}

}  // namespace
