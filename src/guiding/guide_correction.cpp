#include "guiding/guide_correction.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "core/clock.h"
#include "core/session.h"
#include "core/user_interface.h"
#include "guiding/guide_frames.h"
#include "guiding/guide_star_figures.h"
#include "guiding/guide_star_reacquire.h"
#include "telescope/telescope_link.h"

namespace talvor {
namespace {

constexpr int kThousandths = 1000;
constexpr int kTenthInThousandths = 100;
// Offsets up to these are left alone: with whole-pixel centres, and with tenths on each axis.
constexpr int kWholePixelThreshold = 300;
constexpr int kRaThreshold = 50;
constexpr int kDecThreshold = 30;
constexpr uint32_t kBetweenAxesMs = 700;
constexpr int kLostStarBeeps = 4;

struct AxisRules {
    int threshold;
    char positiveLetter;  // the star must move right (RA) or down (Dec)
    char negativeLetter;
    int backlash;
    int rate;
    int hysteresis;
};

GuidePulse CorrectAxis(Session& session, int offset, const AxisRules& rules, char& lastDirection) {
    if (std::abs(offset) <= rules.threshold) {
        return {};
    }
    const char direction = offset > 0 ? rules.positiveLetter : rules.negativeLetter;
    if (direction != lastDirection) {
        // The play is taken up in the direction of the pulse, whichever way that is.
        offset += (offset > 0 ? 1 : -1) * rules.backlash * kThousandths;
        lastDirection = direction;
    }
    // A rate of 0 (typed into the defaults) would divide by zero; it counts as 1, as training
    // stores it.
    const int rate = rules.rate == 0 ? 1 : rules.rate;
    const int length = std::abs(offset / rate) - rules.hysteresis;
    if (length <= 0) {
        return {};
    }
    session.ui.Beep();
    session.telescope.PulseDirection = direction;
    session.telescope.PulseLength = length;
    TelescopeLink link(session);
    const LinkStatus sent = session.settings.Telescope == TelescopeType::MeadeLx200
                                ? link.SendGuidePulse()
                                : link.SendControlBoxPulse();
    if (sent == LinkStatus::Lost) {
        // The mount stopped answering and the link has said so: guiding ends here.
        session.capture.Run.ContinuousRunning = false;
    }
    session.ui.Beep();
    return {direction, length};
}

void WaitBetweenAxes(Session& session) {
    const uint32_t end = session.clock.Milliseconds() + kBetweenAxesMs;
    while (!DeadlineReached(session.clock.Milliseconds(), end)) {
        session.ui.IdleWait();
    }
}

// Reference minus measured centre in thousandths of a pixel, held in 16 bits: a star found
// further than 32 pixels off is taken back by 32 pixels at a time rather than wrapped round.
int16_t OffsetOnAxis(int reference, int referenceTenths, int measured, int measuredTenths) {
    const int offset = (reference - measured) * kThousandths +
                       (referenceTenths - measuredTenths) * kTenthInThousandths;
    return static_cast<int16_t>(std::clamp<int>(offset, std::numeric_limits<int16_t>::min(),
                                                std::numeric_limits<int16_t>::max()));
}

}  // namespace

GuideCorrectionOutcome GuideCorrection(Session& session) {
    GuidingState& guiding = session.guiding;
    GuideStarWatch& watch = guiding.Run.watch;
    const CentrePosition reference = guiding.GuideReference;
    const CentrePosition before = guiding.StarCentre;
    const uint32_t now = session.clock.Milliseconds();
    GuideCorrectionOutcome outcome;
    if (watch.known && watch.missing) {
        // The star was hidden: it may have strayed beyond the window around the reference, and
        // something else may now stand in that window.
        const ReacquiredStar found = ReacquireGuideStar(session, watch, now);
        outcome.absence = found.absence;
        outcome.figures = found.figures;
        guiding.StarCentre = found.centre;
    } else if (FindGuideStar(session, reference.x, reference.y) != CentreResult::Found) {
        outcome.absence = StarAbsence::NoCentre;
    } else {
        outcome.figures = MeasureGuideStar(session.images.CurrentImage, CentreX(session),
                                           CentreY(session), guiding.MeasureRadius);
        outcome.absence =
            JudgeGuideStar(watch, outcome.figures, CentreX(session), CentreY(session), now);
    }
    if (outcome.absence != StarAbsence::None) {
        // What was found is not the star: it is neither corrected nor kept as its centre.
        guiding.StarCentre = before;
        if (watch.known) {
            NoteStarMissed(watch);
        }
        for (int beep = 0; beep < kLostStarBeeps; ++beep) {
            session.ui.Beep();
        }
        outcome.result = GuideCorrectionResult::StarNotFound;
        return outcome;
    }
    if (!watch.known) {
        CentreGuideStarTwice(session, guiding.StarCentre.x, guiding.StarCentre.y);
        outcome.figures = TakeGuideReference(session);
        guiding.GuideOffset = {};
        return outcome;
    }
    NoteStarSeen(watch, outcome.figures, CentreX(session), CentreY(session), now);
    const CentrePosition& centre = guiding.StarCentre;
    guiding.GuideOffset.dx = OffsetOnAxis(reference.x, reference.xTenths, centre.x, centre.xTenths);
    guiding.GuideOffset.dy = OffsetOnAxis(reference.y, reference.yTenths, centre.y, centre.yTenths);
    GuideRunStatistics& statistics = guiding.Run.statistics;
    ++statistics.measuredFrames;
    statistics.sumDxSquared += std::pow(guiding.GuideOffset.dx / double{kThousandths}, 2);
    statistics.sumDySquared += std::pow(guiding.GuideOffset.dy / double{kThousandths}, 2);
    outcome.pulses = CorrectGuideOffset(session, guiding.GuideOffset);
    return outcome;
}

GuideCorrectionPulses CorrectGuideOffset(Session& session, OffsetThousandths offset) {
    const ProgramSettings& settings = session.settings;
    GuidingState& guiding = session.guiding;
    const bool wholePixels = settings.IgnoreDriftBelowOnePixel;
    GuideCorrectionPulses pulses;
    const AxisRules ra{wholePixels ? kWholePixelThreshold : kRaThreshold,
                       settings.EastLetter,
                       settings.WestLetter,
                       settings.RaBacklash,
                       settings.RaPixelsPerSecond,
                       settings.RaHysteresis};
    pulses.ra = CorrectAxis(session, offset.dx, ra, guiding.LastRaDirection);
    if (settings.DirectionChangeDelay70Ms) {
        WaitBetweenAxes(session);
    }
    const AxisRules dec{wholePixels ? kWholePixelThreshold : kDecThreshold,
                        settings.NorthLetter,
                        settings.SouthLetter,
                        settings.DecBacklash,
                        settings.DecPixelsPerSecond,
                        settings.DecHysteresis};
    pulses.dec = CorrectAxis(session, offset.dy, dec, guiding.LastDecDirection);
    return pulses;
}

}  // namespace talvor
