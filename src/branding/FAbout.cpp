#include "FAbout.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "BrandProfile.h"
#include "DialogLayout.h"
#include "ReplaceAll.h"
#include "ShownText.h"
#include "Text.h"

namespace {

// The about text's guard: enough for any real about text, and laid out at once.
constexpr std::size_t kMaxAboutBytes = 128 * 1024;
constexpr std::size_t kMaxAboutLine = 4000;

// The brand's texts are shown as they are written, never read as markup.
QLabel* Label(const char* name) {
    auto* label = new QLabel;
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

TfrmAbout::TfrmAbout(const BrandProfile& profile, QWidget* parent)
    : QDialog(parent, kTitleOnlyDialog) {
    setObjectName("frmAbout");
    setFixedSize(368, 211);
    lblProductName = Label("lblProductName");
    lblProductVersion = Label("lblProductVersion");
    lblCopyright1 = Label("lblCopyright1");
    memAbout = new QPlainTextEdit;
    memAbout->setObjectName("memAbout");
    memAbout->setReadOnly(true);
    memAbout->setFrameShape(QFrame::NoFrame);
    editAbout = new QPushButton("Ok");
    editAbout->setObjectName("editAbout");
    connect(editAbout, &QPushButton::clicked, this, &TfrmAbout::editAboutClick);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblProductName);
    layout->addWidget(lblProductVersion);
    layout->addWidget(lblCopyright1);
    layout->addWidget(memAbout, 1);
    layout->addWidget(editAbout, 0, Qt::AlignHCenter);
    FormCreate(profile);
    CenterOnScreen(*this);
}

void TfrmAbout::FormCreate(const BrandProfile& profile) {
    setWindowTitle(ToQ("About " + ShownCaption(profile.ApplicationName) + "..."));
    lblProductName->setText(ToQ(ShownCaption(profile.ApplicationName)));
    lblProductVersion->setText(ToQ(std::string("Product Version: ") + kAppVersion));
    lblCopyright1->setText(ToQ(
        ShownCaption("Copyright (c) " + profile.CopyrightYears + " " + profile.CopyrightCompany)));
    memAbout->setPlainText(
        ToQ(ShownText(ReplaceAll(profile.AboutText, "\r\n", "\n"), kMaxAboutBytes, kMaxAboutLine)));
}

void TfrmAbout::editAboutClick() { accept(); }
