#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTcpSocket>
#include <QTest>
#include <memory>

#include "FFormCode.h"
#include "LocalPort.h"
#include "PageSnippets.h"
#include "Php.h"
#include "SiteSettings.h"
#include "TestDir.h"
#include "Text.h"

namespace {

// PHP's own web server on PHP's default settings (no php.ini), serving `dir`.
class PhpServer {
  public:
    explicit PhpServer(const std::string& dir) : port_(UnusedLocalPort()) {
        server_.start("php", {"-n", "-d", "extension=curl", "-S",
                              QString("127.0.0.1:%1").arg(port_), "-t", ToQ(dir)});
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                QTcpSocket probe;
                probe.connectToHost("127.0.0.1", static_cast<quint16>(port_));
                return probe.waitForConnected(100);
            },
            10000));
    }
    ~PhpServer() {
        server_.kill();
        server_.waitForFinished();
    }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_); }

  private:
    int port_;
    QProcess server_;
};

TEST(PageSnippets, AreTwelveAndFourLinesWithTheSiteUrlEscaped) {
    const std::string header = HeaderSnippet("http://a.test/x$y");
    EXPECT_EQ(std::count(header.begin(), header.end(), '\n'), 12);
    EXPECT_EQ(header.rfind("<?php\r\n$lastadid=0;\r\n", 0), 0u);
    EXPECT_NE(header.find("curl_setopt($ch, CURLOPT_URL, \"http://a.test/x\\$y/qlspgetid.php?"
                          "lastadid=$lastadid\");\r\n"),
              std::string::npos);
    EXPECT_EQ(DisplaySnippet(""),
              "<?php\r\nif ($ad_id>0)\r\n   readfile(\"/qlspshow.php?ad_id=$ad_id\");\r\n?>\r\n");
}

// A page made of both snippets, run by PHP on its default settings against a site whose
// scripts are PHP too: the visitor's cookie reaches the site as a whole number, and the
// display script's output is printed, never run.
TEST(PageSnippets, RunInAPageAgainstTheSite) {
    TestDir site;
    site.Write("qlspgetid.php",
               "<?php file_put_contents(__DIR__ . '/asked.txt', $_GET['lastadid']); echo '7';");
    site.Write("qlspshow.php",
               "<?php echo '<b>ad ', $_GET['ad_id'], '</b>'; echo '<?php echo \"RAN\"; ?>';");
    PhpServer siteServer(site.Path(""));
    TestDir pages;
    pages.Write("page.php",
                HeaderSnippet(siteServer.Url()) + "<p>page</p>" + DisplaySnippet(siteServer.Url()));
    PhpServer pageServer(pages.Path(""));

    const std::string page = RunPhp(
        {"-r",
         "$c = stream_context_create(['http' => ['header' => 'Cookie: lastadid=3%27%20or%201']]);"
         "echo file_get_contents($argv[1], false, $c); echo \"\\n\", implode(\"\\n\", "
         "$http_response_header);",
         ToQ(pageServer.Url() + "/page.php")});
    EXPECT_EQ(site.Read("asked.txt"), "3");
    EXPECT_NE(page.find("<p>page</p><b>ad 7</b><?php echo \"RAN\"; ?>"), std::string::npos)
        << page;
    EXPECT_NE(page.find("Set-Cookie: lastadid=7;"), std::string::npos) << page;
}

TEST(FormCode, ShowsBothSnippetsAndCopiesEach) {
    SiteSettings settings;
    settings.webserver = "http://site.test";
    TfrmFormCode dialog(settings);
    const auto* header = dialog.findChild<QPlainTextEdit*>("memForm");
    EXPECT_TRUE(header->isReadOnly());
    EXPECT_EQ(header->toPlainText().split('\n').size(), 13);  // twelve lines and the last break
    dialog.findChild<QPushButton*>("bsSkinButton1")->click();
    EXPECT_EQ(FromQ(QApplication::clipboard()->text()), HeaderSnippet(settings.webserver));
    dialog.findChild<QPushButton*>("btnOk")->click();
    EXPECT_EQ(FromQ(QApplication::clipboard()->text()), DisplaySnippet(settings.webserver));
    dialog.findChild<QPushButton*>("btnCancel")->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

}  // namespace
