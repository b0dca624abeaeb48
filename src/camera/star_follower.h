#pragma once

#include "core/guiding_state.h"

namespace talvor {

struct Session;

// The star centre found by three searches in the current image, each starting where the one
// before ended; the first starts at the given position.
PixelPosition FollowStar(Session& session, PixelPosition start, int radius);

// The star centre found by three searches in the current image that all start at the
// reference position; the last one found counts. A star that has moved further than the mask
// reaches is not chased, so the caller can tell that it was lost. The searches raise no boxes of
// their own: the caller reports a lost star once.
PixelPosition SearchFromReference(Session& session, PixelPosition reference, int radius);

// The whole-pixel position of the last star centre found, and setting it, as the capture run
// does between exposures.
PixelPosition CurrentStarCentre(const Session& session);
void SetStarCentre(Session& session, PixelPosition position);

// Back to the star centre that guiding saved before its last guide-frame placement.
void RestoreSavedStarCentre(Session& session);

}  // namespace talvor
