#include "measurement/image_click.h"

#include <cstdio>

#include "core/messages.h"
#include "core/session.h"
#include "measurement/analysis_commands.h"
#include "measurement/photometry.h"
#include "measurement/star_snapping.h"

namespace talvor {
namespace {

PixelPosition OnPicture(const ViewportPoint& point) {
    return {point.x + point.scrollX, point.y + point.scrollY};
}

// A mode counts as on only while the part of the program that carries it out is connected.
bool MergingOn(const Session& session) {
    return session.modes.MergeMode && static_cast<bool>(session.modes.Hooks.MergeClick);
}
bool PickingOn(const Session& session) {
    return session.guiding.PickMode && static_cast<bool>(session.modes.Hooks.PickClick);
}
bool FocusCentreOn(const Session& session) {
    return session.guiding.FocusCentreMode &&
           static_cast<bool>(session.modes.Hooks.FocusCentreClick);
}

void MergingClick(Session& session, ScreenPointer& pointer, PixelPosition click) {
    const ClickHooks& hooks = session.modes.Hooks;
    if (hooks.MergeCentreOnStar && hooks.MergeCentreOnStar()) {
        SnapClickToStar(session, pointer, click, session.images.CurrentImage, false);
    }
    hooks.MergeClick(click.x, click.y);
}

}  // namespace

bool ClickInside(int x, int y, int r, int margin) {
    const int edge = r + margin;
    return edge <= x && x <= kFrameColumns - 1 - edge && edge <= y && y <= kFrameRows - 1 - edge;
}

std::string OutsideImageText(int x, int y) {
    char text[96];
    std::snprintf(text, sizeof text,
                  "Sorry, outside Image area - try again\n\nx position = %5d\ny position = %5d", x,
                  y);
    return text;
}

void ImageClick(Session& session, ScreenPointer& pointer, int x, int y) {
    MouseModes& modes = session.modes;
    GuidingState& guiding = session.guiding;
    const bool picking = PickingOn(session);
    const bool focusCentre = FocusCentreOn(session);
    if (!modes.PhotometryMode && !modes.RowPlotMode && !MergingOn(session) && !picking &&
        !focusCentre) {
        return;
    }

    int margin = 0;
    if (picking) {
        margin = kPickMargin;
        guiding.SnapToStar = true;
    }
    const int r = guiding.MeasureRadius;
    if (!ClickInside(x, y, r, margin) && !focusCentre) {
        // A right click's snap belongs to that click alone: once it is refused, the next left
        // click must measure where it lands. The pick snaps every click and keeps its flag.
        if (!picking) {
            guiding.SnapToStar = false;
        }
        ReportMessage(session.ui, kCallerText, OutsideImageText(x, y));
        return;
    }

    if (modes.RowPlotMode) {
        PickPlotRow(session, y);
        return;
    }
    PixelPosition click{x, y};
    if (!modes.PhotometryMode && !picking && !focusCentre) {
        MergingClick(session, pointer, click);
        return;
    }

    int snapPasses = 0;
    if (guiding.SnapToStar) {
        snapPasses = SnapClickToStar(session, pointer, click, session.images.CurrentImage,
                                     session.state.ZenkaGeometry);
    }
    if (focusCentre) {
        modes.Hooks.FocusCentreClick(click.x, click.y);
        return;
    }
    guiding.SnapToStar = false;
    if (picking) {
        modes.Hooks.PickClick(click.x, click.y, snapPasses);
        return;
    }

    // A snapped click can end up where its mask would leave the frame; nothing is measured
    // there, as for a click that lands there.
    if (!ClickInside(click.x, click.y, guiding.MeasureRadius, 0)) {
        ReportMessage(session.ui, kCallerText, OutsideImageText(click.x, click.y));
        return;
    }
    MeasureTarget(session, click.x, click.y);
}

void HandleLeftButtonUp(Session& session, ScreenPointer& pointer, const ViewportPoint& point) {
    const PixelPosition at = OnPicture(point);
    ImageClick(session, pointer, at.x, at.y);
}

void HandleRightButtonUp(Session& session, ScreenPointer& pointer, const ViewportPoint& point) {
    if (!session.modes.PhotometryMode) {
        return;
    }
    session.guiding.SnapToStar = true;
    const PixelPosition at = OnPicture(point);
    ImageClick(session, pointer, at.x, at.y);
}

void HandleMouseMoved(Session& session, const ViewportPoint& point) {
    const PixelPosition at = OnPicture(point);
    TrackCursor(session, at.x, at.y);
}

}  // namespace talvor
