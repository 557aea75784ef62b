#pragma once

#include <QDialog>

struct BrandProfile;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The about box: the brand's product name, the version, the copyright line and the text.
class TfrmAbout : public QDialog {
    Q_OBJECT
  public:
    explicit TfrmAbout(const BrandProfile& profile, QWidget* parent = nullptr);

    void editAboutClick();

  private:
    void FormCreate(const BrandProfile& profile);

    QLabel* lblProductName;
    QLabel* lblProductVersion;
    QLabel* lblCopyright1;
    QPlainTextEdit* memAbout;
    QPushButton* editAbout;
};
