#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "core/working_state.h"

class QWidget;

namespace talvor {

// The filters of the image file dialogs. Each pattern matches upper and lower case alike, as
// file names did where the frames come from: "*.FIT" finds m42.fit.
QStringList OpenFilters();        // Veltrane, FITS files, All Files
QStringList NativeSaveFilters();  // Veltrane, FITs files, All Files
QStringList TiffSaveFilters();    // Tiff file, All Files
QStringList FitsSaveFilters();    // FITS file, All Files

// What one file dialog shows and starts with.
struct FileDialogSetup {
    QString caption;
    QStringList filters;
    int filterIndex = 1;  // 1-based, as FileKind counts
    QString defaultSuffix;
    QString initialName;
    bool save = false;
};

// Shows a file dialog starting in (and afterwards remembering) the given folder. The chosen
// file's full name, or nothing on Cancel; `chosenFilter`, when given, receives the 1-based
// index of the filter the dialog ended with.
std::optional<QString> ChooseImageFile(QWidget* parent, const FileDialogSetup& setup,
                                       QString& directory, int* chosenFilter = nullptr);

// The folder the Open, Save and Delete dialogs start in: the one they last ended in, else the
// user's Pictures folder, else the home folder. Never the program's hidden data folder.
QString StartFolder(const WorkingState& state);

// The kind remembered for the next dialog: FITS when the dialog's default extension was "FIT",
// else native when the title holds "~" anywhere, else all files.
FileKind FileKindOfChoice(const QString& title, const QString& defaultSuffix);

}  // namespace talvor
