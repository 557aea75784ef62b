#include "PictureChooser.h"

#include <QFileDialog>

QString QtPictureChooser::Choose(QWidget* parent) {
    // The dialog matches the patterns' letter case on some desktops: a camera's ".JPG" must
    // show too.
    return QFileDialog::getOpenFileName(
        parent, "Upload Picture", QString(),
        "Pictures (*.jpg *.jpeg *.png *.gif *.webp *.JPG *.JPEG *.PNG *.GIF *.WEBP);;"
        "All files (*)");
}
