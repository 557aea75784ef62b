#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class QWebEngineView;

// The preview: the address box and an embedded browser on that address, showing the ad as
// the owner's server renders it. It lives in a module of its own that is loaded when the
// first preview opens: the web engine would cost the start-up more than the whole window.
class TfrmPreview : public QDialog {
    Q_OBJECT
  public:
    TfrmPreview(const QString& address, QWidget* parent = nullptr);

    void btnOkClick();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void FormShow();

    QLineEdit* edtAddress;
    QWebEngineView* WebBrowser1;
    QPushButton* btnOk;
    bool shown_ = false;
};
