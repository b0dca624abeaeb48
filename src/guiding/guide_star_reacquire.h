#pragma once

#include <cstdint>

#include "core/centroid_state.h"
#include "core/guide_run_state.h"
#include "guiding/guide_star_watch.h"

namespace talvor {

struct Session;

// What a wide search for a guide star that was hidden found.
struct ReacquiredStar {
    // Why nothing was taken for the star; None when it was found.
    StarAbsence absence = StarAbsence::NoCentre;
    // The star's centre in guide-frame pixels (with tenths when the search gives them) and its
    // figures there; meaningful only when found.
    CentrePosition centre;
    GuideStarFigures figures;
};

// Looks for the guide star again after frames that did not show it, wherever it may have
// strayed meanwhile: every star-like peak of the guide frame in the current image (standing
// well above the sky's noise, with lit neighbours, so never a lone hot pixel) within the watch's
// reach of the star's last place or the reference, cut back to the frame, is centred with the
// guide-frame search and measured. Of the centres whose figures match the star's usual ones the
// closest match is taken, so that another star nearby, fainter or brighter, is not. The session's
// star centre is left wherever the searches left it. Needs usual figures in the watch.
ReacquiredStar ReacquireGuideStar(Session& session, const GuideStarWatch& watch, uint32_t nowMs);

}  // namespace talvor
