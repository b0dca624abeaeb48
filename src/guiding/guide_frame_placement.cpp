#include "guiding/guide_frame_placement.h"

#include <algorithm>
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
// The last column and row of the chip a guide frame can hold a star in.
constexpr int kLastColumn = kChipColumns - 1;
constexpr int kLastRow = kChipRows - 1;
// Room the star keeps from the guide frame's edge beyond the search window's half-size, so
// that the star's own light and a little drift stay inside the frame.
constexpr int kGuideRoom = 2;

// Where the camera reads a window whose bytes name this origin: its columns come in steps of
// three and start four columns right of the origin, its rows six rows above it (not above the
// chip's first row).
PixelPosition WindowReadCorner(WindowOrigin origin) {
    return {origin.x - origin.x % kColumnStep + kColumnsLeft, std::max(origin.y - kRowsDown, 0)};
}

bool HeldOnAxis(int inFrame, int r) {
    return inFrame >= r + kGuideRoom && inFrame <= kSmallFrameSide - 1 - r - kGuideRoom;
}

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
    // Away from the edges this is the centred position plus the x offset; against an edge the
    // window cannot be moved as far as the camera's reading offsets ask, and the star lies
    // where the camera really reads it.
    const PixelPosition corner = WindowReadCorner(placement.origin);
    placement.inFrame = {star.x - corner.x, star.y - corner.y};
    return placement;
}

std::optional<std::string> GuideStarEdgeProblem(PixelPosition star, int r) {
    const PixelPosition inFrame = GuideFramePlacementFor(star).inFrame;
    const bool xHeld = HeldOnAxis(inFrame.x, r);
    const bool yHeld = HeldOnAxis(inFrame.y, r);
    if (xHeld && yHeld) {
        return std::nullopt;
    }
    // The margin the star needs on the side it is too near: the distance from that edge of the
    // nearest place where the frame holds a star.
    const char* side = "";
    int margin = 0;
    if (!xHeld) {
        const bool left = star.x < kChipColumns / 2;
        side = left ? "left" : "right";
        int held = left ? 0 : kLastColumn;
        while (held >= 0 && held <= kLastColumn &&
               !HeldOnAxis(GuideFramePlacementFor({held, kChipRows / 2}).inFrame.x, r)) {
            held += left ? 1 : -1;
        }
        margin = left ? held : kLastColumn - held;
    } else {
        const bool top = star.y < kChipRows / 2;
        side = top ? "top" : "bottom";
        int held = top ? 0 : kLastRow;
        while (held >= 0 && held <= kLastRow &&
               !HeldOnAxis(GuideFramePlacementFor({kChipColumns / 2, held}).inFrame.y, r)) {
            held += top ? 1 : -1;
        }
        margin = top ? held : kLastRow - held;
    }
    char text[200];
    std::snprintf(text, sizeof text,
                  "Sorry, too near the %s edge to guide on - pick a star at least %d pixels from "
                  "it\n\nx position = %5d\ny position = %5d",
                  side, margin, star.x, star.y);
    return std::string(text);
}

bool RefuseGuideStarNearEdge(Session& session) {
    const auto problem = GuideStarEdgeProblem(session.guiding.PickedStarPosition,
                                              session.settings.GuideStarMaskRadius);
    if (problem) {
        ReportMessage(session.ui, kCallerText, *problem);
        return true;
    }
    return false;
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
