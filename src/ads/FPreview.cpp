#include "FPreview.h"

#include <unistd.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QOpenGLContext>
#include <QPushButton>
#include <QQuickWindow>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineView>

#include "DialogLayout.h"

// Qt Gui exports this for the web engine; its declaration is in a private header.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace {

// The browser goes to http and https addresses only: a site URL that names a local file or a
// script must not turn the preview into a window on the owner's disk.
bool IsPreviewable(const QUrl& url) {
    return url.isValid() &&
           (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")) &&
           !url.host().isEmpty();
}

// The program makes no shared GL context at start-up: that alone would load the system's GL
// driver, and on a software-only desktop its compiler, before the first paint. The engine
// asks for that context's format all the same, so it gets one here that is never made
// current and loads nothing, and it draws with Qt Quick's software renderer and Chromium's
// software compositor, which an ad's page does not outgrow. All of it must be set before the
// first page exists.
void UseSoftwareRendering() {
    if (!QOpenGLContext::globalShareContext())
        qt_gl_set_global_share_context(new QOpenGLContext(QCoreApplication::instance()));
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--disable-gpu"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags + " --disable-gpu");
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
    UseSoftwareRendering();
    TfrmPreview preview(address, parent);
    preview.exec();
}
