#pragma once

#include "core/calibration_state.h"
#include "core/label_settings.h"

namespace talvor {

struct Session;

// The calibration, merging and label state of a session.
CalibrationState& CalibrationOf(Session& session);
LabelSettings& LabelSettingsOf(Session& session);

// Back to the start-up state: no automatic files chosen, merging at rest, "Use FITs Date" off.
void ResetProcessingState(Session& session);

}  // namespace talvor
