#pragma once

#include "core/display_state.h"
#include "core/image_store.h"

namespace talvor {

// The three-mode estimate over rows 5..284: the mean of the three most frequent high bytes.
void EstimateBackground(DisplayState& display, const ImageBuffer& frame);

// The single-mode estimate over rows 20..49: the most frequent high byte.
void EstimateBackgroundBand(DisplayState& display, const ImageBuffer& frame);

}  // namespace talvor
