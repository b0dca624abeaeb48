#pragma once

#include "camera/focus_frames.h"
#include "measurement/star_centroid.h"

namespace talvor {

struct Session;
struct SelfGuidingHooks;
class GuidingView;

// What guiding, training and the self-guided exposure work with: the session (its camera link,
// telescope link and state), the windows they report to, and the hooks through which a user's
// press closes the "Guiding Info" window of a self-guided exposure.
struct GuidingContext {
    Session& session;
    GuidingView& view;
    const SelfGuidingHooks& hooks;
};

// The exposures of the guide frames as the camera dialog last set them.
FrameRequest GuideFrameRequest(const Session& session);

// One guide frame into the first 16384 words of the current image, which is also where it is
// measured: with the main exposure time, or (Short) with the guide exposure time inside a
// running main exposure. Nothing happens while there is no camera link.
void GrabGuideFrame(Session& session);
void GrabGuideFrameShort(Session& session);

// A centre search on the guide frame in the current image: always the 128 x 128 geometry,
// whatever a user's press did to the display flags, with the tenths the session asks for and
// the session's measure radius. It never shows a box (the guide loop, training and the
// self-guided exposure each tell a lost star their own way) and never takes a lone hot pixel
// for the star.
CentreResult FindGuideStar(Session& session, int x, int y);
// Two searches, the second at the centre the first left in StarCentre; the second's result.
CentreResult CentreGuideStarTwice(Session& session, int x, int y);

// A user's key or mouse-button press during guiding: see PollCaptureAbort.
bool PollGuidingAbort(GuidingContext& context);

}  // namespace talvor
