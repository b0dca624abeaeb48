#include "guiding/self_guiding.h"

#include "core/messages.h"
#include "core/session.h"
#include "display/refresh_display.h"
#include "guiding/focus_frame_centre.h"
#include "guiding/guide_correction.h"
#include "guiding/guide_frame_placement.h"
#include "guiding/guide_star_watch.h"
#include "guiding/guiding_info.h"
#include "telescope/telescope_link.h"

namespace talvor {
namespace {

constexpr int kNoStarPicked = 53;
constexpr int kNoTelescope = 54;
constexpr int kSettlingFrames = 3;
constexpr int kSwitchSettlingFrames = 2;

void Retitle(GuidingContext& context, std::string_view title) {
    SetGuidingInfoTitle(context.session, context.view, title);
}

void Update(GuidingContext& context) {
    UpdateGuidingInfo(context.session, context.view);
}

// The reference becomes the star centre found last, tenths and all, and the star is watched
// from there.
void TakeReference(Session& session) {
    TakeGuideReference(session);
}

void FindAtReference(Session& session) {
    const CentrePosition& reference = session.guiding.GuideReference;
    FindGuideStar(session, reference.x, reference.y);
}

}  // namespace

SelfGuidingReady PrepareSelfGuiding(GuidingContext& context) {
    Session& session = context.session;
    GuidingState& guiding = session.guiding;
    session.readout.FrameDestination = &session.images.CurrentImage;
    if (session.settings.Telescope == TelescopeType::None || !session.camera.CameraConnected ||
        !guiding.StarPicked) {
        ReportMessage(session.ui, kNoStarPicked);
        return SelfGuidingReady::Refused;
    }
    if (RefuseGuideStarNearEdge(session)) {
        return SelfGuidingReady::Refused;
    }
    TelescopeLink link(session);
    link.ConnectTelescope();
    if (!session.telescope.PortOpen) {
        ReportMessage(session.ui, kNoTelescope);
        return SelfGuidingReady::NoLink;
    }

    Retitle(context, "Guiding Info - Creating Guiding Frame");
    if (session.settings.Telescope == TelescopeType::ControlBox) {
        link.ResetControlBox();
    }
    guiding.Training = false;
    session.capture.Settings.DelayMinutes = 0;
    guiding.MeasureRadius = session.settings.GuideStarMaskRadius;
    PlaceGuideFrame(session);
    session.capture.Run.Aborted = false;
    guiding.GuideReference.x = guiding.StarCentre.x;
    guiding.GuideReference.y = guiding.StarCentre.y;
    guiding.Run = GuideRunState{};
    guiding.Run.startMs = session.clock.Milliseconds();

    Retitle(context, "Guiding Info - stabilising");
    for (int frame = 0; frame < kSettlingFrames; ++frame) {
        GrabGuideFrameShort(session);
        RefreshDisplay(session);
        guiding.FrameBitmapReady = true;
        Update(context);
    }
    const CentrePosition& reference = guiding.GuideReference;
    if (FindGuideStar(session, reference.x, reference.y) != CentreResult::Found) {
        session.state.GuidingDisplay = false;
        session.state.SubFrameMode = false;
        // The run stops without ending normally: the focus window and the star centre go back
        // here, so that neither is left on the guide frame.
        DefaultFocusFrameCentre(session);
        guiding.StarCentre.x = guiding.SavedStarCentre.x;
        guiding.StarCentre.y = guiding.SavedStarCentre.y;
        return SelfGuidingReady::StarNotFound;
    }
    TakeReference(session);
    Retitle(context, kGuidingInfoTitle);
    Update(context);

    GrabGuideFrameShort(session);
    FindAtReference(session);
    TakeReference(session);
    Update(context);
    return SelfGuidingReady::Ready;
}

void SelfGuideStep(GuidingContext& context) {
    Session& session = context.session;
    GrabGuideFrameShort(session);
    if (session.capture.GuideDarkFrame) {
        return;
    }
    RefreshDisplay(session);
    GuideCorrection(session);
    Update(context);
}

void SwitchGuidingFrame(GuidingContext& context) {
    Session& session = context.session;
    const bool dark = session.capture.GuideDarkFrame;
    Retitle(context, "Guiding Info - Switching Guiding Frame");
    if (!dark) {
        RefreshDisplay(session);
    }
    for (int frame = 0; frame < kSwitchSettlingFrames; ++frame) {
        GrabGuideFrameShort(session);
    }
    if (!dark) {
        RefreshDisplay(session);
    }
    GrabGuideFrameShort(session);
    RefreshDisplay(session);
    if (!dark) {
        Update(context);
        const CentrePosition& reference = session.guiding.GuideReference;
        if (FindGuideStar(session, reference.x, reference.y) == CentreResult::Found) {
            TakeReference(session);
        }
        Retitle(context, kGuidingInfoTitle);
        Update(context);
    } else {
        Retitle(context, "Guiding Info - Darkframe in Progress");
    }
    GrabGuideFrameShort(session);
    if (!dark) {
        FindAtReference(session);
        TakeReference(session);
        Update(context);
    }
}

bool ControlBoxAnswers(Session& session) {
    TelescopeLink link(session);
    const bool wasOpen = session.telescope.PortOpen;
    if (!wasOpen && link.OpenControlBoxPort() == PortOpenResult::Failed) {
        return false;
    }
    link.ResetControlBox();
    // An error on the wake-up bytes has closed the port.
    const bool answered = session.telescope.PortOpen;
    if (!wasOpen && answered) {
        link.CloseTelescopePort();
    }
    return answered;
}

SelfGuidingHooks MakeSelfGuidingHooks(GuidingContext& context) {
    SelfGuidingHooks hooks;
    hooks.PrepareSelfGuiding = [&context] { return static_cast<int>(PrepareSelfGuiding(context)); };
    hooks.SelfGuideStep = [&context] { SelfGuideStep(context); };
    hooks.SwitchGuidingFrame = [&context] { SwitchGuidingFrame(context); };
    hooks.ShowGuidingInfo = [&context](const std::string& caption) {
        ShowGuidingInfo(context.session, context.view, caption);
    };
    hooks.CloseGuidingInfo = [&context] { CloseGuidingInfo(context.session, context.view); };
    hooks.ControlBoxPresent = [&context] { return ControlBoxAnswers(context.session); };
    return hooks;
}

}  // namespace talvor
