#include "measurement/star_snapping.h"

#include "core/session.h"
#include "measurement/screen_pointer.h"
#include "measurement/star_centroid.h"

namespace talvor {

int SnapClickToStar(Session& session, ScreenPointer& pointer, PixelPosition& click,
                    const ImageBuffer& frame, bool convertGeometry) {
    int passes = 0;
    for (; passes < kSnapPasses; ++passes) {
        const ScreenPoint screen = pointer.Position();
        const int searchX = click.x;
        const int searchY = convertGeometry ? click.y * kFrameRows / kZenkaRows : click.y;
        if (FindStarCentre(session, searchX, searchY, frame, session.guiding.MeasureRadius) !=
            CentreResult::Found) {
            break;
        }
        const CentrePosition& centre = session.guiding.StarCentre;
        const int dx = searchX - centre.x;
        const int dy = searchY - centre.y;
        click.x = centre.x;
        click.y = convertGeometry ? centre.y * kZenkaRows / kFrameRows : centre.y;
        const int screenDy = convertGeometry ? dy * kZenkaRows / kFrameRows : dy;
        pointer.MoveTo({screen.x - dx, screen.y - screenDy});
    }
    return passes;
}

}  // namespace talvor
