#pragma once

#include "core/image_store.h"

namespace talvor {

inline constexpr int kLabelRows = 10;

// A frame carries a text label in rows 0..9 when its words 4 and 5 add up to 34; processing
// leaves those rows alone.
inline bool HasLabelBand(const ImageBuffer& frame) {
    return frame[4] + frame[5] == 34;
}

// The first row that processing may change.
inline int FirstRowAfterLabel(const ImageBuffer& frame) {
    return HasLabelBand(frame) ? kLabelRows : 0;
}

}  // namespace talvor
