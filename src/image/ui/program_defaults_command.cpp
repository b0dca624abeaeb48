#include "image/program_defaults_command.h"

#include <QAbstractScrollArea>

#include "app/messages.h"
#include "app/session.h"
#include "app/talvor_frame.h"
#include "app/talvor_window.h"
#include "image/ini_dialog.h"
#include "image/settings_file.h"

namespace talvor {
namespace {

constexpr int kIniUnreadable = 20;
constexpr int kIniUnwritable = 21;

}  // namespace

void RunProgramDefaults(Session& session, TalvorFrame& frame) {
    if (ReadSettings(session) != SettingsResult::Done) {
        ReportMessage(session.ui, kIniUnreadable);
        WriteSettings(session);
    }
    // The file may hold another background than the one on screen.
    session.display.BackgroundChanged = true;
    TINIDialog dialog(session, &frame);
    if (dialog.exec() == QDialog::Accepted && WriteSettings(session) != SettingsResult::Done) {
        ReportMessage(session.ui, kIniUnwritable);
    }
    frame.RebuildToolBar();
    frame.Client()->viewport()->update();
}

}  // namespace talvor
