#pragma once

#include <QString>

class QWidget;

namespace talvor {

// The folder of the help pages shipped with the program: share/talvor/help beside the
// program's bin folder, both in the build tree and once installed.
QString HelpDirectory();

// Shows the help pages at their contents page; false when they cannot be shown.
bool ShowHelpContents(QWidget* parent);

}  // namespace talvor
