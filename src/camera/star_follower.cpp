#include "camera/star_follower.h"

#include "core/session.h"
#include "measurement/star_centroid.h"

namespace talvor {

PixelPosition FollowStar(Session& session, PixelPosition start, int radius) {
    PixelPosition position = start;
    for (int search = 0; search < 3; ++search) {
        FindStarCentre(session, position.x, position.y, session.images.CurrentImage, radius);
        position = CurrentStarCentre(session);
    }
    return position;
}

PixelPosition SearchFromReference(Session& session, PixelPosition reference, int radius) {
    CentreSearch search = CentreSearchFor(session);
    search.quiet = true;
    for (int pass = 0; pass < 3; ++pass) {
        FindStarCentre(session.ui, search, session.guiding.StarCentre, reference.x, reference.y,
                       session.images.CurrentImage, radius);
    }
    return CurrentStarCentre(session);
}

PixelPosition CurrentStarCentre(const Session& session) {
    return {session.guiding.StarCentre.x, session.guiding.StarCentre.y};
}

void SetStarCentre(Session& session, PixelPosition position) {
    session.guiding.StarCentre.x = position.x;
    session.guiding.StarCentre.y = position.y;
}

void RestoreSavedStarCentre(Session& session) {
    session.guiding.StarCentre.x = session.guiding.SavedStarCentre.x;
    session.guiding.StarCentre.y = session.guiding.SavedStarCentre.y;
}

}  // namespace talvor
