#include "FPreview.h"

#include <unistd.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineView>

#include "DialogLayout.h"

namespace {

// The browser goes to http and https addresses only: a site URL that names a local file or a
// script must not turn the preview into a window on the owner's disk.
bool IsPreviewable(const QUrl& url) {
    return url.isValid() &&
           (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")) &&
           !url.host().isEmpty();
}

}  // namespace

TfrmPreview::TfrmPreview(const QString& address, QWidget* parent) : QDialog(parent) {
    setObjectName("frmPreview");
    setWindowTitle("Preview");
    resize(687, 364);
    edtAddress = new QLineEdit(address);
    edtAddress->setObjectName("edtAddress");
    edtAddress->setReadOnly(true);
    // The page is loaded from this box's text, so it must hold the whole address.
    RemoveLengthLimit(*edtAddress);
    WebBrowser1 = new QWebEngineView;
    WebBrowser1->setObjectName("WebBrowser1");
    btnOk = new QPushButton("Ok");
    btnOk->setObjectName("btnOk");
    connect(btnOk, &QPushButton::clicked, this, &TfrmPreview::btnOkClick);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel("Address:"));
    top->addWidget(edtAddress, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(WebBrowser1, 1);
    layout->addLayout(CentredButtons({btnOk}));
    CenterOnScreen(*this);
}

void TfrmPreview::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shown_) return;
    shown_ = true;
    FormShow();
}

// The page is asked for once, when the window shows: every load of the display script may
// count as an impression of the ad.
void TfrmPreview::FormShow() {
    const QUrl url(edtAddress->text(), QUrl::StrictMode);
    if (IsPreviewable(url)) {
        WebBrowser1->load(url);
        return;
    }
    WebBrowser1->setHtml(
        "<p>This address cannot be previewed: only http and https addresses are opened here. "
        "Please check the Site URL in Settings.</p><p>" +
        edtAddress->text().toHtmlEscaped() + "</p>");
}

void TfrmPreview::btnOkClick() { accept(); }

// The module's entry point: shows the preview of `address` modally.
extern "C" Q_DECL_EXPORT void QuillspotShowPreview(const QString& address, QWidget* parent) {
    // Chromium refuses to run its sandbox for root.
    if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    TfrmPreview preview(address, parent);
    preview.exec();
}
