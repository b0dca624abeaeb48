#pragma once

#include <optional>

#include "core/guiding_state.h"
#include "core/image_store.h"

namespace talvor {

struct Session;

// The star the brightest 3 x 3 patch of the frame belongs to, among the places a pick click may
// land for the session's guide-star mask.
std::optional<PixelPosition> BrightestStar(const Session& session, const ImageBuffer& frame);

}  // namespace talvor
