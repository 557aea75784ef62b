// Where the program keeps its files: beside a writable executable, in the user's XDG folder
// otherwise, with a brand installed for every user read from the shared data folder.
#include <gtest/gtest.h>

#include <QDir>

#include "AppDir.h"
#include "TestDir.h"

namespace {

TEST(ProgramFolder, WritableExecutableFolderElseTheUsersOwnAndTheSharedBrand) {
    TestDir dir;
    const std::string tmp = dir.Path("");
    const struct {
        std::string exe, xdg, home, folder;
    } cases[] = {
        {tmp + "bin", tmp + "xdg", tmp + "home", tmp + "bin"},
        // /proc takes no new file, not even from root.
        {"/proc", tmp + "xdg", tmp + "home", tmp + "xdg/quillspot"},
        {"/proc", "", tmp + "home", tmp + "home/.config/quillspot"},
        {"/proc", "relative/xdg", tmp + "home", tmp + "home/.config/quillspot"},
    };
    QDir().mkpath(QString::fromStdString(tmp + "bin"));
    for (const auto& c : cases) {
        EXPECT_EQ(ChooseProgramFolder(c.exe, c.xdg, c.home), c.folder) << c.exe << " " << c.xdg;
        EXPECT_TRUE(QDir(QString::fromStdString(c.folder)).exists());
    }
    // The writability probe leaves nothing behind in the folder it tried.
    EXPECT_TRUE(
        QDir(QString::fromStdString(tmp + "bin")).entryList(QDir::Files | QDir::Hidden).isEmpty());

    // A brand shipped in the shared folder is read there until the owner has a copy of
    // their own.
    QDir().mkpath(QString::fromStdString(tmp + "share"));
    SetSharedDataDirForTesting(tmp + "share");
    dir.Write("share/dbsettings.dat", "profile");
    dir.Write("share/main.ico", "icon");
    dir.Write("main.ico", "own icon");
    EXPECT_EQ(BrandFilePath("main.ico"), tmp + "main.ico");
    EXPECT_EQ(BrandFilePath("mainskin.dat"), tmp + "mainskin.dat");
    EXPECT_EQ(BrandFilePath("dbsettings.dat"), tmp + "share/dbsettings.dat");
    SetSharedDataDirForTesting("");
}

}  // namespace
