#include "guiding/guide_frames.h"

#include "camera/capture_sequence.h"
#include "camera/exposure_rules.h"
#include "core/session.h"

namespace talvor {
namespace {

// Guide frames land where they are measured: in the current image.
CameraLink* PrepareGuideFrame(Session& session) {
    session.readout.FrameDestination = &session.images.CurrentImage;
    return session.camera.Link.get();
}

}  // namespace

FrameRequest GuideFrameRequest(const Session& session) {
    const CaptureState& capture = session.capture;
    const CaptureSettings& settings = capture.Settings;
    FrameRequest request;
    request.ExposureValue = settings.Value;
    request.ExposureUnit = static_cast<char>(settings.Unit);
    request.GuideExposureMs =
        GuideExposureMsOf(settings.GuideUnit, settings.GuideValue, capture.GuideDarkFrame);
    request.MidReadoutDone = capture.Run.MidReadoutDone;
    request.StretchForAllImages = settings.SetStretchForAllImages;
    return request;
}

void GrabGuideFrame(Session& session) {
    if (CameraLink* link = PrepareGuideFrame(session)) {
        TakeGuideFrame(session, *link, GuideFrameRequest(session));
    }
}

void GrabGuideFrameShort(Session& session) {
    if (CameraLink* link = PrepareGuideFrame(session)) {
        TakeGuideFrameShort(session, *link, GuideFrameRequest(session));
    }
}

CentreResult FindGuideStar(Session& session, int x, int y) {
    CentreSearch search = CentreSearchFor(session);
    search.smallFrame = true;
    search.quiet = true;
    search.silent = true;
    search.ignoreLonePixels = true;
    return FindStarCentre(session.ui, search, session.guiding.StarCentre, x, y,
                          session.images.CurrentImage, session.guiding.MeasureRadius);
}

CentreResult CentreGuideStarTwice(Session& session, int x, int y) {
    FindGuideStar(session, x, y);
    const CentrePosition& centre = session.guiding.StarCentre;
    return FindGuideStar(session, centre.x, centre.y);
}

bool PollGuidingAbort(GuidingContext& context) {
    // A camera that stopped answering has been told once by its link; guiding and training end
    // as after a press, rather than correcting frames that were never read.
    CaptureRun& run = context.session.capture.Run;
    if (context.session.camera.LinkLost) {
        run.Aborted = true;
        run.ContinuousRunning = false;
        return true;
    }
    return PollCaptureAbort(context.session, context.hooks);
}

}  // namespace talvor
