#pragma once

#include <QDialog>
#include <array>
#include <string>

class AdService;
class HttpClient;
class Messages;
class PictureChooser;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The ad editor: title, subtitle, target URL, picture file name, content and the active flag
// of one ad. It is in edit mode exactly when its caption is "Edit Picture Ad" (with AdId the
// ad's id), otherwise in add mode. Ok sends the ad and closes the dialog only when the server
// accepted it; every other outcome leaves the dialog open with the values as typed. While a
// request waits, Ok and Cancel are unavailable and a close request is refused, so an ad is
// never sent twice. Upload... sends a picture file to the server's Pictures folder and puts
// its name into the Picture box; the small picture beside it shows the picture the box names,
// as far as the editor knows it.
class TfrmPictureAd : public QDialog {
    Q_OBJECT
  public:
    TfrmPictureAd(AdService& service, HttpClient& client, Messages& messages,
                  PictureChooser& chooser, QWidget* parent = nullptr);

    // Fills the fields for editing.
    void SetFields(const std::string& title, const std::string& subtitle, const std::string& url,
                   const std::string& content, const std::string& picture, bool active);

    std::string AdId;

    // Shows the server's copy of the picture the Picture box names, when it has one.
    void ShowServerPicture();

    void btnOkClick();
    void btnUploadClick();
    void btnCancelClick();
    void reject() override;

  private:
    bool EditMode() const;
    // Title, subtitle, URL, content and picture as the boxes hold them.
    std::array<std::string, 5> FieldTexts() const;
    // True when the owner agrees to save values that the ad list cannot show intact; asks
    // only about such characters that are new since the dialog opened.
    bool AcceptUnlistableValues();
    // Shows `bytes` as the picture of `name`; nothing when they are no picture.
    void ShowPicture(const std::string& name, const std::string& bytes);

    AdService& service_;
    HttpClient& client_;
    Messages& msgMain;
    PictureChooser& chooser_;
    QLineEdit* edtAdTitle;
    QLineEdit* edtAdSubtitle;
    QLineEdit* edtAdURL;
    QLineEdit* edtAdPicture;
    QPushButton* btnUpload;
    QLabel* imgPicture;
    // The name whose picture imgPicture shows: another name in the box clears it.
    QString shownPicture_;
    QPlainTextEdit* memContent;
    QCheckBox* chkActive;
    QPushButton* btnOk;
    QPushButton* btnCancel;
    // The texts the dialog opened with: empty for a new ad, the fetched ones for an edit.
    std::array<std::string, 5> opened_;
};
