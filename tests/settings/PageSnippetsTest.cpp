#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <memory>

#include "FFormCode.h"
#include "PageSnippets.h"
#include "Php.h"
#include "PhpWebServer.h"
#include "SiteSettings.h"
#include "TestDir.h"
#include "Text.h"

namespace {

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
    // PHP's default settings: no php.ini.
    PhpWebServer siteServer(site.Path(""), {"-n", "-d", "extension=curl"});
    TestDir pages;
    pages.Write("page.php",
                HeaderSnippet(siteServer.Url()) + "<p>page</p>" + DisplaySnippet(siteServer.Url()));
    PhpWebServer pageServer(pages.Path(""), {"-n", "-d", "extension=curl"});

    const std::string page = RunPhp(
        {"-r",
         "$c = stream_context_create(['http' => ['header' => 'Cookie: lastadid=3%27%20or%201']]);"
         "echo file_get_contents($argv[1], false, $c); echo \"\\n\", implode(\"\\n\", "
         "$http_response_header);",
         ToQ(pageServer.Url() + "/page.php")});
    EXPECT_EQ(site.Read("asked.txt"), "3");
    EXPECT_NE(page.find("<p>page</p><b>ad 7</b><?php echo \"RAN\"; ?>"), std::string::npos) << page;
    EXPECT_NE(page.find("Set-Cookie: lastadid=7;"), std::string::npos) << page;
}

TEST(FormCode, ShowsBothSnippetsWrappedAndCopiesEachExactly) {
    SiteSettings settings;
    settings.webserver = "http://site.test/" + std::string(150, 'a');  // no blank to wrap at
    TfrmFormCode dialog(settings);
    dialog.show();
    const auto* header = dialog.findChild<QPlainTextEdit*>("memForm");
    EXPECT_TRUE(header->isReadOnly());
    EXPECT_EQ(header->toPlainText().split('\n').size(), 13);  // twelve lines and the last break
    // Every line shows without sideways scrolling: the long ones wrap.
    for (const char* name : {"memForm", "memAd"}) {
        const auto* box = dialog.findChild<QPlainTextEdit*>(name);
        EXPECT_EQ(box->horizontalScrollBar()->maximum(), 0) << name;
        EXPECT_GT(box->document()
                      ->findBlockByNumber(name == std::string("memForm") ? 5 : 2)
                      .layout()
                      ->lineCount(),
                  1)
            << name;
    }
    dialog.findChild<QPushButton*>("bsSkinButton1")->click();
    EXPECT_EQ(FromQ(QApplication::clipboard()->text()), HeaderSnippet(settings.webserver));
    dialog.findChild<QPushButton*>("btnOk")->click();
    EXPECT_EQ(FromQ(QApplication::clipboard()->text()), DisplaySnippet(settings.webserver));
    dialog.findChild<QPushButton*>("btnCancel")->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

}  // namespace
