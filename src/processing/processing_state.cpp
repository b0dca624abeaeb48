#include "processing/processing_state.h"

#include "core/session.h"

namespace talvor {

CalibrationState& CalibrationOf(Session& session) {
    return session.calibration;
}

LabelSettings& LabelSettingsOf(Session& session) {
    return session.label;
}

void ResetProcessingState(Session& session) {
    session.calibration = CalibrationState{};
    session.label = LabelSettings{};
}

}  // namespace talvor
