#include "WindowBench.h"

#include <malloc.h>

#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <cstdio>
#include <fstream>

#include "AdListModel.h"
#include "AdReply.h"
#include "BareList.h"
#include "FMain.h"
#include "FormPost.h"
#include "MessageRecorder.h"
#include "PhpWebServer.h"
#include "ProcessMemory.h"
#include "ShellRecorder.h"
#include "Stats.h"
#include "TestDir.h"

namespace {

// The site: PHP's web server in a process of its own, so that what it holds and sends is not
// counted in this process's memory. Its actions script accepts the service check and answers
// every other request with the list in list.txt.
class ListSite {
  public:
    ListSite() {
        std::ofstream(root_.filePath("qlspactions.php").toStdString())
            << "<?php\nif (($_POST['action'] ?? '') === '1') { echo 'OK'; exit; }\n"
               "readfile(__DIR__ . '/list.txt');\n";
        SetList("OK");
    }
    void SetList(const std::string& reply) const {
        std::ofstream(root_.filePath("list.txt").toStdString(), std::ios::binary) << reply;
    }
    std::string Url() const { return server_.Url(); }

  private:
    QTemporaryDir root_;
    PhpWebServer server_{root_.path().toStdString(), {"-n"}};
};

// The program's main window on that site, its list page showing, as the owner sees it.
class Window {
  public:
    explicit Window(const ListSite& site) {
        dir_.Write("qlspsettings.dat", "[Settings]\nwebserver=" + site.Url() + "\n");
        window_.FormCreate();
        window_.show();
        view_ = window_.findChild<QTreeView*>("lvwItems");
        auto* pages = window_.findChild<QTabWidget*>();
        for (int i = 0; i < pages->count(); ++i)
            if (pages->widget(i)->isAncestorOf(view_)) pages->setCurrentIndex(i);
        // The start-up's service check and first list.
        QTest::qWait(1500);
    }
    // A click on `button` and the window painted after it, as the window system takes it.
    void Click(const char* button) {
        window_.findChild<QPushButton*>(button)->click();
        Paint();
    }
    void SortBy(int column) {
        emit view_->header()->sectionClicked(column);
        Paint();
    }
    int Rows() const { return view_->model()->rowCount(); }

  private:
    void Paint() {
        window_.repaint();
        QGuiApplication::sync();
    }

    TestDir dir_;
    MessageRecorder messages_;
    ShellRecorder shell_;
    TfrmMain window_{messages_, shell_};
    QTreeView* view_ = nullptr;
};

void Check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "ads_bench: %s\n", what);
    std::exit(1);
}

// The memory a Refresh of `reply` takes, from an empty list: what stays, and the peak.
void PrintMemory(const ListSite& site, Window& window, const std::string& reply) {
    site.SetList("OK");
    window.Click("btnRefresh");
    malloc_trim(0);
    const double before = ResidentBytes();
    ResetPeakResident();
    site.SetList(reply);
    window.Click("btnRefresh");
    const double grown = ResidentBytes() - before;
    const double peak = PeakResidentBytes() - before;
    std::printf(
        "  process memory for a reply of %.1f MB: grows %.1f MB, %.2f times (target <= 2); "
        "peak %.1f MB, %.2f times (target <= 2.5)\n",
        double(reply.size()) / 1e6, grown / 1e6, grown / double(reply.size()), peak / 1e6,
        peak / double(reply.size()));
}

void PrintTimes(const char* what, const Stats& ms, const char* target) {
    std::printf("  %s ", what);
    ms.Print("%.1f");
    std::printf(" ms%s\n", target);
}

}  // namespace

void BenchWindow(int runs) {
    ListSite site;
    Window window(site);
    const MultipartForm form =
        BuildForm({{"action", "5"}, {"end", ""}}, QDateTime::currentDateTime());
    const std::string url = site.Url() + "/qlspactions.php";
    std::printf("the main window's ad list on %s:\n", qPrintable(QGuiApplication::platformName()));
    for (const int ads : {10000, 100000, 1000000}) {
        const std::string reply = AdListReply(ads);
        site.SetList(reply);
        const int times = ads == 1000000 ? std::min(runs, 5) : runs;
        const std::vector<Stats> ms =
            TimeAlternating(times, {{[&] { window.Click("btnRefresh"); }},
                                    {[&] { ReceiveBareList(url, form.contentType, form.body); }}});
        Check(window.Rows() == ads, "the list does not hold every ad");
        Check(ReceiveBareList(url, form.contentType, form.body) == size_t(ads) + 1,
              "the floor does not receive every ad");
        std::printf(" %7d ads, %d runs: Refresh ", ads, times);
        ms[0].Print("%.1f");
        std::printf(" ms, bare libcurl floor ");
        ms[1].Print("%.1f");
        std::printf(" ms, ratio %.2f%s\n", ms[0].Median() / ms[1].Median(),
                    ads == 1000000 ? " (target <= 2)" : "");
        if (ads != 1000000) continue;

        PrintMemory(site, window, reply);
        bool all = false;
        const Stats select =
            TimeAlternating(times, {{[&] {
                                all = !all;
                                window.Click(all ? "btnSelectAll" : "bsSkinButton2");
                            }}})[0];
        PrintTimes("Select All or Clear Selection, painted", select, " (target <= 50)");
        // Each header click cycles ascending, descending, the reply's order: three clicks a
        // run, of which the first is the sort a user waits for.
        Stats sort, sorted;
        for (int i = 0; i < times; ++i) {
            const std::vector<Stats> one = TimeAlternating(
                1, {{[&] { window.SortBy(kColumnTitle); }}, {[&] { window.Click("btnRefresh"); }}});
            sort.values.push_back(one[0].values[0]);
            sorted.values.push_back(one[1].values[0]);
            window.SortBy(kColumnTitle);
            window.SortBy(kColumnTitle);
        }
        PrintTimes("a header sort by title, painted", sort, " (target <= 500)");
        PrintTimes("Refresh of the list sorted by title", sorted, "");
        std::printf("  that refresh beside a refresh then one more sort: %.2f (target <= 1)\n",
                    sorted.Median() / (ms[0].Median() + sort.Median()));
    }
}
