#include "image/ui/fits_commands.h"

#include "core/clock.h"
#include "core/messages.h"
#include "core/session.h"
#include "image/fits_details_form.h"
#include "image/quick_save.h"
#include "image/settings_file.h"
#include "image/ui/fits_details_dialog.h"

namespace talvor {
namespace {

constexpr int kIniDefaultsSet = 19;
constexpr int kIniUnwritable = 21;

// Shows the dialog over the given details with the eight-bit choice cleared: it lives for one
// save only.
bool ShowFitsDetails(Session& session, QWidget* parent, FitsDetails& details, bool& unsignedFits) {
    details.eightBit = false;
    TFITSDialog dialog(session, details, unsignedFits, parent);
    return dialog.exec() == QDialog::Accepted;
}

// The current image's details; what the user confirms or toggles there is the image's own and
// stays when the settings file is read again.
bool EditImageDetails(Session& session, QWidget* parent) {
    WorkingState& state = session.state;
    const bool unsignedBefore = state.UnsignedFits;
    const bool accepted = ShowFitsDetails(session, parent, state.Fits, state.UnsignedFits);
    if (accepted || state.UnsignedFits != unsignedBefore) {
        state.TextsOrigin = HeaderTextsOrigin::Edited;
    }
    return accepted;
}

}  // namespace

void EditAutoSaveFitsText(Session& session, QWidget* parent) {
    if (ReadSettings(session) != SettingsResult::Done) {
        ReportMessage(session.ui, kIniDefaultsSet);
        WriteSettings(session);
    }
    // The dialog shows the settings file's texts with the current frame's date, time and
    // exposure around them.
    ProgramSettings& settings = session.settings;
    FitsDetails record = session.state.Fits;
    CopyStoredFitsTexts(settings.Fits, record);
    const bool accepted = ShowFitsDetails(session, parent, record, settings.UnsignedFits);
    if (accepted) {
        CopyStoredFitsTexts(record, settings.Fits);
        // The texts chosen for what is saved next become the current image's too.
        session.state.Fits = record;
        session.state.TextsOrigin = HeaderTextsOrigin::Settings;
    }
    FollowSettingsTexts(session.state, settings);
    if (accepted && WriteSettings(session) != SettingsResult::Done) {
        ReportMessage(session.ui, kIniUnwritable);
    }
}

void EditCurrentFitsDetails(Session& session, QWidget* parent) {
    EditImageDetails(session, parent);
}

bool PrepareSaveAsFits(Session& session, QWidget* parent) {
    FitsDetails& details = session.state.Fits;
    if (details.date.size() < kFormDateLength) {
        // A captured frame is dated by its exposure, anything else by today's date.
        const CaptureRun& run = session.capture.Run;
        if (!StampCapturedImage(session, run.Start, run.Finish)) {
            SetMissingFitsDate(details, session.clock.LocalTime());
        }
    }
    return EditImageDetails(session, parent);
}

}  // namespace talvor
