#include "FFormCode.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "DialogLayout.h"
#include "PageSnippets.h"
#include "SiteSettings.h"
#include "Text.h"

namespace {

QLabel* Wrapped(const char* text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

QPlainTextEdit* SnippetBox(const char* name) {
    auto* box = new QPlainTextEdit;
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The display wraps, even inside a long site URL, so no line needs sideways scrolling;
    // the copy takes the snippet's own bytes, not the wrapped lines.
    box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return box;
}

QPushButton* Button(const char* name, const char* caption) {
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

void Copy(const std::string& snippet) { QGuiApplication::clipboard()->setText(ToQ(snippet)); }

}  // namespace

TfrmFormCode::TfrmFormCode(const SiteSettings& settings, QWidget* parent)
    : QDialog(parent, kTitleOnlyDialog) {
    setObjectName("frmFormCode");
    setWindowTitle("Code To Insert");
    setFixedSize(533, 436);
    memForm = SnippetBox("memForm");
    bsSkinButton1 = Button("bsSkinButton1", "Copy To Clipboard");
    memAd = SnippetBox("memAd");
    btnOk = Button("btnOk", "Copy To Clipboard");
    btnCancel = Button("btnCancel", "Close");
    connect(bsSkinButton1, &QPushButton::clicked, this, &TfrmFormCode::bsSkinButton1Click);
    connect(btnOk, &QPushButton::clicked, this, &TfrmFormCode::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmFormCode::btnCancelClick);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        Wrapped("Please insert the following code at the TOP on any web page where "
                "you want that your Ad to appear. Be sure that there is nothing "
                "before (even an empty line)."));
    layout->addWidget(memForm, 3);
    layout->addWidget(bsSkinButton1, 0, Qt::AlignLeft);
    layout->addWidget(
        Wrapped("To display the Picture Ad on any web page, copy the following code "
                "and paste it on that page, wherever youd like the Picture Ad to "
                "appear."));
    layout->addWidget(memAd, 1);
    layout->addWidget(btnOk, 0, Qt::AlignLeft);
    layout->addWidget(btnCancel, 0, Qt::AlignRight);
    FormCreate(settings);
    CenterOnScreen(*this);
}

void TfrmFormCode::FormCreate(const SiteSettings& settings) {
    header_ = HeaderSnippet(settings.webserver);
    display_ = DisplaySnippet(settings.webserver);
    memForm->setPlainText(ToQ(header_));
    memAd->setPlainText(ToQ(display_));
}

void TfrmFormCode::bsSkinButton1Click() { Copy(header_); }
void TfrmFormCode::btnOkClick() { Copy(display_); }
void TfrmFormCode::btnCancelClick() { reject(); }
