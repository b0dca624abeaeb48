#include "image/ui/delete_file_command.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include "core/session.h"
#include "image/ui/delete_dialog.h"
#include "image/ui/image_file_dialogs.h"

namespace talvor {

QStringList DeleteFileFilters() {
    // The text before the last parentheses is what the dialog shows; the patterns are inside.
    return {QStringLiteral("Veltrane (~*.) (~*)"), QStringLiteral("FITS files (*.[Ff][Ii][Tt])"),
            QStringLiteral("All Files (*)")};
}

void DeleteFileCommand(Session& session, QWidget* parent) {
    const QStringList filters = DeleteFileFilters();
    QFileDialog chooser(parent, QStringLiteral("Delete File"), StartFolder(session.state));
    chooser.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    chooser.setFileMode(QFileDialog::ExistingFile);
    chooser.setNameFilters(filters);
    const int kind = static_cast<int>(session.state.LastFileKind);
    chooser.selectNameFilter(filters.value(kind - 1, filters.back()));
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) {
        return;
    }
    const QString fileName = chooser.selectedFiles().front();
    session.state.LastFileFolder = QFileInfo(fileName).absolutePath().toStdString();
    session.state.LastFileKind = QFileInfo(fileName).fileName().contains(QLatin1Char('~'))
                                     ? FileKind::NativeRaw
                                     : FileKind::AllFiles;
    TDeleteDialog confirm(fileName, parent);
    if (confirm.exec() == QDialog::Accepted) {
        QFile::remove(fileName);
    }
}

}  // namespace talvor
