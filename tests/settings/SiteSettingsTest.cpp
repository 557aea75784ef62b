#include <gtest/gtest.h>

#include <stdexcept>

#include "AppDir.h"
#include "SiteSettings.h"
#include "TestDir.h"

namespace {

SiteSettings Loaded() {
    SiteSettings s;
    s.webserver = "stale";
    LoadSiteSettings(s);
    return s;
}

TEST(SiteSettings, NoFileGivesTheDefaults) {
    TestDir dir;
    const SiteSettings s = Loaded();
    EXPECT_EQ(s.webserver, "");
    EXPECT_EQ(s.dbpassword, "");
    EXPECT_EQ(s.adswidth, "500px");
    EXPECT_EQ(s.actionsscript, "qlspactions.php");
}

TEST(SiteSettings, ReadsEveryKeyAndEmptiesMissingOnes) {
    TestDir dir;
    dir.Write("qlspsettings.dat",
              "[SETTINGS]\r\nWEBSERVER=\"http://site.test\"\r\nDbHostName = db \r\n"
              "dbdatabase=ads\r\ndbusername=me\r\ndbpassword='p w'\r\nOwnerKey=ab12\r\n");
    const SiteSettings s = Loaded();
    EXPECT_EQ(s.ownerkey, "ab12");
    EXPECT_EQ(s.webserver, "http://site.test");
    EXPECT_EQ(s.dbhostname, "db");
    EXPECT_EQ(s.dbdatabase, "ads");
    EXPECT_EQ(s.dbusername, "me");
    EXPECT_EQ(s.dbpassword, "p w");
    EXPECT_EQ(s.adswidth, "");
    EXPECT_EQ(s.actionsscript, "qlspactions.php");
}

TEST(SiteSettings, SaveWritesEveryKeyAndKeepsHandEdits) {
    TestDir dir;
    dir.Write("qlspsettings.dat", "[Extra]\r\nmine=1\r\n[Settings]\r\nwebserver=old\r\n");
    SiteSettings s;
    LoadSiteSettings(s);
    s.webserver = "http://new.test";
    s.dbpassword = "secret";
    SaveSiteSettings(s);
    EXPECT_EQ(dir.Read("qlspsettings.dat"),
              "[Extra]\r\nmine=1\r\n[Settings]\r\nwebserver=http://new.test\r\ndbhostname=\r\n"
              "dbdatabase=\r\ndbusername=\r\ndbpassword=secret\r\nadswidth=\r\nownerkey=\r\n");
    const SiteSettings back = Loaded();
    EXPECT_EQ(back.webserver, "http://new.test");
    EXPECT_EQ(back.dbpassword, "secret");
}

TEST(SiteSettings, FirstSaveCreatesTheFile) {
    TestDir dir;
    SiteSettings s;
    LoadSiteSettings(s);
    SaveSiteSettings(s);
    EXPECT_EQ(Loaded().adswidth, "500px");
    EXPECT_EQ(Loaded().webserver, "");
}

TEST(SiteSettings, RefusedSaveRaisesTheMessageWithTheFullPath) {
    TestDir dir;
    dir.Write("not-a-dir", "x");
    SetAppDirForTesting(dir.Path("not-a-dir"));
    SiteSettings s;
    try {
        SaveSiteSettings(s);
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Unable to write to " + dir.Path("not-a-dir") + "/qlspsettings.dat");
    }
}

TEST(SiteSettings, BadFilesLoadWithoutHarm) {
    TestDir dir;
    std::string garbage;
    for (int i = 0; i < 65536; ++i) garbage += static_cast<char>(i * 31 % 251);
    dir.Write("qlspsettings.dat", garbage);
    EXPECT_EQ(Loaded().webserver, "");
    dir.Write("qlspsettings.dat", "[Settings]\nwebserver=http://no-newline");
    EXPECT_EQ(Loaded().webserver, "http://no-newline");
}

}  // namespace
