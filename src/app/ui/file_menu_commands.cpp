#include "app/ui/file_menu_commands.h"

#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>

#include "app/ui/talvor_window.h"
#include "core/messages.h"
#include "core/session.h"
#include "core/user_interface.h"
#include "display/display_bitmap.h"
#include "display/refresh_display.h"
#include "image/fits_file.h"
#include "image/image_loading.h"
#include "image/save_format.h"
#include "image/tiff_file.h"
#include "image/ui/fits_commands.h"
#include "image/ui/image_file_dialogs.h"
#include "processing/merge_mode.h"

namespace talvor {
namespace {

constexpr int kCannotCreateFile = 22;

std::filesystem::path ToPath(const QString& file) {
    return file.toStdString();
}

}  // namespace

FileMenuCommands::FileMenuCommands(Session& session, QWidget* parent, TTalvorWindow& window)
    : session_(session), parent_(parent), window_(window) {}

std::optional<QString> FileMenuCommands::Choose(const FileDialogSetup& setup, int* chosenFilter) {
    QString directory = StartFolder(session_.state);
    const auto chosen = ChooseImageFile(parent_, setup, directory, chosenFilter);
    if (chosen) {
        session_.state.LastFileFolder = directory.toStdString();
    }
    return chosen;
}

void FileMenuCommands::Open() {
    FileDialogSetup setup;
    setup.caption = QStringLiteral("Open");
    setup.filters = OpenFilters();
    setup.filterIndex = static_cast<int>(session_.state.LastFileKind);
    setup.initialName = lastName_;
    const auto chosen = Choose(setup);
    if (!chosen) {
        return;
    }
    // The name is offered again as it is on disk: names differ by case here.
    lastName_ = QFileInfo(*chosen).fileName();
    const QString title = lastName_.toLower();
    session_.state.LastFileKind = FileKindOfChoice(title, setup.defaultSuffix);
    OpenDuringMerging(session_);
    LoadIntoCurrentImage(session_, ToPath(*chosen), title.toStdString());
}

void FileMenuCommands::Save() {
    SaveAs(SaveMode::Native);
}

void FileMenuCommands::SaveAsTiff() {
    SaveAs(SaveMode::Tiff);
}

void FileMenuCommands::SaveAsFits() {
    if (PrepareSaveAsFits(session_, parent_)) {
        SaveAs(SaveMode::Fits);
    }
}

void FileMenuCommands::SaveAs(SaveMode mode) {
    FileDialogSetup setup;
    setup.save = true;
    switch (mode) {
        case SaveMode::Tiff:
            setup.caption = QStringLiteral("Save as Tiff file");
            setup.filters = TiffSaveFilters();
            setup.defaultSuffix = QStringLiteral("TIF");
            break;
        case SaveMode::Fits:
            setup.caption = QStringLiteral("Save as FITS file");
            setup.filters = FitsSaveFilters();
            setup.defaultSuffix = QStringLiteral("FIT");
            break;
        case SaveMode::Native:
            setup.caption = QStringLiteral("Save");
            setup.filters = NativeSaveFilters();
            setup.filterIndex = static_cast<int>(session_.state.LastFileKind);
            break;
    }
    int filter = setup.filterIndex;
    const auto chosen = Choose(setup, &filter);
    if (!chosen) {
        return;
    }
    QString file = *chosen;
    SaveFormat format = mode == SaveMode::Tiff ? SaveFormat::Tiff : SaveFormat::Fits;
    if (mode == SaveMode::Native) {
        // "&Save..." writes what the chosen filter, or else the name's extension, says.
        format = SaveFormatOf(static_cast<FileKind>(filter), file.toStdString());
        if (format == SaveFormat::Fits && static_cast<FileKind>(filter) == FileKind::Fits) {
            file = QString::fromStdString(WithFitsExtension(file.toStdString()));
        }
        // An 8-bit choice lives for one Save as FITS only.
        session_.state.Fits.eightBit = false;
    }
    const QString title = QFileInfo(file).fileName().toLower();
    session_.state.LastFileKind =
        format == SaveFormat::Fits ? FileKind::Fits : FileKindOfChoice(title, setup.defaultSuffix);

    bool written = false;
    if (format == SaveFormat::Native) {
        written = SaveNative(session_, ToPath(file));
    } else {
        written = WriteTiffOrFits(format == SaveFormat::Tiff, ToPath(file));
        if (!written) {
            ReportMessage(session_.ui, kCannotCreateFile);
        }
    }
    // The caption names the saved file, once it is written; the image keeps its own title for
    // the next refresh.
    if (written) {
        SetMainTitle(session_.ui, title.toStdString());
    }
}

bool FileMenuCommands::WriteTiffOrFits(bool tiff, const std::filesystem::path& file) {
    BusyCursor busy(session_.ui);
    const ImageBuffer& frame = session_.images.CurrentImage;
    if (tiff) {
        return WriteTiffFile(file, frame) == TiffWriteResult::Written;
    }
    return WriteFitsFile(file, frame, session_.state.Fits, session_.state,
                         session_.state.Fits.eightBit) == FitsWriteResult::Written;
}

void FileMenuCommands::Copy() {
    if (!window_.HasDisplayBitmap()) {
        return;
    }
    auto* data = new QMimeData;
    data->setImageData(window_.DisplayBitmap());
    // The bitmap file itself carries the 8-bit picture with its palette.
    QFile bitmap(QString::fromStdString(
        session_.dataDirectory
            .Resolve(session_.state.GuidingDisplay ? kSmallBitmapName : kDisplayBitmapName)
            .string()));
    if (bitmap.open(QIODevice::ReadOnly)) {
        data->setData(QStringLiteral("image/bmp"), bitmap.readAll());
    }
    QGuiApplication::clipboard()->setMimeData(data);
}

}  // namespace talvor
