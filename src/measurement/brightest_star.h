#pragma once

#include <optional>

#include "core/guiding_state.h"
#include "core/image_store.h"

namespace talvor {

struct Session;

// The brightest star-like peak of the frame, among the places a pick click may land for the
// session's guide-star mask: a pixel at least as bright as its eight neighbours, clearly above
// the sky, ranked by the light of its 3 x 3 patch. A lone bright pixel (a hot pixel or a
// cosmic-ray hit, whose direct neighbours hold almost nothing above the sky) is not a star, and
// neither is a saturated blob, whose centre cannot be measured. None when the frame holds no
// such peak (a capped frame, say).
std::optional<PixelPosition> BrightestStar(const Session& session, const ImageBuffer& frame);

}  // namespace talvor
