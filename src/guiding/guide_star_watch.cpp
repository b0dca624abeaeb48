#include "guiding/guide_star_watch.h"

#include <algorithm>
#include <cmath>

#include "core/session.h"
#include "guiding/guide_star_figures.h"

namespace talvor {
namespace {

// A frame whose star has less than this share of the usual peak or light shows something else.
constexpr double kLeastShareOfUsual = 0.3;
// How far a star may move between two frames in which it was seen: the guide corrections and
// the mount's own errors, and more the longer it was hidden.
constexpr double kLongestStep = 4.0;
constexpr double kStrayPerSecond = 0.25;
// A star found in a wide search has figures within this factor of the usual ones.
constexpr double kMatchFactor = 2.0;
// How quickly the usual figures follow the star.
constexpr double kFollowShare = 0.1;

double Tenths(int whole, int tenths) {
    return whole + tenths * 0.1;
}

}  // namespace

std::string_view AbsenceName(StarAbsence absence) {
    switch (absence) {
        case StarAbsence::None:
            return "";
        case StarAbsence::NoCentre:
            return "no centre";
        case StarAbsence::Faint:
            return "faint";
        case StarAbsence::Jumped:
            return "jumped";
    }
    return "";
}

bool ShowsTheStar(const GuideStarFigures& usual, const GuideStarFigures& figures) {
    return figures.snr >= kLeastGuideStarSnr && figures.peak >= kLeastShareOfUsual * usual.peak &&
           figures.mass >= kLeastShareOfUsual * usual.mass;
}

bool MatchesTheStar(const GuideStarFigures& usual, const GuideStarFigures& figures) {
    const auto within = [](double value, double usualValue) {
        return value * kMatchFactor >= usualValue && value <= usualValue * kMatchFactor;
    };
    return figures.snr >= kLeastGuideStarSnr && within(figures.peak, usual.peak) &&
           within(figures.mass, usual.mass) && within(figures.snr, usual.snr);
}

double FiguresMismatch(const GuideStarFigures& usual, const GuideStarFigures& figures) {
    return std::abs(std::log(figures.peak / usual.peak)) +
           std::abs(std::log(figures.mass / usual.mass));
}

double StrayReach(const GuideStarWatch& watch, uint32_t nowMs) {
    const double seconds = static_cast<int32_t>(nowMs - watch.lastSeenMs) / 1000.0;
    return kLongestStep + kStrayPerSecond * std::max(0.0, seconds);
}

bool WithinReach(const GuideStarWatch& watch, double x, double y, uint32_t nowMs) {
    // The star stays where it was last seen, or a correction has taken it back towards the
    // reference; it strays further the longer it was hidden.
    const double fromLast = std::hypot(x - watch.lastX, y - watch.lastY);
    const double fromReference = std::hypot(x - watch.referenceX, y - watch.referenceY);
    return std::min(fromLast, fromReference) <= StrayReach(watch, nowMs);
}

StarAbsence JudgeGuideStar(const GuideStarWatch& watch, const GuideStarFigures& figures, double x,
                           double y, uint32_t nowMs) {
    if (figures.snr < kLeastGuideStarSnr) {
        return StarAbsence::Faint;
    }
    if (!watch.known) {
        return StarAbsence::None;
    }
    if (!ShowsTheStar(watch.usual, figures)) {
        return StarAbsence::Faint;
    }
    return WithinReach(watch, x, y, nowMs) ? StarAbsence::None : StarAbsence::Jumped;
}

void NoteStarSeen(GuideStarWatch& watch, const GuideStarFigures& figures, double x, double y,
                  uint32_t nowMs) {
    if (!watch.known) {
        watch.usual = figures;
        watch.known = true;
    } else {
        GuideStarFigures& usual = watch.usual;
        usual.peak += kFollowShare * (figures.peak - usual.peak);
        usual.mass += kFollowShare * (figures.mass - usual.mass);
        usual.snr += kFollowShare * (figures.snr - usual.snr);
    }
    watch.lastX = x;
    watch.lastY = y;
    watch.lastSeenMs = nowMs;
    watch.missing = false;
}

void NoteStarMissed(GuideStarWatch& watch) {
    watch.missing = true;
}

double CentreX(const Session& session) {
    const CentrePosition& centre = session.guiding.StarCentre;
    return Tenths(centre.x, centre.xTenths);
}

double CentreY(const Session& session) {
    const CentrePosition& centre = session.guiding.StarCentre;
    return Tenths(centre.y, centre.yTenths);
}

GuideStarFigures TakeGuideReference(Session& session) {
    GuidingState& guiding = session.guiding;
    guiding.GuideReference = guiding.StarCentre;
    const double x = CentreX(session);
    const double y = CentreY(session);
    const GuideStarFigures figures =
        MeasureGuideStar(session.images.CurrentImage, x, y, guiding.MeasureRadius);
    GuideStarWatch& watch = guiding.Run.watch;
    watch = GuideStarWatch{};
    watch.referenceX = x;
    watch.referenceY = y;
    if (figures.snr >= kLeastGuideStarSnr) {
        NoteStarSeen(watch, figures, x, y, session.clock.Milliseconds());
    }
    return figures;
}

}  // namespace talvor
