#include "FPictureAd.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "AdRecord.h"
#include "AdService.h"
#include "DialogLayout.h"
#include "ErrorReport.h"
#include "HttpClient.h"
#include "Messages.h"
#include "PictureChooser.h"
#include "PictureFile.h"
#include "PictureUpload.h"
#include "ReplaceAll.h"
#include "Text.h"

namespace {

constexpr const char* kEditCaption = "Edit Picture Ad";

QLineEdit* Box(const char* name) {
    auto* box = new QLineEdit;
    box->setObjectName(name);
    RemoveLengthLimit(*box);
    return box;
}

// The line breaks in `text`: CR LF, a lone CR or a lone LF, as the list cuts its lines.
size_t LineBreaks(const std::string& text) {
    size_t count = 0;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
            ++count;
    return count;
}

// A character that the list and fetch replies cannot carry inside a field.
struct Unlistable {
    const char* words;
    size_t (*count)(const std::string& text);
    bool isComma;
};
constexpr Unlistable kUnlistable[] = {
    {"a comma", [](const std::string& t) { return size_t(std::ranges::count(t, ',')); }, true},
    {"a \"^\"", [](const std::string& t) { return size_t(std::ranges::count(t, '^')); }, false},
    {"a line break", LineBreaks, false},
};

constexpr const char* kFieldNames[] = {"Ad Title", "Subtitle", "URL", "Content", "Picture"};

}  // namespace

TfrmPictureAd::TfrmPictureAd(AdService& service, HttpClient& client, Messages& messages,
                             PictureChooser& chooser, QWidget* parent)
    : QDialog(parent, kTitleOnlyDialog),
      service_(service),
      client_(client),
      msgMain(messages),
      chooser_(chooser) {
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
    // Tab moves on to the next control, as in every other box of the dialog.
    memContent->setTabChangesFocus(true);
    chkActive = new QCheckBox("Active");
    chkActive->setObjectName("chkActive");
    chkActive->setChecked(true);
    btnOk = new QPushButton("Ok");
    btnOk->setObjectName("btnOk");
    btnCancel = new QPushButton("Cancel");
    btnCancel->setObjectName("btnCancel");
    btnUpload = new QPushButton("Upload...");
    btnUpload->setObjectName("btnUpload");
    imgPicture = new QLabel;
    imgPicture->setObjectName("imgPicture");
    // Both stay within the Picture box's row, so the rows below keep their places.
    const int rowHeight = edtAdPicture->sizeHint().height();
    btnUpload->setFixedHeight(rowHeight);
    imgPicture->setFixedSize(2 * rowHeight, rowHeight);
    imgPicture->setAlignment(Qt::AlignCenter);
    for (QPushButton* button : {btnOk, btnCancel, btnUpload}) button->setAutoDefault(false);
    connect(btnOk, &QPushButton::clicked, this, [this] { Guarded([this] { btnOkClick(); }); });
    connect(btnUpload, &QPushButton::clicked, this,
            [this] { Guarded([this] { btnUploadClick(); }); });
    connect(edtAdPicture, &QLineEdit::textChanged, this, [this](const QString& name) {
        if (name != shownPicture_) imgPicture->clear();
    });
    connect(btnCancel, &QPushButton::clicked, this, &TfrmPictureAd::btnCancelClick);
    connect(&client_, &HttpClient::busyChanged, this, [this](bool busy) {
        btnOk->setEnabled(!busy);
        btnCancel->setEnabled(!busy);
        btnUpload->setEnabled(!busy);
    });

    auto* picture = new QHBoxLayout;
    picture->addWidget(edtAdPicture, 1);
    auto* upload = new QHBoxLayout;
    upload->addWidget(btnUpload);
    upload->addWidget(imgPicture);
    upload->addStretch(1);
    picture->addLayout(upload, 1);
    auto* hint = new QLabel(
        "Upload... sends a picture from this computer to the Pictures folder on your server "
        "and enters its name; or enter the file name of a picture that is there already.");
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
    QWidget* const order[] = {edtAdTitle, edtAdSubtitle, edtAdURL, edtAdPicture, btnUpload,
                              memContent, chkActive,     btnOk,    btnCancel};
    for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
    CenterOnScreen(*this);
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
    opened_ = FieldTexts();
}

std::array<std::string, 5> TfrmPictureAd::FieldTexts() const {
    return {FromQ(edtAdTitle->text()), FromQ(edtAdSubtitle->text()), FromQ(edtAdURL->text()),
            FromQ(memContent->toPlainText()), FromQ(edtAdPicture->text())};
}

bool TfrmPictureAd::EditMode() const { return windowTitle() == QLatin1String(kEditCaption); }

bool TfrmPictureAd::AcceptUnlistableValues() {
    // Only what the owner added is asked about: an ad that already held a line break was
    // saved with it before, and asking at every save would teach the owner to click past it.
    const std::array<std::string, 5> now = FieldTexts();
    std::string found;
    bool comma = false, cut = false;
    for (size_t field = 0; field < now.size(); ++field) {
        std::string what;
        for (const Unlistable& kind : kUnlistable) {
            if (kind.count(now[field]) <= kind.count(opened_[field])) continue;
            what += what.empty() ? "" : ", ";
            what += kind.words;
            (kind.isComma ? comma : cut) = true;
        }
        if (what.empty()) continue;
        found += found.empty() ? "" : "; ";
        found += kFieldNames[field];
        found += ": ";
        found += what;
    }
    if (found.empty()) return true;
    std::string text = "This ad holds characters that the list of ads cannot show intact (";
    text += found;
    text += ").";
    if (comma)
        text +=
            " A comma moves the ad's later fields into the wrong columns of the list, and the "
            "ad can then no longer be opened for editing.";
    if (cut)
        text +=
            " A \"^\" or a line break cuts the ad's line in the list in two, so the list stops "
            "loading at this ad and shows none of the ads after it; the ad itself still opens "
            "for editing.";
    return msgMain.Question(text + " Press OK to save it anyway, or Cancel to change it.");
}

void TfrmPictureAd::btnOkClick() {
    if (client_.Busy()) return;
    if (edtAdTitle->text().isEmpty()) {
        msgMain.Warning("Please provide an Ad Title.");
        return;
    }
    if (!AcceptUnlistableValues()) return;
    const std::array<std::string, 5> texts = FieldTexts();
    AdRecord ad;
    ad.ad_title = texts[0];
    ad.ad_subtitle = texts[1];
    ad.ad_url = texts[2];
    ad.ad_text = ReplaceAll(texts[3], "\n", "\r\n");
    ad.ad_picture = texts[4];
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
    if (result == AdService::kFailed) msgMain.Warning(service_.FailureMessage(answers.failed));
    if (result == AdService::kRefused) msgMain.Warning(answers.refused);
    if (result == AdService::kDone) accept();
}

void TfrmPictureAd::ShowPicture(const std::string& name, const std::string& bytes) {
    const QImage image = PreviewImage(bytes, imgPicture->size());
    shownPicture_ = ToQ(name);
    imgPicture->setPixmap(image.isNull() ? QPixmap() : QPixmap::fromImage(image));
}

void TfrmPictureAd::ShowServerPicture() {
    const std::string name = FromQ(edtAdPicture->text());
    if (name.empty()) return;
    // A picture the server does not hand out simply shows nothing: the ad may name one that
    // is yet to be uploaded.
    if (const std::optional<std::string> bytes = service_.FetchPicture(name))
        ShowPicture(name, *bytes);
}

void TfrmPictureAd::btnUploadClick() {
    if (client_.Busy()) return;
    const QString path = chooser_.Choose(this);
    if (path.isEmpty()) return;
    std::variant<PictureFile, std::string> read = ReadPictureFile(path);
    if (const std::string* why = std::get_if<std::string>(&read)) {
        msgMain.Warning(*why);
        return;
    }
    const PictureFile& picture = std::get<PictureFile>(read);
    if (!SendPicture(service_, msgMain, picture)) return;
    ShowPicture(picture.name, picture.bytes);
    edtAdPicture->setText(ToQ(picture.name));
}

void TfrmPictureAd::btnCancelClick() { reject(); }

void TfrmPictureAd::reject() {
    // A close request while the ad is on its way would leave the owner not knowing whether
    // it arrived; the wait itself is given up with Escape or the wait box.
    if (client_.Busy()) return;
    QDialog::reject();
}
