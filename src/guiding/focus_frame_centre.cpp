#include "guiding/focus_frame_centre.h"

#include "core/messages.h"
#include "core/session.h"
#include "guiding/guide_star_pick.h"

namespace talvor {
namespace {

constexpr int kHalfWindow = 64;
// Clicks closer to the chip's edges than these put the window against the edge, at these
// origins.
constexpr int kLeftClick = 67;
constexpr int kRightClick = 431;
constexpr int kTopClick = 65;
constexpr int kBottomClick = 225;
constexpr int kLeftmostX = 3;
constexpr int kRightmostX = 376;
constexpr int kTopmostY = 1;
constexpr int kLowestY = 160;

}  // namespace

void FocusFrameCentre(Session& session) {
    session.guiding.FocusCentreMode = true;
    session.guiding.SnapToStar = false;
}

WindowOrigin FocusWindowForClick(int x, int y, bool zenkaGeometry) {
    const int row = zenkaGeometry ? y * kFrameRows / kZenkaRows : y;
    WindowOrigin origin;
    if (x < kLeftClick) {
        origin.x = kLeftmostX;
    } else if (x > kRightClick) {
        origin.x = kRightmostX;
    } else {
        origin.x = x - kHalfWindow;
    }
    if (row < kTopClick) {
        origin.y = kTopmostY;
    } else if (row > kBottomClick) {
        origin.y = kLowestY;
    } else {
        origin.y = row - kHalfWindow;
    }
    return origin;
}

void FocusFrameCentreClick(Session& session, int x, int y) {
    const WindowOrigin origin = FocusWindowForClick(x, y, session.state.ZenkaGeometry);
    session.readout.FocusWindowOrigin = origin;
    session.guiding.FocusCentreMode = false;
    ReportMessage(session.ui, kCallerText,
                  ClickPositionText(origin.x + kHalfWindow, origin.y + kHalfWindow));
}

void DefaultFocusFrameCentre(Session& session) {
    session.readout.FocusWindowOrigin = kDefaultFocusWindowOrigin;
}

}  // namespace talvor
