// Third parties' HTML through the guard and then Qt's own text layout, as the news window and
// the welcome page lay it out: whatever the guard lets through must lay out without a crash.
#include <QApplication>
#include <QTextDocument>
#include <cstdlib>

#include "FuzzInput.h"
#include "SafeHtml.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    new QApplication(*argc, *argv);  // lives for the whole run
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string safe = SafeHtml(Bytes(data, size));
    QTextDocument document;
    document.setHtml(QString::fromUtf8(safe.data(), static_cast<qsizetype>(safe.size())));
    document.setTextWidth(600);
    document.size();  // lays the whole document out
    return 0;
}
