#include "guiding/guide_frame_placement.h"

#include <cstdio>

#include "core/messages.h"
#include "core/session.h"

namespace talvor {
namespace {

constexpr int kHalfSize = 64;
// The chip area the frame is placed in.
constexpr int kChipColumns = 510;
constexpr int kChipRows = 290;
// The camera reads its window this far from where the origin bytes say.
constexpr int kMoveLeftAbove = 3;
constexpr int kColumnsLeft = 4;
constexpr int kMoveDownBelow = 156;
constexpr int kRowsDown = 6;
constexpr int kColumnStep = 3;

struct AxisPlacement {
    int origin;
    int inFrame;
};

AxisPlacement PlaceOnAxis(int star, int limit) {
    if (kHalfSize < star && star < limit - kHalfSize) {
        return {star - kHalfSize, kHalfSize};
    }
    if (star <= kHalfSize) {
        return {0, star};
    }
    const int origin = limit - 2 * kHalfSize;
    return {origin, star - origin};
}

}  // namespace

GuideFramePlacement GuideFramePlacementFor(PixelPosition star) {
    const AxisPlacement x = PlaceOnAxis(star.x, kChipColumns);
    const AxisPlacement y = PlaceOnAxis(star.y, kChipRows);
    GuideFramePlacement placement;
    placement.origin = {x.origin, y.origin};
    if (placement.origin.x > kMoveLeftAbove) {
        placement.origin.x -= kColumnsLeft;
    }
    if (placement.origin.y < kMoveDownBelow) {
        placement.origin.y += kRowsDown;
    }
    placement.xOffset = placement.origin.x % kColumnStep;
    placement.inFrame = {x.inFrame + placement.xOffset, y.inFrame};
    return placement;
}

void PlaceGuideFrame(Session& session) {
    GuidingState& guiding = session.guiding;
    guiding.SavedStarCentre.x = guiding.StarCentre.x;
    guiding.SavedStarCentre.y = guiding.StarCentre.y;
    const GuideFramePlacement placement = GuideFramePlacementFor(guiding.PickedStarPosition);
    guiding.StarCentre.x = placement.inFrame.x;
    guiding.StarCentre.y = placement.inFrame.y;
    session.readout.FocusWindowOrigin = placement.origin;
    if (session.settings.DebugMode) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "xcent=%5d, ycent = %5d, focus_x = %5d, focus_y = %5d,  xoffset = %5d, "
                      "yoffset = %5d",
                      placement.inFrame.x, placement.inFrame.y, placement.origin.x,
                      placement.origin.y, placement.xOffset, 0);
        ReportMessage(session.ui, kCallerText, text);
    }
    session.state.SubFrameMode = true;
}

}  // namespace talvor
