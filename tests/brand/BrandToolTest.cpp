// The reseller's command-line tool, run as a separate program on real files.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QProcess>
#include <QStringList>
#include <fstream>

#include "AesLib.h"
#include "MemoryStreams.h"
#include "ProtectFile.h"
#include "TestDir.h"

namespace {

struct Result {
    int exitCode = -1;
    std::string out, err;
};

Result RunTool(const QStringList& args) {
    QProcess tool;
    tool.start(QStringLiteral(BRAND_TOOL), args);
    Result r;
    if (!tool.waitForFinished(60000) || tool.exitStatus() != QProcess::NormalExit) return r;
    r.exitCode = tool.exitCode();
    r.out = tool.readAllStandardOutput().toStdString();
    r.err = tool.readAllStandardError().toStdString();
    return r;
}

const std::string kProfile =
    "<%%ApplicationName%%>Ad Manager<%%/ApplicationName%%>\r\n"
    "<%%AppHelpURL%%>http://help.example/<%%/AppHelpURL%%>\r\n"
    "<%%BranderType%%>Gold<%%/BranderType%%>\r\n"
    "<%%Banner1%%>banner1.dat<%%/Banner1%%>\r\n";

class BrandTool : public ::testing::Test {
  protected:
    QString Path(const std::string& name) const { return QString::fromStdString(dir_.Path(name)); }
    TestDir dir_;
};

TEST_F(BrandTool, ProtectMakesWhatTheProgramReads) {
    dir_.Write("profile.txt", kProfile);
    const Result r = RunTool({"protect", Path("profile.txt"), Path("dbsettings.dat")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(dir_.Read("dbsettings.dat").size(), kProfile.size() + 20);
    UnprotectFile(dir_.Path("dbsettings.dat"), dir_.Path("dbsettings.sim"));
    EXPECT_EQ(dir_.Read("dbsettings.sim"), kProfile);
}

TEST_F(BrandTool, UnprotectWritesThePlainTextForTheOwnerOnly) {
    dir_.Write("profile.txt", kProfile);
    ProtectFile(dir_.Path("profile.txt"), dir_.Path("dbsettings.dat"));
    const Result r = RunTool({"unprotect", Path("dbsettings.dat"), Path("plain.txt")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(dir_.Read("plain.txt"), kProfile);
    struct stat info {};
    ASSERT_EQ(stat(dir_.Path("plain.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(BrandTool, FailedUnprotectLeavesNoOutputBehind) {
    TEncryption other("not the program's pass phrase", 64);
    MemorySource plain(kProfile);
    StringTarget foreign;
    ASSERT_TRUE(other.EncryptStream(plain, foreign));
    dir_.Write("foreign.dat", foreign.Bytes());
    dir_.Write("profile.txt", kProfile);
    ProtectFile(dir_.Path("profile.txt"), dir_.Path("damaged.dat"));
    std::string damaged = dir_.Read("damaged.dat");
    damaged.back() ^= 0x01;
    dir_.Write("damaged.dat", damaged);

    for (const char* input : {"foreign.dat", "damaged.dat", "profile.txt"}) {
        SCOPED_TRACE(input);
        const Result r = RunTool({"unprotect", Path(input), Path("out.txt")});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find("is not a brand profile of this program, or it is damaged"),
                  std::string::npos)
            << r.err;
        EXPECT_FALSE(dir_.Exists("out.txt"));
    }
    // An OUT that was there before stays as it was.
    dir_.Write("out.txt", "earlier");
    EXPECT_EQ(RunTool({"unprotect", Path("damaged.dat"), Path("out.txt")}).exitCode, 1);
    EXPECT_EQ(dir_.Read("out.txt"), "earlier");
}

TEST_F(BrandTool, CheckListsTagsInReadingOrderAndWarns) {
    dir_.Write("profile.txt", kProfile);
    ProtectFile(dir_.Path("profile.txt"), dir_.Path("dbsettings.dat"));
    const Result r = RunTool({"check", Path("dbsettings.dat")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::size_t name = r.out.find("  ApplicationName = Ad Manager\n");
    const std::size_t type = r.out.find("  BranderType = Gold\n");
    const std::size_t banner = r.out.find("  Banner1 = banner1.dat\n");
    EXPECT_NE(name, std::string::npos) << r.out;
    EXPECT_LT(name, type);
    EXPECT_LT(type, banner);
    EXPECT_NE(banner, std::string::npos);
    EXPECT_NE(r.out.find("warning: AppHelpURL stands before a tag that is read earlier"),
              std::string::npos);
    EXPECT_NE(r.out.find("warning: Banner1 has no \"^\""), std::string::npos);
}

TEST_F(BrandTool, CheckRejectsADamagedContainer) {
    dir_.Write("profile.txt", kProfile);
    ProtectFile(dir_.Path("profile.txt"), dir_.Path("dbsettings.dat"));
    std::string damaged = dir_.Read("dbsettings.dat");
    damaged[15] ^= 0x01;
    dir_.Write("dbsettings.dat", damaged);
    const Result r = RunTool({"check", Path("dbsettings.dat")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
}

TEST_F(BrandTool, MissingInputAndBadUsage) {
    const Result missing = RunTool({"protect", Path("nothing.txt"), Path("out.dat")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "quillspot-brand: Cannot open file \"" + dir_.Path("nothing.txt") +
                               "\". No such file or directory\n");
    EXPECT_FALSE(dir_.Exists("out.dat"));
    const Result usage = RunTool({"protect", Path("only-one.txt")});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_NE(usage.err.find("usage: quillspot-brand protect PLAIN OUT"), std::string::npos);
}

// The plain text streams through the container into OUT: the tool's peak memory stays far
// below the size of what it protects. A child's peak also counts what this process held
// when it forked, so the input is never held here whole and is large beside this process.
TEST_F(BrandTool, ProtectStreamsALargeInput) {
    constexpr size_t kChunk = size_t{1} << 20;
    constexpr size_t kChunks = 256;
    std::string chunk(kChunk, '\0');
    const auto fill = [&](size_t n) {
        std::fill(chunk.begin(), chunk.end(), static_cast<char>(n));
    };
    {
        std::ofstream file(dir_.Path("large.txt"), std::ios::binary);
        for (size_t n = 0; n < kChunks; ++n) {
            fill(n);
            file.write(chunk.data(), kChunk);
        }
    }
    const std::string in = dir_.Path("large.txt");
    const std::string out = dir_.Path("large.dat");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        execl(BRAND_TOOL, BRAND_TOOL, "protect", in.c_str(), out.c_str(), nullptr);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    ASSERT_EQ(wait4(child, &status, 0, &usage), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_LT(static_cast<size_t>(usage.ru_maxrss) * 1024, kChunks * kChunk / 2);

    UnprotectFile(out, dir_.Path("back.txt"));
    std::ifstream back(dir_.Path("back.txt"), std::ios::binary);
    std::string piece(kChunk, '\0');
    for (size_t n = 0; n < kChunks; ++n) {
        fill(n);
        ASSERT_TRUE(back.read(piece.data(), kChunk)) << n;
        ASSERT_TRUE(piece == chunk) << n;
    }
    EXPECT_EQ(back.peek(), EOF);
}

}  // namespace
