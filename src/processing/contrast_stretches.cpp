#include "processing/contrast_stretches.h"

#include <algorithm>
#include <string_view>

#include "core/session.h"
#include "core/working_state.h"
#include "processing/stretch_table.h"
#include "processing/stretch_tables.h"

namespace talvor {
namespace {

void Stretch(Session& session, const StretchCurve& curve, std::string_view history) {
    ApplyStretch(session, curve);
    AppendHistory(session.state, history);
}

}  // namespace

void NormalStretch(Session& session, int black, int white) {
    const int b = std::clamp(black, 0, kMaxBlackLevel);
    const int w = std::clamp(white, kMinWhiteLevel, kMaxWhiteLevel);
    if (w <= b) {
        return;
    }
    Stretch(session, NormalStretchCurve(b, w), NormalStretchHistory(b, w));
}

void PowerLawStretch(Session& session, double power) {
    if (power == 1.0) {
        return;
    }
    Stretch(session, PowerStretchCurve(power), PowerStretchHistory(power));
}

void SineLawStretch(Session& session) {
    Stretch(session, SineStretchCurve(), "Sine Stretch");
}

void RemoveBackground(Session& session) {
    // The level is a high byte; anything beyond the byte range is taken as its top.
    const int level = std::min(session.display.BackgroundLevel, 256);
    if (level <= 2) {
        return;
    }
    Stretch(session, BackgroundRemovalCurve(level), BackgroundRemovalHistory(level));
}

void NonLinearStretch(Session& session, int power) {
    const int p = std::clamp(power, kMinNonLinearPower, kMaxNonLinearPower);
    Stretch(session, NonLinearStretchCurve(p), NonLinearStretchHistory(p));
}

void LogarithmicStretch(Session& session) {
    Stretch(session, LogStretchCurve(), "Log Stretch");
}

void AntilogarithmicStretch(Session& session) {
    Stretch(session, AntiLogStretchCurve(), "Anti-Log Stretch");
}

void InvertToNegative(Session& session) {
    Stretch(session, InvertCurve(), "Invert Image to Negative");
}

}  // namespace talvor
