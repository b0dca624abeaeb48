#pragma once

#include <QStringList>

class QWidget;

namespace talvor {

struct Session;

// The filters of the file dialog of "&Delete File...", in the order of FileKind. The patterns
// match upper and lower case alike, as names did where the files come from.
QStringList DeleteFileFilters();

// "&Delete File...": a file chosen in a file dialog is deleted after TDeleteDialog confirms it.
// A file that cannot be deleted is left as it is, without a message.
void DeleteFileCommand(Session& session, QWidget* parent);

}  // namespace talvor
