#pragma once

#include <QIcon>

// The pictures of the toolbar's three picture buttons, drawn in code: looking them up in the
// desktop's icon theme would cost more start-up time than the whole rest of the window.
enum class PictureIcon { News, Update, Help };

QIcon MakePictureIcon(PictureIcon kind);
