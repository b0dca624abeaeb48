#include "processing/ui/calibration_commands.h"

#include <QWidget>

#include <QAbstractScrollArea>
#include <QFileInfo>
#include <memory>

#include "core/command_ids.h"
#include "core/session.h"
#include "image/ui/image_file_dialogs.h"
#include "processing/calibration_steps.h"
#include "processing/label_drawing.h"
#include "processing/merge_mode.h"
#include "processing/processing_state.h"
#include "processing/ui/label_dialog.h"
#include "processing/ui/merge_dialog.h"
#include "processing/undo_history.h"
#include "ui/command_host.h"

namespace talvor {
namespace {

QString CaptionOf(CalibrationFileMode mode) {
    switch (mode) {
        case CalibrationFileMode::Subtract:
            return QStringLiteral("Subtract Image (Dark Frame)");
        case CalibrationFileMode::FlatField:
            return QStringLiteral("Apply Flat Field");
        case CalibrationFileMode::Average:
            return QStringLiteral("Average with another Image file");
        case CalibrationFileMode::SelectDarkFrame:
            return QStringLiteral("Select Dark Frame");
        case CalibrationFileMode::SelectFlatField:
            return QStringLiteral("Select Auto-Flat File");
    }
    return {};
}

// The filters of Open, with the last one named as these commands name it.
QStringList CalibrationFilters() {
    QStringList filters = OpenFilters();
    filters.back() = QStringLiteral("All Files(*.*) (*)");
    return filters;
}

}  // namespace

void RunCalibrationFileCommand(Session& session, CalibrationFileMode mode, QWidget* parent,
                               QString& directory) {
    FileDialogSetup setup;
    setup.caption = CaptionOf(mode);
    setup.filters = CalibrationFilters();
    setup.filterIndex = static_cast<int>(session.state.LastFileKind);
    const auto chosen = ChooseImageFile(parent, setup, directory);
    if (!chosen) {
        return;
    }
    session.state.LastFileKind =
        FileKindOfChoice(QFileInfo(*chosen).fileName().toLower(), setup.defaultSuffix);
    const std::string file = chosen->toStdString();
    switch (mode) {
        case CalibrationFileMode::SelectDarkFrame:
            CalibrationOf(session).AutoDarkPath = file;
            break;
        case CalibrationFileMode::SelectFlatField:
            CalibrationOf(session).AutoFlatPath = file;
            break;
        case CalibrationFileMode::Subtract:
            SubtractImage(session, file);
            break;
        case CalibrationFileMode::FlatField:
            ApplyFlatField(session, file);
            break;
        case CalibrationFileMode::Average:
            AverageWithImage(session, file);
            break;
    }
}

TMergeDialog* RunMergeCommand(Session& session, QWidget* parent, std::function<void()> afterMerge) {
    if (StartMerging(session) == MergeStart::Refused) {
        return nullptr;
    }
    auto* dialog = new TMergeDialog(session, std::move(afterMerge), parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    return dialog;
}

void RunLabelCommand(Session& session, QWidget* parent) {
    LabelSettings& settings = LabelSettingsOf(session);
    TLabelDialog dialog(session, settings, parent);
    if (dialog.exec() == QDialog::Accepted) {
        LabelImage(session, settings.Text, settings.AutoDate, settings.UseFitsDate);
    }
}

void BindCalibrationAndLabelCommands(CommandHost& frame, Session& session) {
    // The folder the file dialogs of these commands start in, kept between them.
    auto directory =
        std::make_shared<QString>(QString::fromStdString(session.dataDirectory.Root().string()));
    const auto fileCommand = [&frame, &session, directory](CalibrationFileMode mode) {
        return [&frame, &session, directory, mode] {
            RunCalibrationFileCommand(session, mode, frame.DialogParent(), *directory);
        };
    };
    frame.Bind(CmSubtractImage, fileCommand(CalibrationFileMode::Subtract));
    frame.Bind(CmApplyFlatField, fileCommand(CalibrationFileMode::FlatField));
    frame.Bind(CmAverageImages, fileCommand(CalibrationFileMode::Average));
    frame.Bind(CmSelectDarkFrame, fileCommand(CalibrationFileMode::SelectDarkFrame));
    frame.Bind(CmSelectAutoFlat, fileCommand(CalibrationFileMode::SelectFlatField));
    frame.Bind(CmMergeImages, [&frame, &session] {
        RunMergeCommand(session, frame.DialogParent(), [&frame] { frame.Picture()->update(); });
    });
    frame.Bind(CmUndoLastFilter, [&session] { UndoLastStep(session); });
    frame.Bind(CmProcessingHistory, [&session] { ShowProcessingHistory(session); });
    frame.Bind(CmLabel, [&frame, &session] { RunLabelCommand(session, frame.DialogParent()); });
}

}  // namespace talvor
