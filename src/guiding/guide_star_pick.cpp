#include "guiding/guide_star_pick.h"

#include <cstdio>

#include "core/messages.h"
#include "core/session.h"
#include "core/working_state.h"
#include "guiding/guide_frame_placement.h"
#include "measurement/star_snapping.h"

namespace talvor {
namespace {

constexpr int kOnlyStandardDisplay = 35;

}  // namespace

std::string ClickPositionText(int x, int y) {
    char text[64];
    std::snprintf(text, sizeof text, "x position = %5d\ny position = %5d", x, y);
    return text;
}

bool PickGuideStar(Session& session) {
    if (DisplayIsStretched(session.state)) {
        ReportMessage(session.ui, kOnlyStandardDisplay);
    }
    GuidingState& guiding = session.guiding;
    guiding.PickMode = !guiding.PickMode;
    if (guiding.PickMode) {
        guiding.SnapToStar = true;
        guiding.MeasureRadius = session.settings.GuideStarMaskRadius;
    }
    return guiding.PickMode;
}

void RecordPickedStar(Session& session, int snapPasses) {
    GuidingState& guiding = session.guiding;
    guiding.StarPicked = snapPasses >= kSnapPasses;
    guiding.SnapToStar = false;
    guiding.FocusCentreMode = false;
    guiding.PickedStarPosition = {guiding.StarCentre.x, guiding.StarCentre.y};
}

bool RefusePickNearEdge(Session& session) {
    GuidingState& guiding = session.guiding;
    if (!guiding.StarPicked) {
        return false;
    }
    const auto problem =
        GuideStarEdgeProblem(guiding.PickedStarPosition, session.settings.GuideStarMaskRadius);
    if (!problem) {
        return false;
    }
    guiding.StarPicked = false;
    ReportMessage(session.ui, kCallerText, *problem);
    return true;
}

void PickGuideStarClick(Session& session, int snapPasses) {
    RecordPickedStar(session, snapPasses);
    GuidingState& guiding = session.guiding;
    if (RefusePickNearEdge(session)) {
        // Picking stays armed for another star.
        if (guiding.PickMode) {
            guiding.SnapToStar = true;
            guiding.MeasureRadius = session.settings.GuideStarMaskRadius;
        }
        return;
    }
    ReportMessage(session.ui, kCallerText,
                  ClickPositionText(guiding.PickedStarPosition.x, guiding.PickedStarPosition.y));
    // The repaint that marks the picked star arms the next pick with the guide-star mask.
    if (guiding.StarPicked && guiding.PickMode) {
        guiding.SnapToStar = true;
        guiding.MeasureRadius = session.settings.GuideStarMaskRadius;
    }
}

}  // namespace talvor
