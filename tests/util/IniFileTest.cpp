#include <gtest/gtest.h>

#include <stdexcept>

#include "IniFile.h"
#include "TestDir.h"

namespace {

std::string ReadBack(const TestDir& dir, const std::string& content, const std::string& section,
                     const std::string& key) {
    dir.Write("t.ini", content);
    return IniFile(dir.Path("t.ini")).ReadString(section, key, "<none>");
}

TEST(IniFileRead, NamesMatchWhateverTheirCase) {
    TestDir dir;
    EXPECT_EQ(ReadBack(dir, "[SETTINGS]\r\nWEBSERVER=http://a\r\n", "Settings", "webserver"),
              "http://a");
    EXPECT_EQ(ReadBack(dir, "[settings]\nWebServer=x\n", "Settings", "WEBSERVER"), "x");
}

TEST(IniFileRead, ValueLosesBlanksAndOnePairOfQuotes) {
    TestDir dir;
    EXPECT_EQ(ReadBack(dir, "[S]\n  k  =  a b  \n", "S", "k"), "a b");
    EXPECT_EQ(ReadBack(dir, "[S]\nk=\"quoted value\"\n", "S", "k"), "quoted value");
    EXPECT_EQ(ReadBack(dir, "[S]\nk= 'single' \n", "S", "k"), "single");
    EXPECT_EQ(ReadBack(dir, "[S]\nk=\"\"twice\"\"\n", "S", "k"), "\"twice\"");
    EXPECT_EQ(ReadBack(dir, "[S]\nk=\"mixed'\n", "S", "k"), "\"mixed'");
    EXPECT_EQ(ReadBack(dir, "[S]\nk=\"\n", "S", "k"), "\"");
    EXPECT_EQ(ReadBack(dir, "[S]\nk=a=b\n", "S", "k"), "a=b");
}

TEST(IniFileRead, MissingPiecesGiveTheFallback) {
    TestDir dir;
    EXPECT_EQ(ReadBack(dir, "[S]\nk=v\n", "S", "other"), "<none>");
    EXPECT_EQ(ReadBack(dir, "[S]\nk=v\n", "T", "k"), "<none>");
    EXPECT_EQ(ReadBack(dir, "k=v\n[S]\n", "S", "k"), "<none>");
    EXPECT_EQ(ReadBack(dir, "[S]\n[T]\nk=v\n", "S", "k"), "<none>");
    EXPECT_EQ(IniFile(dir.Path("missing.ini")).ReadString("S", "k", "dflt"), "dflt");
}

TEST(IniFileRead, EmptyValueIsNotTheFallback) {
    TestDir dir;
    EXPECT_EQ(ReadBack(dir, "[S]\nk=\n", "S", "k"), "");
}

TEST(IniFileRead, LongValueIsCutAt2047Bytes) {
    TestDir dir;
    const std::string value(5000, 'v');
    const std::string read = ReadBack(dir, "[S]\nk=" + value + "\n", "S", "k");
    EXPECT_EQ(read, value.substr(0, 2047));
}

TEST(IniFileRead, BadFilesLoadWithoutHarm) {
    TestDir dir;
    std::string garbage;
    for (int i = 0; i < 100000; ++i) garbage += static_cast<char>((i * 7919) % 256);
    EXPECT_EQ(ReadBack(dir, garbage, "S", "k"), "<none>");
    EXPECT_EQ(ReadBack(dir, garbage + "\n[S]\nk=found", "S", "k"), "found");
    EXPECT_EQ(ReadBack(dir, std::string("[S]\nk=ab\0cd\n", 12), "S", "k"), "ab");

    std::string huge = "[S]\r\n";
    while (huge.size() < 10 * 1024 * 1024) huge += "filler=0123456789012345678901234567890\r\n";
    EXPECT_EQ(ReadBack(dir, huge + "k=last", "S", "k"), "last");
}

TEST(IniFileWrite, CreatesFileSectionAndKey) {
    TestDir dir;
    IniFile ini(dir.Path("new.ini"));
    ini.WriteString("Settings", "webserver", "http://site");
    ini.WriteString("Settings", "adswidth", "");
    ini.Save();
    EXPECT_EQ(dir.Read("new.ini"), "[Settings]\r\nwebserver=http://site\r\nadswidth=\r\n");
}

TEST(IniFileWrite, KeepsEveryOtherLineByteForByte) {
    TestDir dir;
    const std::string before =
        "; hand-written\n[Other]\nx = 1 \n\n[SETTINGS]\r\nWebServer = old\r\nkeep=me\r\n\r\n"
        "[Last]\ny=2";
    dir.Write("t.ini", before);
    IniFile ini(dir.Path("t.ini"));
    ini.WriteString("Settings", "webserver", "new");
    ini.WriteString("Settings", "added", "a");
    ini.WriteString("Fresh", "z", "3");
    ini.Save();
    EXPECT_EQ(dir.Read("t.ini"),
              "; hand-written\n[Other]\nx = 1 \n\n[SETTINGS]\r\nwebserver=new\r\nkeep=me\r\n"
              "added=a\r\n\r\n[Last]\ny=2\r\n[Fresh]\r\nz=3\r\n");
}

TEST(IniFileWrite, WrittenValuesReadBack) {
    TestDir dir;
    IniFile ini(dir.Path("t.ini"));
    const std::string odd = "100% \"quoted\" caf\xc3\xa9 & more";
    ini.WriteString("S", "k", odd);
    ini.Save();
    EXPECT_EQ(IniFile(dir.Path("t.ini")).ReadString("S", "k", ""), odd);
}

TEST(IniFileWrite, RefusedWriteNamesThePathAndKeepsTheOldFile) {
    TestDir dir;
    dir.Write("plain", "not a directory");
    IniFile blocked(dir.Path("plain") + "/t.ini");
    blocked.WriteString("S", "k", "v");
    try {
        blocked.Save();
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + dir.Path("plain") + "/t.ini");
    }
    EXPECT_EQ(dir.Read("plain"), "not a directory");
}

}  // namespace
