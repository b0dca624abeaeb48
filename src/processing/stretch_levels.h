#pragma once

#include "core/scroll_action.h"

namespace talvor {

// The black and white levels of the Normal Stretch dialog, in 8-bit intensity units: black
// 0..255, white 1..300, black kept below white by every scroll rule.
struct StretchLevels {
    unsigned black = 0;
    unsigned white = 255;
};

// The levels after a use of the "Black" bar: arrows step by 1, page clicks by 10, the thumb
// sets its position (t, 0..255); no step takes black to white or beyond.
StretchLevels AfterBlackScroll(StretchLevels levels, ScrollAction action, int thumb);
// The levels after a use of the "White" bar: arrows by 1, page clicks by 10, the thumb (t,
// 1..300) sets its position; no step takes white to black or below.
StretchLevels AfterWhiteScroll(StretchLevels levels, ScrollAction action, int thumb);

}  // namespace talvor
