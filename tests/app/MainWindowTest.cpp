#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <stdexcept>

#include "Centering.h"
#include "ErrorReport.h"
#include "FMain.h"
#include "MessageRecorder.h"
#include "ProtectFile.h"
#include "QtPrinters.h"
#include "ShellRecorder.h"
#include "TestDir.h"

namespace {

// A main window whose start-up steps record their calls.
class RecordingMain : public TfrmMain {
  public:
    RecordingMain(Messages& m, Shell& s, std::string welcome, bool serviceOk)
        : TfrmMain(m, s), welcome_(std::move(welcome)), serviceOk_(serviceOk) {}

    std::vector<std::string> calls;
    bool timerActive() const { return Timer1.isActive(); }
    const SiteSettings& settings() const { return siteSettings; }
    std::function<void()> onCheckService;

  protected:
    void LoadBrandProfile() override {
        calls.push_back("LoadBrandProfile");
        WelcomePage = welcome_;
    }
    void CheckNewMessage() override { calls.push_back("CheckNewMessage"); }
    void CheckForUpdates(bool silent) override {
        calls.push_back(silent ? "CheckForUpdates(silent)" : "CheckForUpdates");
    }
    bool CheckService() override {
        calls.push_back("CheckService");
        if (onCheckService) onCheckService();
        return serviceOk_;
    }
    bool LoadAdList() override {
        calls.push_back("LoadAdList");
        return true;
    }

  private:
    std::string welcome_;
    bool serviceOk_;
};

using Calls = std::vector<std::string>;

class MainWindow : public ::testing::Test {
  protected:
    std::unique_ptr<RecordingMain> Open(const std::string& welcome = "", bool serviceOk = true) {
        auto w = std::make_unique<RecordingMain>(messages_, shell_, welcome, serviceOk);
        w->FormCreate();
        w->show();
        return w;
    }
    template <class T>
    static T* Find(QWidget* w, const char* name) {
        T* child = w->findChild<T*>(name);
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    void TearDown() override { EXPECT_TRUE(QApplication::topLevelWidgets().empty()); }

    TestDir dir_;
    MessageRecorder messages_;
    ShellRecorder shell_;
};

const Calls kSequence = {"LoadBrandProfile", "CheckNewMessage", "CheckForUpdates(silent)",
                         "CheckService", "LoadAdList"};

TEST_F(MainWindow, WithoutWelcomePageTheSequenceRunsOnceAbout100msAfterShow) {
    QElapsedTimer clock;
    clock.start();
    auto w = Open();
    auto* pages = Find<QTabWidget>(w.get(), "pgcPrinc");
    EXPECT_EQ(pages->count(), 1);
    EXPECT_EQ(pages->currentWidget()->objectName(), "stsMain");
    EXPECT_EQ(w->findChild<QWidget*>("stsWelcome"), nullptr);
    EXPECT_EQ(w->calls, Calls{"LoadBrandProfile"});

    ASSERT_TRUE(QTest::qWaitFor([&] { return w->calls.size() > 1; }, 5000));
    EXPECT_GE(clock.elapsed(), 90);
    QTest::qWait(350);
    EXPECT_EQ(w->calls, kSequence);
    EXPECT_FALSE(w->timerActive());
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(MainWindow, WithWelcomePageNothingRunsUntilTheButton) {
    auto w = Open("<html><body><p>Welcome, reseller</p></body></html>");
    auto* pages = Find<QTabWidget>(w.get(), "pgcPrinc");
    EXPECT_EQ(pages->currentWidget()->objectName(), "stsWelcome");
    EXPECT_TRUE(
        Find<QTextBrowser>(w.get(), "prfWelcome")->toPlainText().contains("Welcome, reseller"));
    QTest::qWait(400);
    EXPECT_EQ(w->calls, Calls{"LoadBrandProfile"});
    EXPECT_FALSE(w->timerActive());

    Find<QPushButton>(w.get(), "bsSkinButton1")->click();
    EXPECT_EQ(pages->currentWidget()->objectName(), "stsMain");
    EXPECT_TRUE(w->timerActive());
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->calls.size() == kSequence.size(); }, 5000));
    EXPECT_EQ(w->calls, kSequence);
}

TEST_F(MainWindow, EnterOnTheWelcomePageLeavesIt) {
    auto w = Open("<p>hello</p>");
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    auto* view = Find<QWidget>(w.get(), "prfWelcome");
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(Find<QTabWidget>(w.get(), "pgcPrinc")->currentWidget()->objectName(), "stsMain");
    EXPECT_TRUE(w->timerActive());
}

TEST_F(MainWindow, FailedServiceCheckLoadsNoListAndSaysNothing) {
    auto w = Open("", false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->calls.size() >= 4; }, 5000));
    QTest::qWait(200);
    EXPECT_EQ(w->calls, (Calls{"LoadBrandProfile", "CheckNewMessage", "CheckForUpdates(silent)",
                               "CheckService"}));
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(MainWindow, AnErrorInTheSequenceIsReportedAndTheWindowStaysUsable) {
    auto w = std::make_unique<RecordingMain>(messages_, shell_, "", true);
    w->onCheckService = [] { throw std::runtime_error("Unable to write to /x/y"); };
    SetErrorReportSink(&messages_);
    w->FormCreate();
    w->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !messages_.shown.empty(); }, 5000));
    SetErrorReportSink(nullptr);
    EXPECT_EQ(messages_.shown[0].text, "Unable to write to /x/y");
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->timerActive());
}

TEST_F(MainWindow, LoadsSiteSettingsWhenCreated) {
    dir_.Write("qlspsettings.dat", "[Settings]\nwebserver=http://mine.test\n");
    auto w = Open();
    EXPECT_EQ(w->settings().webserver, "http://mine.test");
    EXPECT_EQ(w->settings().actionsscript, "qlspactions.php");
}

TEST_F(MainWindow, HasTheDesignedControls) {
    auto w = Open();
    EXPECT_EQ(w->windowTitle(), "Quillspot");
    EXPECT_EQ(w->size(), QSize(921, 587));
    struct Button {
        const char* name;
        const char* caption;
        QRect geometry;
    };
    const Button buttons[] = {
        {"btnLoad", "Code To Insert", {6, 6, 139, 20}},
        {"btnPreview", "Preview Picture Ad", {149, 6, 127, 20}},
        {"bsSkinButton7", "Settings", {279, 6, 96, 20}},
        {"btnMakeMoney", "Make Money", {379, 6, 125, 20}},
        {"btnAbout", "About", {508, 6, 102, 20}},
        {"btnStats", "Statistics", {614, 6, 102, 20}},
        {"btnSelectAll", "Select All", {8, 6, 100, 20}},
        {"bsSkinButton2", "Clear Selection", {112, 6, 100, 20}},
        {"bsSkinButton5", "Add Ad", {216, 6, 100, 20}},
        {"bsSkinButton6", "Edit Ad", {320, 6, 100, 20}},
        {"bsSkinButton3", "Delete Selected", {424, 6, 100, 20}},
        {"bsSkinButton4", "Delete All", {528, 6, 100, 20}},
        {"btnRefresh", "Refresh", {632, 6, 90, 20}},
    };
    for (const Button& b : buttons) {
        auto* button = Find<QPushButton>(w.get(), b.name);
        EXPECT_EQ(button->text(), b.caption);
        EXPECT_EQ(button->geometry(), b.geometry) << b.name;
    }
    const std::pair<const char*, const char*> hints[] = {{"btnNews", "Check News"},
                                                         {"bsSkinSpeedButton1", "Check Updates"},
                                                         {"bsSkinSpeedButton2", "Help"}};
    for (const auto& [name, hint] : hints)
        EXPECT_EQ(Find<QToolButton>(w.get(), name)->toolTip(), hint);
    EXPECT_EQ(Find<QToolButton>(w.get(), "btnNews")->geometry(), QRect(782, 1, 41, 34));

    auto* list = Find<QTreeView>(w.get(), "lvwItems");
    const QStringList columns = {"Ad Title", "Subtitle",    "URL",   "Content",
                                 "Picture",  "Rate Clicks", "Status"};
    const int widths[] = {150, 150, 150, 150, 100, 80, 90};
    ASSERT_EQ(list->model()->columnCount(), columns.size());
    for (int i = 0; i < list->model()->columnCount(); ++i) {
        EXPECT_EQ(list->model()->headerData(i, Qt::Horizontal), columns[i]);
        EXPECT_EQ(list->columnWidth(i), widths[i]);
    }
    EXPECT_EQ(Find<QWidget>(w.get(), "panBanner")->height(), 65);
    EXPECT_EQ(Find<QWidget>(w.get(), "pan")->height(), 38);
    EXPECT_EQ(Find<QWidget>(w.get(), "panLinks")->height(), 33);
}

TEST_F(MainWindow, ResizeKeepsBannersCentredAndPictureButtonsAtTheRightEdge) {
    auto w = Open();
    auto* panel = Find<QWidget>(w.get(), "panBanner");
    auto* img = Find<QLabel>(w.get(), "imgBanner");
    auto* gif = Find<QLabel>(w.get(), "gifBanner");
    auto* help = Find<QToolButton>(w.get(), "bsSkinSpeedButton2");
    EXPECT_EQ(img->geometry().size(), gif->geometry().size());

    int narrowX = 0;
    for (int width : {1200, 300, 921}) {
        w->resize(width, 587);
        QTest::qWait(20);
        EXPECT_EQ(panel->width(), width);
        EXPECT_EQ(img->x(), width / 2 - img->width() / 2) << width;
        EXPECT_EQ(img->y(), panel->height() / 2 - img->height() / 2);
        EXPECT_EQ(gif->pos(), img->pos());
        EXPECT_EQ(help->x(), width - 12 - 41) << width;
        EXPECT_EQ(Find<QToolButton>(w.get(), "btnNews")->x(), width - 98 - 41);
        if (width == 300) narrowX = img->x();
    }
    EXPECT_LT(narrowX, 0) << "a banner wider than the panel starts left of it";
}

// Each dialog opens in the middle of the screen that shows the main window, not over the
// main window, wherever that stands.
TEST_F(MainWindow, DialogsOpenCentredOnTheScreen) {
    auto w = Open();
    w->move(300, 250);
    const QPoint middle = w->screen()->availableGeometry().center();
    for (const char* button : {"bsSkinButton7", "btnLoad", "btnAbout", "bsSkinButton5"}) {
        QRect placed;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                placed = dialog->frameGeometry();
                dialog->close();
            }
        });
        poll.start(10);
        Find<QPushButton>(w.get(), button)->click();
        ASSERT_FALSE(placed.isNull()) << button;
        // The frame's own margins may shift it by a few pixels.
        EXPECT_LE((placed.center() - middle).manhattanLength(), 12)
            << button << " at " << placed.x() << "," << placed.y() << " " << placed.width() << "x"
            << placed.height();
    }
}

TEST(Centering, RoundsEachHalfTowardZero) {
    EXPECT_EQ(CenteredOffset(921, 468), 460 - 234);
    EXPECT_EQ(CenteredOffset(65, 60), 32 - 30);
    EXPECT_EQ(CenteredOffset(101, 301), -100);
    EXPECT_EQ(CenteredOffset(100, 301), -100);
    EXPECT_EQ(CenteredOffset(101, 300), -100);
    EXPECT_EQ(CenteredOffset(0, 7), -3);
}

// A reseller's profile made as the brand tool makes it names the product, decides the News
// button, the Make Money caption and the welcome page; without one the window stays as built.
TEST_F(MainWindow, TheBrandProfileNamesTheWindow) {
    const auto shown = [&](bool withProfile) {
        TfrmMain w(messages_, shell_);
        w.FormCreate();
        w.show();
        const std::string title = w.windowTitle().toStdString();
        const bool news = !Find<QToolButton>(&w, "btnNews")->isHidden();
        const std::string makeMoney = Find<QPushButton>(&w, "btnMakeMoney")->text().toStdString();
        const int page = Find<QTabWidget>(&w, "pgcPrinc")->count();
        w.close();
        return std::make_tuple(title, news, makeMoney, page == 2) ==
               std::make_tuple(withProfile ? "Ad Pro v2.01" : "Quillspot", !withProfile,
                               withProfile ? "Earn" : "Make Money", withProfile);
    };
    EXPECT_TRUE(shown(false));
    dir_.Write("plain.txt",
               "<%%ApplicationName%%>Ad Pro<%%/ApplicationName%%>\n"
               "<%%BranderType%%>Gold<%%/BranderType%%>\n"
               "<%%MakeMoneyButton%%>Earn<%%/MakeMoneyButton%%>\n"
               "<%%Welcome1%%><html>hello</html><%%/Welcome1%%>\n");
    ProtectFile(dir_.Path("plain.txt"), dir_.Path("dbsettings.dat"));
    EXPECT_TRUE(shown(true));
    EXPECT_TRUE(messages_.shown.empty());
}

}  // namespace
