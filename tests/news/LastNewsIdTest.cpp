// The last news item opened, kept in a real brand profile container in a temporary folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>

#include "AppDir.h"
#include "LastNewsId.h"
#include "ProtectFile.h"
#include "ProtectedBytes.h"
#include "TestDir.h"

namespace {

class LastNewsIdTest : public ::testing::Test {
  protected:
    std::string Profile() const { return dir.Path("dbsettings.dat"); }
    std::string Plain() const {
        const PlainText plain = DecryptProtectedFile(Profile());
        return plain.authentic ? plain.bytes : "<not sound>";
    }
    TestDir dir;
};

TEST_F(LastNewsIdTest, WritingReplacesOrAddsTheTagAndKeepsEveryOtherByte) {
    const std::string tag = "<%%LastNewsId%%>12<%%/LastNewsId%%>";
    const struct {
        std::string before, after, readBack;
    } cases[] = {
        {"<%%BranderType%%>Gold<%%/BranderType%%>",
         "<%%BranderType%%>Gold<%%/BranderType%%>\r\n" + tag + "\r\n", "12"},
        {"A\nB\r\n<%%LastNewsId%%>3<%%/LastNewsId%%>\rC", "A\r\nB\r\n" + tag + "\r\nC\r\n", "12"},
        {"x <%%LastNewsId%%>3<%%/LastNewsId%%> y\r\n", "x " + tag + " y\r\n", "12"},
        {"<%%LastNewsId%%>3\r\n<%%/LastNewsId%%>\r\n", tag + "\r\n<%%/LastNewsId%%>\r\n", "12"},
        // Another letter case is read but not rewritten: the new tag goes after it.
        {"<%%lastnewsid%%>5<%%/LASTNEWSID%%>\r\n",
         "<%%lastnewsid%%>5<%%/LASTNEWSID%%>\r\n" + tag + "\r\n", "5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before);
        dir.Write("dbsettings.dat", ProtectedBytes(c.before));
        WriteLastNewsId(Profile(), Profile(), "12");
        EXPECT_EQ(Plain(), c.after);
        EXPECT_EQ(ReadLastNewsId(Profile()), c.readBack);
        EXPECT_EQ(QDir(QString::fromStdString(dir.Path(""))).entryList(QDir::Files),
                  QStringList{"dbsettings.dat"});
    }
    QProcess tool;
    tool.start(QStringLiteral(BRAND_TOOL), {"check", QString::fromStdString(Profile())});
    ASSERT_TRUE(tool.waitForFinished(30000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    EXPECT_TRUE(tool.readAllStandardOutput().contains("container verified"));
}

// The first rewrite of a brand shipped in the shared folder makes the owner's own copy, which is
// read from then on, and leaves the shared one alone.
TEST_F(LastNewsIdTest, AnInstalledBrandIsRewrittenAsTheOwnersOwnCopy) {
    QDir().mkpath(QString::fromStdString(dir.Path("share")));
    SetSharedDataDirForTesting(dir.Path("share"));
    const std::string shared =
        ProtectedBytes("<%%ApplicationName%%>Shared<%%/ApplicationName%%>\r\n");
    dir.Write("share/dbsettings.dat", shared);
    EXPECT_EQ(BrandFilePath("dbsettings.dat"), dir.Path("share/dbsettings.dat"));
    WriteLastNewsId(BrandFilePath("dbsettings.dat"), AppFilePath("dbsettings.dat"), "7");
    EXPECT_EQ(BrandFilePath("dbsettings.dat"), dir.Path("dbsettings.dat"));
    EXPECT_EQ(ReadLastNewsId(BrandFilePath("dbsettings.dat")), "7");
    EXPECT_EQ(dir.Read("share/dbsettings.dat"), shared);
    SetSharedDataDirForTesting("");
}

TEST_F(LastNewsIdTest, AProfileThatIsNotSoundIsLeftByteForByte) {
    std::string badCode = ProtectedBytes("<%%LastNewsId%%>1<%%/LastNewsId%%>\r\n");
    badCode.back() ^= 1;
    const std::string cases[] = {badCode,
                                 ProtectedBytes("<%%LastNewsId%%>1<%%/LastNewsId%%>", "other"),
                                 ProtectedBytes(""), "short"};
    for (const std::string& bytes : cases) {
        dir.Write("dbsettings.dat", bytes);
        EXPECT_THROW(WriteLastNewsId(Profile(), Profile(), "9"), std::runtime_error);
        EXPECT_EQ(dir.Read("dbsettings.dat"), bytes);
        EXPECT_EQ(QDir(QString::fromStdString(dir.Path(""))).entryList(QDir::Files).size(), 1);
    }
}

}  // namespace
