// The cost of opening the preview once: from the owner's click to the ad's page shown in the
// web engine, which is loaded then and not at start-up, and what that adds to the program's
// peak memory. One fresh process a run, since only the first preview loads the engine.
//
// Usage: preview_bench            runs, prints "milliseconds kilobytes-added"
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <cstdio>

#include "AdList.h"
#include "AdPreview.h"
#include "MessageRecorder.h"
#include "ScriptedHttpServer.h"
#include "SiteSettings.h"

namespace {

long PeakKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ScriptedHttpServer server;
    ScriptedHttpServer::Reply page;
    page.body = "<html><head><title>Ad one</title></head><body><b>An ad</b></body></html>";
    server.SetDefault(page);
    SiteSettings settings;
    settings.webserver = server.Url();
    AdListModel list;
    QTreeView view;
    SetUpAdListView(view, list);
    FillAdList(list, "\"1\",\"T\",\"S\",\"U\",\"X\",\"P\",\"0\",\"0\",\"1\"^OK");
    view.setCurrentIndex(list.index(0, 0));
    MessageRecorder messages;

    const long before = PeakKb();
    QElapsedTimer clock;
    double shownMs = -1;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* preview = QApplication::activeModalWidget();
        if (!preview) return;
        if (preview->findChild<QWidget*>("WebBrowser1")->property("title").toString() != "Ad one")
            return;
        shownMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        preview->findChild<QPushButton*>("btnOk")->click();
    });
    poll.start(1);
    clock.start();
    PreviewAd(view, settings.webserver, messages, nullptr);
    std::printf("opening the preview once: %.1f ms to the page shown, peak memory %+.1f MB\n",
                shownMs, (PeakKb() - before) / 1024.0);
    return shownMs < 0 ? 1 : 0;
}
