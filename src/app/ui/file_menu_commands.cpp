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
    : session_(session),
      parent_(parent),
      window_(window),
      directory_(QString::fromStdString(session.dataDirectory.Root().string())) {}

void FileMenuCommands::Open() {
    FileDialogSetup setup;
    setup.caption = QStringLiteral("Open");
    setup.filters = OpenFilters();
    setup.filterIndex = static_cast<int>(session_.state.LastFileKind);
    setup.initialName = lastTitle_;
    const auto chosen = ChooseImageFile(parent_, setup, directory_);
    if (!chosen) {
        return;
    }
    const QString title = QFileInfo(*chosen).fileName().toLower();
    lastTitle_ = title;
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
    const auto chosen = ChooseImageFile(parent_, setup, directory_);
    if (!chosen) {
        return;
    }
    const QString title = QFileInfo(*chosen).fileName().toLower();
    // The caption names the saved file; the image keeps its own title for the next refresh.
    SetMainTitle(session_.ui, title.toStdString());
    session_.state.LastFileKind = FileKindOfChoice(title, setup.defaultSuffix);

    if (mode == SaveMode::Native) {
        SaveNative(session_, ToPath(*chosen));
        return;
    }
    if (!WriteTiffOrFits(mode == SaveMode::Tiff, ToPath(*chosen))) {
        ReportMessage(session_.ui, kCannotCreateFile);
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
