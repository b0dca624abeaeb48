#pragma once

#include "core/guiding_state.h"
#include "core/image_store.h"

namespace talvor {

struct Session;
class ScreenPointer;

inline constexpr int kSnapPasses = 3;

// Moves a click on the picture onto the centre of the star nearest to it: up to three centre
// searches with the session's measure radius, each starting where the one before ended. The
// click is updated in place after every successful pass and the mouse pointer moves by the
// same amount, so that it stays on the point used. With the geometry conversion (the picture
// shown in Zenka geometry, 373 display rows for 290 frame rows) the click's y is in display
// rows and is converted for the search and back. Returns how many passes succeeded (0..3); a
// failed pass ends the snapping with the click where the last good pass left it.
int SnapClickToStar(Session& session, ScreenPointer& pointer, PixelPosition& click,
                    const ImageBuffer& frame, bool convertGeometry);

}  // namespace talvor
