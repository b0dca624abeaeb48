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

// Whether figures measured on a star found anywhere in a wide search are those of the guide star
// itself: its peak, light and signal-to-noise ratio each within a factor of two of the usual.
// A fainter or brighter star nearby, a hot pixel or a smudge of noise is not.
bool MatchesTheStar(const GuideStarFigures& usual, const GuideStarFigures& figures);

// How far figures stand from the usual ones (0 when equal): the sum of how many times the peak
// and the light are off, on a logarithmic scale. Only for figures that match the star.
double FiguresMismatch(const GuideStarFigures& usual, const GuideStarFigures& figures);

// How far the star may be from where it was last seen, or from the reference a correction
// takes it to, at the clock's `nowMs`: a few pixels between frames, more the longer it was
// hidden.
double StrayReach(const GuideStarWatch& watch, uint32_t nowMs);
// Whether a centre lies within that reach.
bool WithinReach(const GuideStarWatch& watch, double x, double y, uint32_t nowMs);

// Judges a centre found at (x, y) with these figures at the clock's `nowMs`. Without usual
// figures only the noise floor applies.
StarAbsence JudgeGuideStar(const GuideStarWatch& watch, const GuideStarFigures& figures, double x,
                           double y, uint32_t nowMs);

// The star was seen: it is remembered there, and its usual figures follow it slowly (a star
// dims as it sinks, the seeing changes) or, the first time, are taken from it.
void NoteStarSeen(GuideStarWatch& watch, const GuideStarFigures& figures, double x, double y,
                  uint32_t nowMs);
// A guide frame did not show the star.
void NoteStarMissed(GuideStarWatch& watch);

// The reference becomes the star centre just found, with its tenths, and the watch starts over
// from the star measured there. Returns the figures measured.
GuideStarFigures TakeGuideReference(Session& session);

// The star centre of the session in guide-frame pixels with tenths.
double CentreX(const Session& session);
double CentreY(const Session& session);

}  // namespace talvor
