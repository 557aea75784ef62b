#include "FPictureAd.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "AdRecord.h"
#include "AdService.h"
#include "DialogLayout.h"
#include "ErrorReport.h"
#include "HttpClient.h"
#include "Messages.h"
#include "ReplaceAll.h"
#include "Text.h"

namespace {

constexpr const char* kEditCaption = "Edit Picture Ad";

QLineEdit* Box(const char* name) {
    auto* box = new QLineEdit;
    box->setObjectName(name);
    return box;
}

// What in `value` the list and fetch replies cannot carry, as words for the owner.
std::string Unlistable(const std::string& value) {
    std::string found;
    const auto add = [&](bool present, const char* what) {
        if (!present) return;
        if (!found.empty()) found += ", ";
        found += what;
    };
    add(value.find(',') != std::string::npos, "a comma");
    add(value.find('^') != std::string::npos, "a \"^\"");
    add(value.find_first_of("\r\n") != std::string::npos, "a line break");
    return found;
}

}  // namespace

TfrmPictureAd::TfrmPictureAd(AdService& service, HttpClient& client, Messages& messages,
                             QWidget* parent)
    : QDialog(parent, kTitleOnlyDialog), service_(service), client_(client), msgMain(messages) {
    setObjectName("frmPictureAd");
    setWindowTitle("Add Picture Ad");
    setFixedSize(514, 341);
    edtAdTitle = Box("edtAdTitle");
    edtAdSubtitle = Box("edtAdSubtitle");
    edtAdURL = Box("edtAdURL");
    edtAdPicture = Box("edtAdPicture");
    memContent = new QPlainTextEdit;
    memContent->setObjectName("memContent");
    memContent->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    chkActive = new QCheckBox("Active");
    chkActive->setObjectName("chkActive");
    chkActive->setChecked(true);
    btnOk = new QPushButton("Ok");
    btnOk->setObjectName("btnOk");
    btnCancel = new QPushButton("Cancel");
    btnCancel->setObjectName("btnCancel");
    for (QPushButton* button : {btnOk, btnCancel}) button->setAutoDefault(false);
    connect(btnOk, &QPushButton::clicked, this, [this] { Guarded([this] { btnOkClick(); }); });
    connect(btnCancel, &QPushButton::clicked, this, &TfrmPictureAd::btnCancelClick);
    connect(&client_, &HttpClient::busyChanged, this, [this](bool busy) {
        btnOk->setEnabled(!busy);
        btnCancel->setEnabled(!busy);
    });

    auto* picture = new QHBoxLayout;
    picture->addWidget(edtAdPicture, 1);
    picture->addStretch(1);
    auto* hint = new QLabel(
        "Just enter the filename of the picture. Be sure to upload all your Ads to the Pictures "
        "folder in your server");
    hint->setWordWrap(true);
    auto* form = new QFormLayout;
    form->addRow("Ad Title:", edtAdTitle);
    form->addRow("Subtitle:", edtAdSubtitle);
    form->addRow("URL:", edtAdURL);
    form->addRow(hint);
    form->addRow("Picture:", picture);
    form->addRow(new QLabel("Content (Up to 255 characters):"));
    form->addRow(memContent);
    form->addRow("Status:", chkActive);
    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::HLine);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(divider);
    layout->addLayout(CentredButtons({btnOk, btnCancel}));
    QWidget* const order[] = {edtAdTitle, edtAdSubtitle, edtAdURL, edtAdPicture,
                              memContent, chkActive,     btnOk,    btnCancel};
    for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void TfrmPictureAd::SetFields(const std::string& title, const std::string& subtitle,
                              const std::string& url, const std::string& content,
                              const std::string& picture, bool active) {
    edtAdTitle->setText(ToQ(title));
    edtAdSubtitle->setText(ToQ(subtitle));
    edtAdURL->setText(ToQ(url));
    memContent->setPlainText(ToQ(content));
    edtAdPicture->setText(ToQ(picture));
    chkActive->setChecked(active);
}

bool TfrmPictureAd::EditMode() const { return windowTitle() == QLatin1String(kEditCaption); }

bool TfrmPictureAd::AcceptUnlistableValues() {
    const std::pair<const char*, QString> fields[] = {{"Ad Title", edtAdTitle->text()},
                                                      {"Subtitle", edtAdSubtitle->text()},
                                                      {"URL", edtAdURL->text()},
                                                      {"Content", memContent->toPlainText()},
                                                      {"Picture", edtAdPicture->text()}};
    std::string found;
    for (const auto& [name, text] : fields) {
        const std::string what = Unlistable(FromQ(text));
        if (!what.empty()) found += std::string(found.empty() ? "" : "; ") + name + ": " + what;
    }
    if (found.empty()) return true;
    return msgMain.Question(
        "The list of ads cannot show a comma, a \"^\" or a line break inside a field, and this "
        "ad could not be opened for editing again (" +
        found + "). Press OK to save it anyway, or Cancel to change it.");
}

void TfrmPictureAd::btnOkClick() {
    if (client_.Busy()) return;
    if (edtAdTitle->text().isEmpty()) {
        msgMain.Warning("Please provide an Ad Title.");
        return;
    }
    if (!AcceptUnlistableValues()) return;
    AdRecord ad;
    ad.ad_title = FromQ(edtAdTitle->text());
    ad.ad_subtitle = FromQ(edtAdSubtitle->text());
    ad.ad_url = FromQ(edtAdURL->text());
    ad.ad_text = ReplaceAll(FromQ(memContent->toPlainText()), "\n", "\r\n");
    ad.ad_picture = FromQ(edtAdPicture->text());
    // One-character values are assigned as characters: assigned from a literal, GCC 12 warns
    // (-Wrestrict) of an overlap that cannot happen.
    ad.ad_enable = chkActive->isChecked() ? '1' : '0';
    // What the owner is told when the server refuses the ad or the request fails.
    struct Answers {
        const char* failed;
        const char* refused;
    };
    int result;
    Answers answers;
    if (EditMode()) {
        ad.ad_id = AdId;
        result = service_.EditAd(ad);
        answers = {
            "There is a trouble editing this Ad, please check your settings and your "
            "internet connection.",
            "This Ad title don't exists. Please close the edit windows and try again."};
    } else {
        ad.ad_impressions = '0';
        ad.ad_clicks = '0';
        result = service_.AddAd(ad);
        answers = {
            "There is a trouble adding this Ad, please check your settings and your "
            "internet connection.",
            "This Ad title already exists. Please enter a new title."};
    }
    if (result == AdService::kFailed) msgMain.Warning(answers.failed);
    if (result == AdService::kRefused) msgMain.Warning(answers.refused);
    if (result == AdService::kDone) accept();
}

void TfrmPictureAd::btnCancelClick() { reject(); }

void TfrmPictureAd::reject() {
    // A close request while the ad is on its way would leave the owner not knowing whether
    // it arrived; the wait itself is given up with Escape or the wait box.
    if (client_.Busy()) return;
    QDialog::reject();
}
