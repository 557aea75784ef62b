#pragma once

#include <QString>

class QWidget;

// Asks the owner for a picture file to upload.
class PictureChooser {
  public:
    virtual ~PictureChooser() = default;
    // The chosen file's path, or an empty string when the owner chose none.
    virtual QString Choose(QWidget* parent) = 0;
};

// The desktop's file dialog, showing pictures of the types the server takes.
class QtPictureChooser : public PictureChooser {
  public:
    QString Choose(QWidget* parent) override;
};
