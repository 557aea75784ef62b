#include "FAbout.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "BrandProfile.h"
#include "DialogLayout.h"
#include "ReplaceAll.h"
#include "Text.h"

namespace {

QLabel* Label(const char* name) {
    auto* label = new QLabel;
    label->setObjectName(name);
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
    setWindowTitle(ToQ("About " + profile.ApplicationName + "..."));
    lblProductName->setText(ToQ(profile.ApplicationName));
    lblProductVersion->setText(ToQ(std::string("Product Version: ") + kAppVersion));
    lblCopyright1->setText(
        ToQ("Copyright (c) " + profile.CopyrightYears + " " + profile.CopyrightCompany));
    memAbout->setPlainText(ToQ(ReplaceAll(profile.AboutText, "\r\n", "\n")));
}

void TfrmAbout::editAboutClick() { accept(); }
