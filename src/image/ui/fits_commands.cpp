#include "image/ui/fits_commands.h"

#include "core/clock.h"
#include "core/messages.h"
#include "core/session.h"
#include "image/fits_details_form.h"
#include "image/settings_file.h"
#include "image/ui/fits_details_dialog.h"

namespace talvor {
namespace {

constexpr int kIniDefaultsSet = 19;
constexpr int kIniUnwritable = 21;

// Shows the dialog with the eight-bit choice cleared: it lives for one save only.
bool ShowFitsDetails(Session& session, QWidget* parent) {
    session.state.Fits.eightBit = false;
    TFITSDialog dialog(session, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace

void EditAutoSaveFitsText(Session& session, QWidget* parent) {
    if (ReadSettings(session) != SettingsResult::Done) {
        ReportMessage(session.ui, kIniDefaultsSet);
        WriteSettings(session);
    }
    if (ShowFitsDetails(session, parent) && WriteSettings(session) != SettingsResult::Done) {
        ReportMessage(session.ui, kIniUnwritable);
    }
}

void EditCurrentFitsDetails(Session& session, QWidget* parent) {
    ShowFitsDetails(session, parent);
}

bool PrepareSaveAsFits(Session& session, QWidget* parent) {
    SetMissingFitsDate(session.state.Fits, session.clock.LocalTime());
    return ShowFitsDetails(session, parent);
}

}  // namespace talvor
