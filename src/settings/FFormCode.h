#pragma once

#include <QDialog>
#include <string>

struct SiteSettings;
class QPlainTextEdit;
class QPushButton;

// "Code To Insert": the two page snippets for the site URL of the moment the dialog is
// made, read-only, each with a button that copies it to the clipboard as plain text.
class TfrmFormCode : public QDialog {
    Q_OBJECT
  public:
    explicit TfrmFormCode(const SiteSettings& settings, QWidget* parent = nullptr);

    void bsSkinButton1Click();
    void btnOkClick();
    void btnCancelClick();

  private:
    void FormCreate(const SiteSettings& settings);

    std::string header_;
    std::string display_;
    QPlainTextEdit* memForm;
    QPushButton* bsSkinButton1;
    QPlainTextEdit* memAd;
    QPushButton* btnOk;
    QPushButton* btnCancel;
};
