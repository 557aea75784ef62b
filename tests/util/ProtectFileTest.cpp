// The file helpers on real files in a temporary directory.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <random>
#include <stdexcept>

#include "AesLib.h"
#include "FileStream.h"
#include "MemoryStreams.h"
#include "ProtectFile.h"
#include "TestDir.h"

namespace {

std::string Bytes(std::size_t length, unsigned seed = 1) {
    std::mt19937 random(seed);
    std::string bytes(length, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

std::string ContainerUnder(const std::string& password, const std::string& plain) {
    TEncryption engine(password, 1024);
    MemorySource source(plain);
    StringTarget target;
    EXPECT_TRUE(engine.EncryptStream(source, target));
    return target.Bytes();
}

// The message an operation throws, or empty.
template <class F>
std::string ErrorOf(F&& action) {
    try {
        action();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return {};
}

class ProtectFileTest : public ::testing::Test {
  protected:
    TestDir dir_;
};

TEST_F(ProtectFileTest, RoundTripGivesBackTheBytes) {
    for (std::size_t length :
         {std::size_t{1}, std::size_t{4000}, std::size_t{262144}, std::size_t{262144 * 2 + 77}}) {
        const std::string plain = Bytes(length, static_cast<unsigned>(length));
        dir_.Write("plain", plain);
        ProtectFile(dir_.Path("plain"), dir_.Path("dbsettings.dat"));
        const std::string container = dir_.Read("dbsettings.dat");
        EXPECT_EQ(container.size(), length + 20);
        UnprotectFile(dir_.Path("dbsettings.dat"), dir_.Path("dbsettings.sim"));
        EXPECT_TRUE(dir_.Read("dbsettings.sim") == plain) << length;
    }
}

TEST_F(ProtectFileTest, UsesTheProgramsPassPhrase) {
    dir_.Write("plain", "<%%ApplicationName%%>Brand<%%/ApplicationName%%>\r\n");
    ProtectFile(dir_.Path("plain"), dir_.Path("out"));
    TEncryption engine("pedvorunla", 16);
    const std::string container = dir_.Read("out");
    MemorySource source(container);
    StringTarget target;
    EXPECT_TRUE(engine.DecryptStream(source, &target, source.Size()));
    EXPECT_EQ(target.Bytes(), dir_.Read("plain"));
}

TEST_F(ProtectFileTest, EmptyFileGivesTwentyByteContainer) {
    dir_.Write("empty", "");
    ProtectFile(dir_.Path("empty"), dir_.Path("out"));
    EXPECT_EQ(dir_.Read("out").size(), 20u);
    dir_.Write("plain", "old content");
    UnprotectFile(dir_.Path("out"), dir_.Path("plain"));
    EXPECT_TRUE(dir_.Exists("plain"));
    EXPECT_EQ(dir_.Read("plain"), "");
}

TEST_F(ProtectFileTest, ProtectingTwiceGivesDifferentContainers) {
    dir_.Write("plain", "same text");
    ProtectFile(dir_.Path("plain"), dir_.Path("a"));
    ProtectFile(dir_.Path("plain"), dir_.Path("b"));
    EXPECT_NE(dir_.Read("a"), dir_.Read("b"));
}

TEST_F(ProtectFileTest, ForeignOrDamagedContainersReplaceTheTargetSilently) {
    const std::string plain = Bytes(3000);
    std::string damaged = ContainerUnder("pedvorunla", plain);
    damaged.back() ^= 0x01;
    struct Case {
        std::string container, expected;
    };
    for (const Case& c : {Case{ContainerUnder("another one", plain), ""},
                          Case{"this is not a container at all, just text", ""}, Case{"short", ""},
                          Case{damaged, plain}}) {
        dir_.Write("in", c.container);
        dir_.Write("out", "previous content of the target");
        EXPECT_NO_THROW(UnprotectFile(dir_.Path("in"), dir_.Path("out")));
        EXPECT_TRUE(dir_.Read("out") == c.expected) << c.container.size();
    }
}

TEST_F(ProtectFileTest, MissingSourceNamesThePathAndLeavesTheTargetAlone) {
    const std::string missing = dir_.Path("dbsettings.dat");
    EXPECT_EQ(ErrorOf([&] { UnprotectFile(missing, dir_.Path("out")); }),
              "Cannot open file \"" + missing + "\". No such file or directory");
    EXPECT_EQ(ErrorOf([&] { ProtectFile(missing, dir_.Path("out")); }),
              "Cannot open file \"" + missing + "\". No such file or directory");
    EXPECT_FALSE(dir_.Exists("out"));
}

TEST_F(ProtectFileTest, DirectoryIsNoFile) {
    dir_.Write("plain", "text");
    EXPECT_EQ(ErrorOf([&] { ProtectFile(dir_.Path(""), dir_.Path("out")); }),
              "Cannot open file \"" + dir_.Path("") + "\". Is a directory");
    EXPECT_EQ(ErrorOf([&] { ProtectFile(dir_.Path("plain"), dir_.Path("")); }),
              "Cannot create file \"" + dir_.Path("") + "\". Is a directory");
}

TEST_F(ProtectFileTest, TargetThatCannotBeCreatedNamesThePath) {
    dir_.Write("plain", "text");
    const std::string target = dir_.Path("no such folder/dbsettings.sim");
    EXPECT_EQ(ErrorOf([&] { UnprotectFile(dir_.Path("plain"), target); }),
              "Cannot create file \"" + target + "\". No such file or directory");
}

TEST_F(ProtectFileTest, FileCannotBeItsOwnTarget) {
    // Emptying the target first would destroy the source; the lock refuses it instead.
    const std::string plain = Bytes(500);
    dir_.Write("plain", plain);
    const std::string path = dir_.Path("plain");
    EXPECT_EQ(ErrorOf([&] { ProtectFile(path, path); }),
              "Cannot create file \"" + path + "\". Resource temporarily unavailable");
    EXPECT_TRUE(dir_.Read("plain") == plain);
}

TEST_F(ProtectFileTest, TargetHeldByAnotherStreamIsRefused) {
    dir_.Write("plain", "text");
    FileStream holder(dir_.Path("out"), FileStream::Mode::Create);
    EXPECT_NE(ErrorOf([&] { ProtectFile(dir_.Path("plain"), dir_.Path("out")); }), "");
    // A file being written exclusively cannot be read meanwhile either.
    EXPECT_EQ(ErrorOf([&] { UnprotectFile(dir_.Path("out"), dir_.Path("plain2")); }),
              "Cannot open file \"" + dir_.Path("out") + "\". Resource temporarily unavailable");
    EXPECT_FALSE(dir_.Exists("plain2"));
}

TEST_F(ProtectFileTest, PlainCopyIsForTheOwnerOnly) {
    dir_.Write("plain", "secret");
    ProtectFile(dir_.Path("plain"), dir_.Path("dbsettings.dat"));
    dir_.Write("dbsettings.sim", "stale");
    ASSERT_EQ(chmod(dir_.Path("dbsettings.sim").c_str(), 0644), 0);
    UnprotectFile(dir_.Path("dbsettings.dat"), dir_.Path("dbsettings.sim"));
    struct stat info {};
    ASSERT_EQ(stat(dir_.Path("dbsettings.sim").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(dir_.Read("dbsettings.sim"), "secret");
}

// Writes beyond `limit` bytes in any file fail with EFBIG while this lives.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t limit) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lower = saved_;
        lower.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &lower);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

  private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

TEST_F(ProtectFileTest, WriteFailurePartwayIsReportedAndKeepsThePrefix) {
    const std::string plain = Bytes(300000);
    dir_.Write("plain", plain);
    ProtectFile(dir_.Path("plain"), dir_.Path("container"));
    std::string protectError;
    std::string unprotectError;
    {
        FileSizeLimit limit(100000);
        protectError = ErrorOf([&] { ProtectFile(dir_.Path("plain"), dir_.Path("out")); });
        unprotectError = ErrorOf([&] { UnprotectFile(dir_.Path("container"), dir_.Path("sim")); });
    }
    EXPECT_EQ(protectError, "Cannot write file \"" + dir_.Path("out") + "\". File too large");
    EXPECT_EQ(dir_.Read("out").size(), 100000u);
    EXPECT_EQ(unprotectError, "Cannot write file \"" + dir_.Path("sim") + "\". File too large");
    EXPECT_TRUE(dir_.Read("sim") == plain.substr(0, 100000));
}

}  // namespace
