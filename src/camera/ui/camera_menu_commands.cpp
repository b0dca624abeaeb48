#include "camera/camera_menu_commands.h"

#include "app/command_ids.h"
#include "app/session.h"
#include "app/talvor_frame.h"
#include "camera/camera_interface.h"
#include "camera/capture_sequence.h"
#include "camera/veltrane_dialog.h"

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

void BindCameraCommands(TalvorFrame& frame, Session& session, const SelfGuidingHooks& hooks) {
    frame.Bind(CmCameraInterface,
               [&session, &hooks, &frame] { RunCameraInterface(session, hooks, &frame); });
    frame.Bind(CmQuickSaveFits, [&session] { QuickSaveCurrentImage(session); });
}

}  // namespace talvor
