#pragma once

#include <cstdint>
#include <string_view>

#include "core/guide_run_state.h"

namespace talvor {

struct Session;

// Why a guide frame's centre is not taken for the star.
enum class StarAbsence {
    None,      // the star is there
    NoCentre,  // the centre search failed (nothing above the background, or off the frame)
    Faint,     // far fainter than the star usually is, or lost in the noise
    Jumped,    // further from where it was last seen, and from the reference a correction takes
               // it to, than it could have moved
};

// A few words for the guide log and the batch tool: "", "no centre", "faint", "jumped".
std::string_view AbsenceName(StarAbsence absence);

// A star fainter than this signal-to-noise ratio cannot be measured at all.
inline constexpr double kLeastGuideStarSnr = 6.0;

// Whether figures measured around a centre show the star whose usual figures these are: above
// the noise floor, and not far below its usual peak and light.
bool ShowsTheStar(const GuideStarFigures& usual, const GuideStarFigures& figures);

// Judges a centre found at (x, y) with these figures at the clock's `nowMs`. Without usual
// figures only the noise floor applies.
StarAbsence JudgeGuideStar(const GuideStarWatch& watch, const GuideStarFigures& figures, double x,
                           double y, uint32_t nowMs);

// The star was seen: it is remembered there, and its usual figures follow it slowly (a star
// dims as it sinks, the seeing changes) or, the first time, are taken from it.
void NoteStarSeen(GuideStarWatch& watch, const GuideStarFigures& figures, double x, double y,
                  uint32_t nowMs);

// The reference becomes the star centre just found, with its tenths, and the watch starts over
// from the star measured there. Returns the figures measured.
GuideStarFigures TakeGuideReference(Session& session);

// The star centre of the session in guide-frame pixels with tenths.
double CentreX(const Session& session);
double CentreY(const Session& session);

}  // namespace talvor
