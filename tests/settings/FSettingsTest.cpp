#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "ErrorReport.h"
#include "FSettings.h"
#include "MessageRecorder.h"
#include "OwnerKey.h"
#include "Php.h"
#include "ServerScript.h"
#include "SiteSettings.h"
#include "TestDir.h"
#include "Text.h"

namespace {

std::string Hex(const std::string& bytes) {
    return QByteArray::fromStdString(bytes).toHex().toStdString();
}

// PHP itself reads the written script back: every value must arrive as typed.
TEST(ServerScript, PhpReadsBackEveryValueAsTyped) {
    const std::vector<std::array<std::string, 5>> cases = {
        {"db.example.com", "ads", "owner", "", "500px"},
        {"h$ost", "d\"b", "u\\ser", "pa$$w\"o\\r'd{$x}", "-5%"},
        {"\xc3\xa9t\xe9", "\\\"", "$_GET", "line\r\nbreak\x7f\x01", "px"},
    };
    for (const auto& c : cases) {
        TestDir dir;
        SiteSettings values;
        values.dbhostname = c[0];
        values.dbdatabase = c[1];
        values.dbusername = c[2];
        values.dbpassword = c[3];
        values.adswidth = c[4];
        values.ownerkey = std::string(64, 'e');
        WriteServerSettingsScript(values);
        const std::string script = dir.Read(kServerScriptFile);
        EXPECT_EQ(std::count(script.begin(), script.end(), '\n'), 8) << script;
        EXPECT_TRUE(script.ends_with("  $ownerkey=\"" + values.ownerkey + "\";\r\n?>\r\n"));
        EXPECT_EQ(script.rfind("<?php\r\n", 0), 0u);
        const std::string read = RunPhp(
            {"-r",
             "include $argv[1]; foreach ([$hostname, $database, $username, $password, $adswidth] "
             "as $v) echo bin2hex($v), \"\\n\";",
             ToQ(dir.Path(kServerScriptFile))});
        std::string expected;
        for (const std::string& value : c) expected += Hex(value) + "\n";
        EXPECT_EQ(read, expected) << script;
    }
}

TEST(FSettings, WidthOpensAsNumberAndUnit) {
    const struct {
        const char* stored;
        int number;
        bool percent;
    } cases[] = {
        {"80%", 80, true},   {"500px", 500, false},        {"50px%", 50, true},
        {"", 500, false},    {"abc%", 500, true},          {"12 px", 500, false},
        {"-5px", -5, false}, {"2147483648px", 500, false}, {"%", 500, true},
        {"+7px", 7, false},
    };
    for (const auto& c : cases) {
        const AdsWidthParts parts = ReadAdsWidth(c.stored);
        EXPECT_EQ(parts.number, c.number) << c.stored;
        EXPECT_EQ(parts.percent, c.percent) << c.stored;
    }
}

class FSettingsDialog : public ::testing::Test {
  protected:
    FSettingsDialog() {
        settings.webserver = "http://old";
        settings.adswidth = "80%";
        SetErrorReportSink(&messages);
    }
    ~FSettingsDialog() override { SetErrorReportSink(nullptr); }

    template <class T>
    T* Find(QWidget& w, const char* name) {
        return w.findChild<T*>(name);
    }

    TestDir dir;
    SiteSettings settings;
    MessageRecorder messages;
};

TEST_F(FSettingsDialog, OkWritesTheScriptThenStoresTheValues) {
    TfrmSettings dialog(settings);
    dialog.show();
    EXPECT_EQ(Find<QLineEdit>(dialog, "edtAdsWidth")->text(), "80");
    EXPECT_EQ(Find<QComboBox>(dialog, "cbxAdsUnits")->currentText(), "%");
    Find<QLineEdit>(dialog, "edtSite")->setText("http://new");
    Find<QLineEdit>(dialog, "edtPassword")->setText("s$cret");
    QLineEdit* width = Find<QLineEdit>(dialog, "edtAdsWidth");
    width->clear();
    QTest::keyClicks(width, "1a2-x3-");  // only digits and one minus sign get in
    QTest::keyClick(width, Qt::Key_Return);
    EXPECT_EQ(width->text(), "12-3");
    Find<QComboBox>(dialog, "cbxAdsUnits")->setCurrentIndex(0);
    Find<QPushButton>(dialog, "btnOk")->click();

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(settings.webserver, "http://new");
    EXPECT_EQ(settings.dbpassword, "s$cret");
    EXPECT_EQ(settings.adswidth, "12-3px");
    EXPECT_NE(dir.Read(kServerScriptFile).find("  $password=\"s\\$cret\";\r\n"), std::string::npos);
    EXPECT_TRUE(messages.shown.empty());
}

// The key is made by the first Ok and kept: a new one would lock the owner out until the
// script is uploaded again. Both files holding it are the owner's only.
TEST_F(FSettingsDialog, TheOwnerKeyIsMadeOnceAndKeptInFilesOnlyTheOwnerReads) {
    std::string keys[2];
    for (std::string& key : keys) {
        TfrmSettings dialog(settings);
        dialog.show();
        Find<QPushButton>(dialog, "btnOk")->click();
        key = settings.ownerkey;
        EXPECT_NE(dir.Read(kServerScriptFile).find("  $ownerkey=\"" + key + "\";\r\n?>"),
                  std::string::npos);
    }
    EXPECT_TRUE(IsOwnerKey(keys[0]));
    EXPECT_EQ(keys[0].find_first_not_of("0123456789abcdef"), std::string::npos);
    EXPECT_EQ(keys[1], keys[0]);
    SaveSiteSettings(settings);
    for (const char* file : {kServerScriptFile, kSiteSettingsFile})
        EXPECT_EQ(QFile::permissions(ToQ(dir.Path(file))),
                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                      QFileDevice::WriteUser)
            << file;
    // One a hand has spoilt is made anew, since it could sign nothing.
    settings.ownerkey = keys[0].substr(1);
    TfrmSettings dialog(settings);
    Find<QPushButton>(dialog, "btnOk")->click();
    EXPECT_TRUE(IsOwnerKey(settings.ownerkey));
    EXPECT_NE(settings.ownerkey, keys[0]);
}

TEST_F(FSettingsDialog, ARefusedWriteIsReportedAndChangesNothing) {
    // A folder where the script should go: the file cannot be replaced.
    ASSERT_TRUE(QDir().mkpath(ToQ(dir.Path(kServerScriptFile))));
    TfrmSettings dialog(settings);
    dialog.show();
    Find<QLineEdit>(dialog, "edtSite")->setText("http://new");
    Find<QPushButton>(dialog, "btnOk")->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(settings.webserver, "http://old");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find(dir.Path(kServerScriptFile)), std::string::npos)
        << messages.shown[0].text;

    Find<QPushButton>(dialog, "btnCancel")->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(settings.webserver, "http://old");
}

}  // namespace
