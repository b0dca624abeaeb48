#include "image/ui/program_defaults_command.h"

#include <QWidget>

#include "core/messages.h"
#include "core/session.h"
#include "image/settings_file.h"
#include "image/ui/program_defaults_dialog.h"
#include "ui/command_host.h"

namespace talvor {
namespace {

constexpr int kIniUnreadable = 20;
constexpr int kIniUnwritable = 21;

}  // namespace

void RunProgramDefaults(Session& session, CommandHost& frame) {
    if (ReadSettings(session) != SettingsResult::Done) {
        ReportMessage(session.ui, kIniUnreadable);
        WriteSettings(session);
    }
    // The file may hold another background than the one on screen.
    session.display.BackgroundChanged = true;
    TINIDialog dialog(session, frame.DialogParent());
    if (dialog.exec() == QDialog::Accepted && WriteSettings(session) != SettingsResult::Done) {
        ReportMessage(session.ui, kIniUnwritable);
    }
    frame.RebuildToolBar();
    frame.Picture()->update();
}

}  // namespace talvor
