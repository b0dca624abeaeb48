#include "guiding/auto_guiding.h"

#include "core/messages.h"
#include "core/session.h"
#include "display/refresh_display.h"
#include "guiding/focus_frame_centre.h"
#include "guiding/guide_frame_placement.h"
#include "guiding/guide_log.h"
#include "guiding/guide_star_watch.h"
#include "guiding/guiding_info.h"
#include "telescope/telescope_link.h"

namespace talvor {
namespace {

constexpr int kGuidingTerminated = 51;
constexpr int kNoStarPicked = 53;
constexpr int kNoTelescope = 54;

void LogFrame(Session& session, const GuidingFrameReport& report) {
    GuideLogLine line;
    line.frame = session.guiding.Run.frames;
    line.milliseconds = report.milliseconds;
    line.correction = report.correction;
    line.x = CentreX(session);
    line.y = CentreY(session);
    line.dx = report.offset.dx / 1000.0;
    line.dy = report.offset.dy / 1000.0;
    AppendGuideLog(session, line);
}

}  // namespace

bool BeginAutoGuiding(GuidingContext& context) {
    Session& session = context.session;
    GuidingState& guiding = session.guiding;
    if (session.settings.Telescope == TelescopeType::None || !session.camera.CameraConnected ||
        !guiding.StarPicked) {
        ReportMessage(session.ui, kNoStarPicked);
        return false;
    }
    if (RefuseGuideStarNearEdge(session)) {
        return false;
    }
    TelescopeLink link(session);
    link.ConnectTelescope();
    if (!session.telescope.PortOpen) {
        ReportMessage(session.ui, kNoTelescope);
        return false;
    }
    if (session.settings.Telescope == TelescopeType::ControlBox) {
        link.ResetControlBox();
    }
    session.state.GuidingDisplay = true;
    guiding.GuidingRunning = true;
    guiding.Training = false;
    session.capture.Run.ContinuousRunning = true;
    session.capture.Settings.DelayMinutes = 0;
    guiding.MeasureRadius = session.settings.GuideStarMaskRadius;
    PlaceGuideFrame(session);
    session.capture.Run.Aborted = false;
    // Until the first frame has measured the star, the reference is where the frame was placed
    // on it.
    guiding.GuideReference = {guiding.StarCentre.x, guiding.StarCentre.y, 0, 0};
    guiding.Run = GuideRunState{};
    guiding.Run.startMs = session.clock.Milliseconds();
    StartGuideLog(session);
    return true;
}

GuidingFrameReport GuideNextFrame(GuidingContext& context) {
    Session& session = context.session;
    GuidingState& guiding = session.guiding;
    PollGuidingAbort(context);
    GrabGuideFrame(session);
    if (guiding.FirstFrame) {
        // The reference is the star's own centre in this frame, tenths and all. A frame without
        // the star (a cloud) leaves it where the frame was placed; the first frame that shows
        // the star then sets it.
        if (CentreGuideStarTwice(session, guiding.StarCentre.x, guiding.StarCentre.y) ==
            CentreResult::Found) {
            TakeGuideReference(session);
        }
        guiding.FirstFrame = false;
        guiding.GuidingInfoTitle = kGuidingInfoTitle;
        context.view.OpenGuidingInfo(guiding.GuidingInfoTitle);
        guiding.FrameBitmapReady = true;
    }
    GuidingFrameReport report;
    report.milliseconds = session.clock.Milliseconds();
    report.exposureMs = session.readout.ExposureMs;
    ++guiding.Run.frames;
    PollGuidingAbort(context);
    if (!session.capture.Run.Aborted) {
        RefreshDisplay(session);
        report.correction = GuideCorrection(session);
        report.corrected = true;
        report.offset = guiding.GuideOffset;
        LogFrame(session, report);
        UpdateGuidingInfo(session, context.view);
    }
    return report;
}

void EndAutoGuiding(GuidingContext& context, bool tellUser) {
    Session& session = context.session;
    GuidingState& guiding = session.guiding;
    if (tellUser) {
        ReportMessage(session.ui, kGuidingTerminated);
    }
    CloseGuidingInfo(session, context.view);
    EndGuideLog(session);
    guiding.FirstFrame = true;
    session.capture.Run.Aborted = false;
    session.capture.Run.ContinuousRunning = false;
    DefaultFocusFrameCentre(session);
    guiding.StarCentre.x = guiding.SavedStarCentre.x;
    guiding.StarCentre.y = guiding.SavedStarCentre.y;
    // The press that ended guiding stopped the loop and the small geometry; the guide-frame
    // display ends with them, or every later centre search would use the 128 x 128 frame.
    guiding.GuidingRunning = false;
    session.state.GuidingDisplay = false;
    session.state.SubFrameMode = false;
}

void StartAutoGuiding(GuidingContext& context) {
    if (!BeginAutoGuiding(context)) {
        return;
    }
    do {
        GuideNextFrame(context);
    } while (context.session.capture.Run.ContinuousRunning);
    EndAutoGuiding(context, true);
}

}  // namespace talvor
