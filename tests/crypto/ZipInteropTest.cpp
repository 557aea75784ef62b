// The container is the encrypted data of an AES-encrypted ZIP entry. 7-Zip, an independent
// implementation of that format, must read our containers, and we must read its entries.
#include <gtest/gtest.h>

#include <string_view>

#include "AesZip.h"
#include "ContainerHelpers.h"
#include "TestDir.h"

namespace {

struct Strength {
    std::string password;  // its length selects the mode
    int mode;
    std::string sevenZipMethod;
};

const std::vector<Strength>& Strengths() {
    static const std::vector<Strength> all = {
        {"pedvorunla", 1, "AES128"},
        {"a pass phrase of forty bytes...........", 2, "AES192"},
        {"and one that is long enough to select AES-256 mode!", 3, "AES256"},
    };
    return all;
}

bool SevenZipFound() {
    return std::string_view(SEVEN_ZIP_EXECUTABLE).find("NOTFOUND") == std::string_view::npos;
}

class ZipInterop : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SevenZipFound()) << "7z is missing; scripts/install-deps.sh installs it";
    }
    TestDir dir_;
};

TEST_F(ZipInterop, SevenZipExtractsAndVerifiesOurContainers) {
    const std::string plain = PatternBytes(70000, 9);
    for (const Strength& s : Strengths()) {
        SCOPED_TRACE(s.sevenZipMethod);
        TEncryption engine(s.password, 4096);
        ASSERT_EQ(engine.Mode(), s.mode);
        AesZipEntry entry{"plain.bin", s.mode, 0, Encrypt(engine, plain)};
        dir_.Write("ours.zip", MakeAesZip(entry, static_cast<std::uint32_t>(plain.size())));
        const std::string zip = dir_.Path("ours.zip");

        EXPECT_EQ(RunSevenZip({"t", "-p" + s.password, zip}).exitCode, 0);
        const ToolRun extracted = RunSevenZip({"x", "-so", "-p" + s.password, zip});
        EXPECT_EQ(extracted.exitCode, 0);
        EXPECT_TRUE(extracted.output == plain) << "extracted " << extracted.output.size();

        // 7-Zip checks our authentication code: a changed code byte must fail its test.
        entry.data.back() ^= 0x01;
        dir_.Write("bad.zip", MakeAesZip(entry, static_cast<std::uint32_t>(plain.size())));
        EXPECT_NE(RunSevenZip({"t", "-p" + s.password, dir_.Path("bad.zip")}).exitCode, 0);
    }
}

TEST_F(ZipInterop, WeDecryptSevenZipEntries) {
    const std::string plain = PatternBytes(50000, 4);
    dir_.Write("plain.bin", plain);
    for (const Strength& s : Strengths()) {
        SCOPED_TRACE(s.sevenZipMethod);
        const std::string zip = dir_.Path(s.sevenZipMethod + ".zip");
        ASSERT_EQ(RunSevenZip({"a", "-tzip", "-mx=0", "-mem=" + s.sevenZipMethod, "-p" + s.password,
                               zip, dir_.Path("plain.bin")})
                      .exitCode,
                  0);
        AesZipEntry entry = ReadFirstAesEntry(dir_.Read(s.sevenZipMethod + ".zip"));
        EXPECT_EQ(entry.strength, s.mode);
        ASSERT_EQ(entry.actualMethod, 0);
        ASSERT_EQ(entry.data.size(), plain.size() + 4 * s.mode + 4 + 12);

        bool ok = false;
        EXPECT_TRUE(Decrypt(s.password, entry.data, ok) == plain);
        EXPECT_TRUE(ok);

        entry.data[entry.data.size() / 2] ^= 0x10;
        Decrypt(s.password, entry.data, ok);
        EXPECT_FALSE(ok);
    }
}

}  // namespace
