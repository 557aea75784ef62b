#pragma once

#include <QDialog>
#include <cstdint>
#include <string>

#include "SiteSettings.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class WholeNumberEdit;

// The ad width as the dialog opens it: the number without its unit, or 500 when what is left
// after removing every "%" and "px" is no signed 32-bit whole number; and whether the unit
// is "%" (any "%" in the value) rather than "px".
struct AdsWidthParts {
    std::int32_t number;
    bool percent;
};
AdsWidthParts ReadAdsWidth(const std::string& adswidth);

// The settings dialog: the site URL, the MySQL values and the ad width. Ok writes the server
// settings script beside the program and only then stores the values in `settings`; when
// the script cannot be written the error is reported, the dialog stays open and `settings`
// keeps its values. Cancel changes nothing.
class TfrmSettings : public QDialog {
    Q_OBJECT
  public:
    TfrmSettings(SiteSettings& settings, QWidget* parent = nullptr);

    void btnOkClick();
    void btnCancelClick();

  private:
    SiteSettings& settings_;
    QLineEdit* edtSite;
    QLineEdit* edtHostname;
    QLineEdit* edtDatabase;
    QLineEdit* edtUsername;
    QLineEdit* edtPassword;
    WholeNumberEdit* edtAdsWidth;
    QComboBox* cbxAdsUnits;
    QPushButton* btnOk;
    QPushButton* btnCancel;
};
