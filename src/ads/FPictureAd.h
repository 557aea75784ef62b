#pragma once

#include <QDialog>
#include <array>
#include <string>

class AdService;
class HttpClient;
class Messages;
class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The ad editor: title, subtitle, target URL, picture file name, content and the active flag
// of one ad. It is in edit mode exactly when its caption is "Edit Picture Ad" (with AdId the
// ad's id), otherwise in add mode. Ok sends the ad and closes the dialog only when the server
// accepted it; every other outcome leaves the dialog open with the values as typed. While a
// request waits, Ok and Cancel are unavailable and a close request is refused, so an ad is
// never sent twice.
class TfrmPictureAd : public QDialog {
    Q_OBJECT
  public:
    TfrmPictureAd(AdService& service, HttpClient& client, Messages& messages,
                  QWidget* parent = nullptr);

    // Fills the fields for editing.
    void SetFields(const std::string& title, const std::string& subtitle, const std::string& url,
                   const std::string& content, const std::string& picture, bool active);

    std::string AdId;

    void btnOkClick();
    void btnCancelClick();
    void reject() override;

  private:
    bool EditMode() const;
    // Title, subtitle, URL, content and picture as the boxes hold them.
    std::array<std::string, 5> FieldTexts() const;
    // True when the owner agrees to save values that the ad list cannot show intact; asks
    // only about such characters that are new since the dialog opened.
    bool AcceptUnlistableValues();

    AdService& service_;
    HttpClient& client_;
    Messages& msgMain;
    QLineEdit* edtAdTitle;
    QLineEdit* edtAdSubtitle;
    QLineEdit* edtAdURL;
    QLineEdit* edtAdPicture;
    QPlainTextEdit* memContent;
    QCheckBox* chkActive;
    QPushButton* btnOk;
    QPushButton* btnCancel;
    // The texts the dialog opened with: empty for a new ad, the fetched ones for an edit.
    std::array<std::string, 5> opened_;
};
