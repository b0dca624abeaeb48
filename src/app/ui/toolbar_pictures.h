#pragma once

#include <QIcon>

namespace talvor {

// The 32 x 32 picture of a tool-bar button, by the button's picture number. The pictures are
// drawn in code in the sixteen basic colours; an unknown number gives a framed question mark.
// Needs a running QGuiApplication, as every QPixmap does.
QIcon ToolBarPicture(int number);

}  // namespace talvor
