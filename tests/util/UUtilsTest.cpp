#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "ShellRecorder.h"
#include "TestDir.h"
#include "Text.h"
#include "UUtils.h"

namespace {

using Pieces = std::vector<std::string>;

Pieces Split(const std::string& text) {
    Pieces list{"stale"};
    SplitByChar('^', text, list);
    return list;
}

TEST(SplitByChar, KeepsInnerEmptyPiecesButNoEmptyLastOne) {
    EXPECT_EQ(Split("a^b"), (Pieces{"a", "b"}));
    EXPECT_EQ(Split("a^^b"), (Pieces{"a", "", "b"}));
    EXPECT_EQ(Split("^b"), (Pieces{"", "b"}));
    EXPECT_EQ(Split("a^"), (Pieces{"a"}));
    EXPECT_EQ(Split("^"), (Pieces{""}));
    EXPECT_EQ(Split("^^"), (Pieces{"", ""}));
    EXPECT_EQ(Split(""), Pieces{});
    EXPECT_EQ(Split("no separator"), (Pieces{"no separator"}));
}

TEST(SplitByChar, TreatsEveryOtherByteAsData) {
    Pieces list;
    SplitByChar(',', std::string("\"a\0b\",\xff,\r\n", 10), list);
    EXPECT_EQ(list, (Pieces{std::string("\"a\0b\"", 5), "\xff", "\r\n"}));
}

TEST(DecodeHexEscapes, DecodesEscapes) {
    EXPECT_EQ(DecodeHexEscapes("$41$62c"), "Abc");
    EXPECT_EQ(DecodeHexEscapes("100$25"), "100%");
    EXPECT_EQ(DecodeHexEscapes("$4"), "\x04");
    EXPECT_EQ(DecodeHexEscapes("$ff$00x"), std::string("\xff\0x", 3));
    EXPECT_EQ(DecodeHexEscapes("plain"), "plain");
    EXPECT_EQ(DecodeHexEscapes(""), "");
}

TEST(DecodeHexEscapes, AnyBadEscapeEmptiesTheResult) {
    EXPECT_EQ(DecodeHexEscapes("$4G"), "");
    EXPECT_EQ(DecodeHexEscapes("abc$"), "");
    EXPECT_EQ(DecodeHexEscapes("ok then $zz"), "");
    EXPECT_EQ(DecodeHexEscapes("$-1"), "");
}

// Points PATH and BROWSER at a private directory for one test.
class BrowserLookup : public ::testing::Test {
  protected:
    void SetUp() override {
        oldPath_ = qgetenv("PATH");
        oldBrowser_ = qgetenv("BROWSER");
        qputenv("PATH", ToQ(dir_.Path("")).toLocal8Bit());
        qunsetenv("BROWSER");
    }
    void TearDown() override {
        qputenv("PATH", oldPath_);
        if (oldBrowser_.isNull())
            qunsetenv("BROWSER");
        else
            qputenv("BROWSER", oldBrowser_);
    }
    std::string Program(const std::string& name) {
        dir_.Write(name, "#!/bin/sh\n");
        QFile(ToQ(dir_.Path(name))).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        return dir_.Path(name);
    }

    TestDir dir_;
    ShellRecorder shell_;
    QByteArray oldPath_, oldBrowser_;
};

const std::string kAddress = "http://example.test/a b?x=1&y=\"2\";$(reboot)";

TEST_F(BrowserLookup, NoBrowserStartsNothing) {
    EXPECT_FALSE(OpenInDefaultBrowser(shell_, kAddress));
    qputenv("BROWSER", "does-not-exist");
    EXPECT_FALSE(OpenInDefaultBrowser(shell_, kAddress));
    EXPECT_TRUE(shell_.started.empty());
}

TEST_F(BrowserLookup, DesktopDefaultGetsTheAddressAsOneArgument) {
    const std::string xdg = Program("xdg-open");
    EXPECT_TRUE(OpenInDefaultBrowser(shell_, kAddress));
    ASSERT_EQ(shell_.started.size(), 1u);
    EXPECT_EQ(shell_.started[0].program, xdg);
    EXPECT_EQ(shell_.started[0].arguments, Pieces{kAddress});
}

TEST_F(BrowserLookup, BrowserVariableComesFirst) {
    Program("xdg-open");
    const std::string mine = Program("mybrowser");
    qputenv("BROWSER", "missing:mybrowser --new-window");
    EXPECT_TRUE(OpenInDefaultBrowser(shell_, kAddress));
    ASSERT_EQ(shell_.started.size(), 1u);
    EXPECT_EQ(shell_.started[0].program, mine);
    EXPECT_EQ(shell_.started[0].arguments, (Pieces{"--new-window", kAddress}));
}

TEST_F(BrowserLookup, PlaceholderTakesTheAddress) {
    const std::string mine = Program("mybrowser");
    qputenv("BROWSER", "mybrowser %s --private");
    EXPECT_TRUE(OpenInDefaultBrowser(shell_, kAddress));
    ASSERT_EQ(shell_.started.size(), 1u);
    EXPECT_EQ(shell_.started[0].arguments, (Pieces{kAddress, "--private"}));
}

TEST_F(BrowserLookup, FailedStartIsReported) {
    Program("xdg-open");
    shell_.succeed = false;
    EXPECT_FALSE(OpenInDefaultBrowser(shell_, kAddress));
}

// Only http, https and mailto addresses reach another program, as one argument of their own;
// everything else a brand or a news server may link to is refused with its address named.
TEST_F(BrowserLookup, OnlyWebAndMailAddressesAreOpened) {
    const std::string xdg = Program("xdg-open");
    enum Outcome { kOpened, kRefused, kNothing };
    const struct {
        std::string address;
        Outcome outcome;
    } cases[] = {
        {"http://example.test/", kOpened},
        {"HTTPS://Example.test/a?b=--c", kOpened},
        {"mailto:owner@example.test", kOpened},
        {"--gpu-launcher=/tmp/x", kRefused},
        {"-http://example.test/", kRefused},
        {"file:///etc/passwd", kRefused},
        {"javascript:alert(1)", kRefused},
        {"http:///no-host", kRefused},
        {"http:relative", kRefused},
        {"http://example.test/\n--flag", kRefused},
        {"/usr/bin/xterm", kRefused},
        {"", kNothing},
    };
    for (const bool desktop : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.address + (desktop ? " (desktop)" : " (browser)"));
            shell_.started.clear();
            const auto open = [&] {
                return desktop ? OpenWithDesktopHandler(shell_, c.address)
                               : OpenInDefaultBrowser(shell_, c.address);
            };
            if (c.outcome == kRefused) {
                try {
                    open();
                    ADD_FAILURE() << "not refused";
                } catch (const std::runtime_error& e) {
                    EXPECT_NE(std::string(e.what()).find(c.address.substr(0, 10)),
                              std::string::npos);
                }
                EXPECT_TRUE(shell_.started.empty());
                continue;
            }
            EXPECT_EQ(open(), c.outcome == kOpened);
            if (c.outcome == kNothing) {
                EXPECT_TRUE(shell_.started.empty());
                continue;
            }
            ASSERT_EQ(shell_.started.size(), 1u);
            EXPECT_EQ(shell_.started[0].program, xdg);
            EXPECT_EQ(shell_.started[0].arguments, Pieces{c.address});
        }
    }
}

}  // namespace
