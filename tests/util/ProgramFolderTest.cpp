// Where the program keeps its files: beside a writable executable outside the system's
// folders, in the user's XDG folder otherwise, with a brand installed for every user read
// from the shared data folder.
#include <gtest/gtest.h>

#include <QDir>

#include "AppDir.h"
#include "TestDir.h"

namespace {

TEST(ProgramFolder, WritableExecutableFolderElseTheUsersOwnAndTheSharedBrand) {
    TestDir dir;
    const std::string tmp = dir.Path("");
    const struct {
        std::string exe, xdg, home, prefix, folder;
    } cases[] = {
        {tmp + "bin", tmp + "xdg", tmp + "home", "/usr", tmp + "bin"},
        // /proc takes no new file, not even from root.
        {"/proc", tmp + "xdg", tmp + "home", "/usr", tmp + "xdg/quillspot"},
        {"/proc", "", tmp + "home", "/usr", tmp + "home/.config/quillspot"},
        {"/proc", "relative/xdg", tmp + "home", "/usr", tmp + "home/.config/quillspot"},
        // The system's folders are never the program's, even for root, who may write there.
        {"/usr/bin", tmp + "xdg", tmp + "home", "/usr", tmp + "xdg/quillspot"},
        {"/usr/local/bin", tmp + "xdg", tmp + "home", "/opt/qs", tmp + "xdg/quillspot"},
        {tmp + "prefix/bin", tmp + "xdg", tmp + "home", tmp + "prefix", tmp + "xdg/quillspot"},
        {tmp + "prefix/bin", tmp + "xdg", tmp + "home", tmp + "prefix/", tmp + "xdg/quillspot"},
        {tmp + "prefix", tmp + "xdg", tmp + "home", tmp + "prefix", tmp + "xdg/quillspot"},
        // A folder whose name only begins like the prefix is not inside it.
        {tmp + "prefix/bin", tmp + "xdg", tmp + "home", tmp + "pre", tmp + "prefix/bin"},
        // A prefix of "/" would hold every folder: it counts for nothing beyond /usr.
        {tmp + "bin", tmp + "xdg", tmp + "home", "/", tmp + "bin"},
    };
    QDir().mkpath(QString::fromStdString(tmp + "bin"));
    QDir().mkpath(QString::fromStdString(tmp + "prefix/bin"));
    for (const auto& c : cases) {
        EXPECT_EQ(ChooseProgramFolder(c.exe, c.xdg, c.home, c.prefix), c.folder)
            << c.exe << " " << c.xdg << " " << c.prefix;
        EXPECT_TRUE(QDir(QString::fromStdString(c.folder)).exists());
    }
    // The writability probe leaves nothing behind in the folders it tried.
    for (const char* tried : {"bin", "prefix/bin"})
        EXPECT_TRUE(QDir(QString::fromStdString(tmp + tried))
                        .entryList(QDir::Files | QDir::Hidden)
                        .isEmpty())
            << tried;

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
