#pragma once

#include "core/guide_run_state.h"
#include "core/image_store.h"

namespace talvor {

// Measures the star around a centre in the 128 x 128 guide frame held in the first 16384 words
// of `frame`: the window of (2r + 1) x (2r + 1) pixels around it (cut back where it reaches past
// the frame's edge), lone hot pixels taken out, the background its median and the noise its median
// absolute deviation. The star's light is summed within half the window's size (at least 3
// pixels) of the centre. A centre outside the frame measures nothing.
GuideStarFigures MeasureGuideStar(const ImageBuffer& frame, double x, double y, int r);

}  // namespace talvor
