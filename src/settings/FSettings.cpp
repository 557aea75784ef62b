#include "FSettings.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "DialogLayout.h"
#include "ErrorReport.h"
#include "OwnerKey.h"
#include "ReplaceAll.h"
#include "ServerScript.h"
#include "Text.h"
#include "WholeNumber.h"
#include "WholeNumberEdit.h"

namespace {

constexpr std::int32_t kDefaultWidth = 500;

QLineEdit* Box(QWidget* parent, const char* name, const std::string& value) {
    auto* box = new QLineEdit(ToQ(value), parent);
    box->setObjectName(name);
    RemoveLengthLimit(*box);
    return box;
}

}  // namespace

AdsWidthParts ReadAdsWidth(const std::string& adswidth) {
    const std::string rest = ReplaceAll(ReplaceAll(adswidth, "%", ""), "px", "");
    return {ParseInt32(rest).value_or(kDefaultWidth), adswidth.find('%') != std::string::npos};
}

TfrmSettings::TfrmSettings(SiteSettings& settings, QWidget* parent)
    : QDialog(parent, kTitleOnlyDialog), settings_(settings) {
    setObjectName("frmSettings");
    setWindowTitle("Settings");
    setFixedSize(409, 233);

    edtSite = Box(this, "edtSite", settings.webserver);
    edtHostname = Box(this, "edtHostname", settings.dbhostname);
    edtDatabase = Box(this, "edtDatabase", settings.dbdatabase);
    edtUsername = Box(this, "edtUsername", settings.dbusername);
    edtPassword = Box(this, "edtPassword", settings.dbpassword);
    edtAdsWidth = new WholeNumberEdit(this);
    edtAdsWidth->setObjectName("edtAdsWidth");
    RemoveLengthLimit(*edtAdsWidth);
    cbxAdsUnits = new QComboBox(this);
    cbxAdsUnits->setObjectName("cbxAdsUnits");
    cbxAdsUnits->addItems({"px", "%"});
    const AdsWidthParts width = ReadAdsWidth(settings.adswidth);
    edtAdsWidth->setText(QString::number(width.number));
    cbxAdsUnits->setCurrentIndex(width.percent ? 1 : 0);

    btnOk = new QPushButton("Ok", this);
    btnOk->setObjectName("btnOk");
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");
    connect(btnOk, &QPushButton::clicked, this, [this] { Guarded([this] { btnOkClick(); }); });
    connect(btnCancel, &QPushButton::clicked, this, &TfrmSettings::btnCancelClick);

    auto* widthRow = new QHBoxLayout;
    widthRow->addWidget(edtAdsWidth);
    widthRow->addWidget(cbxAdsUnits);
    widthRow->addStretch(1);
    auto* form = new QFormLayout(this);
    form->addRow("Site URL:", edtSite);
    form->addRow("MYSQL Host:", edtHostname);
    form->addRow("Database Name:", edtDatabase);
    form->addRow("Database User:", edtUsername);
    form->addRow("User Password:", edtPassword);
    form->addRow("Ads Width:", widthRow);
    form->addRow(CentredButtons({btnOk, btnCancel}));
    CenterOnScreen(*this);
}

void TfrmSettings::btnOkClick() {
    SiteSettings values = settings_;
    values.webserver = FromQ(edtSite->text());
    values.dbhostname = FromQ(edtHostname->text());
    values.dbdatabase = FromQ(edtDatabase->text());
    values.dbusername = FromQ(edtUsername->text());
    values.dbpassword = FromQ(edtPassword->text());
    values.adswidth = FromQ(edtAdsWidth->text() + cbxAdsUnits->currentText());
    // The key is made once and kept: a new one would lock the program out until the owner
    // uploads the script again.
    if (!IsOwnerKey(values.ownerkey)) values.ownerkey = NewOwnerKey();
    // The values are kept only once the script that carries them to the server is written.
    WriteServerSettingsScript(values);
    settings_ = values;
    accept();
}

void TfrmSettings::btnCancelClick() { reject(); }
