#include "image/ui/image_file_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace talvor {

QStringList OpenFilters() {
    // The text before the last parentheses is what the dialog shows; the patterns are inside.
    return {QStringLiteral("Veltrane (~*.) (~*)"), QStringLiteral("FITS files (*.[Ff][Ii][Tt])"),
            QStringLiteral("All Files (*)")};
}

QStringList NativeSaveFilters() {
    return {QStringLiteral("Veltrane (~*.) (~*)"), QStringLiteral("FITs files (*.[Ff][Ii][Tt])"),
            QStringLiteral("All Files(*.*) (*)")};
}

QStringList TiffSaveFilters() {
    return {QStringLiteral("Tiff file (*.TIF) (*.[Tt][Ii][Ff])"),
            QStringLiteral("All Files(*.*) (*)")};
}

QStringList FitsSaveFilters() {
    return {QStringLiteral("FITS file (*.FIT) (*.[Ff][Ii][Tt])"),
            QStringLiteral("All Files(*.*) (*)")};
}

std::optional<QString> ChooseImageFile(QWidget* parent, const FileDialogSetup& setup,
                                       QString& directory, int* chosenFilter) {
    QFileDialog dialog(parent, setup.caption, directory);
    // The desktop's own dialog may match patterns by case; this one matches any case.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails |
                      QFileDialog::ReadOnly);
    dialog.setAcceptMode(setup.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(setup.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(setup.filters);
    dialog.selectNameFilter(setup.filters.value(setup.filterIndex - 1, setup.filters.front()));
    dialog.setDefaultSuffix(setup.defaultSuffix);
    if (!setup.initialName.isEmpty()) {
        dialog.selectFile(setup.initialName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const QString chosen = dialog.selectedFiles().front();
    directory = QFileInfo(chosen).absolutePath();
    if (chosenFilter != nullptr) {
        // The dialog may name the filter without its patterns.
        const QString selected = dialog.selectedNameFilter();
        for (int i = 0; i < setup.filters.size(); ++i) {
            if (setup.filters[i] == selected || setup.filters[i].startsWith(selected + " (")) {
                *chosenFilter = i + 1;
            }
        }
    }
    return chosen;
}

QString StartFolder(const WorkingState& state) {
    const QString last = QString::fromStdString(state.LastFileFolder);
    if (!last.isEmpty() && QFileInfo(last).isDir()) {
        return last;
    }
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir()) {
        return pictures;
    }
    return QDir::homePath();
}

FileKind FileKindOfChoice(const QString& title, const QString& defaultSuffix) {
    if (defaultSuffix.compare(QStringLiteral("FIT"), Qt::CaseInsensitive) == 0) {
        return FileKind::Fits;
    }
    return title.contains(QLatin1Char('~')) ? FileKind::NativeRaw : FileKind::AllFiles;
}

}  // namespace talvor
