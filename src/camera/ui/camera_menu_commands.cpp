#include "camera/ui/camera_menu_commands.h"

#include <QWidget>

#include "camera/camera_interface.h"
#include "camera/capture_sequence.h"
#include "camera/ui/camera_dialog.h"
#include "core/command_ids.h"
#include "core/session.h"
#include "ui/command_host.h"

namespace talvor {

void RunCameraInterface(Session& session, const SelfGuidingHooks& hooks, QWidget* parent) {
    if (!PrepareCameraInterface(session)) {
        return;
    }
    TVeltraneDialog dialog(session, hooks, parent);
    if (dialog.exec() != QDialog::Accepted) {
        CancelCameraInterface(session);
        return;
    }
    CaptureSequence(session, *session.camera.Link, hooks).TakePhoto();
}

void BindCameraCommands(CommandHost& frame, Session& session, const SelfGuidingHooks& hooks) {
    frame.Bind(CmCameraInterface, [&session, &hooks, &frame] {
        RunCameraInterface(session, hooks, frame.DialogParent());
    });
    frame.Bind(CmQuickSaveFits, [&session] { QuickSaveCurrentImage(session); });
}

}  // namespace talvor
