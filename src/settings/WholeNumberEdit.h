#pragma once

#include <QLineEdit>

// A box for a whole number: it takes digits, one minus sign and the editing keys, and
// refuses anything else, Enter included, with a beep. It sets no bounds.
class WholeNumberEdit : public QLineEdit {
  public:
    explicit WholeNumberEdit(QWidget* parent = nullptr);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};
