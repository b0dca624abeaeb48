#pragma once

#include "core/scroll_action.h"

namespace talvor {

inline constexpr int kMinStretchBits = 12;
inline constexpr int kMaxStretchBits = 16;

// The stretch bits after a use of the "Stretch Palette" scroll bar: the arrows step by one
// within 12..16, a page click jumps to the end on its side, the thumb sets its position.
int StretchBitsAfterScroll(int current, ScrollAction action, int thumbPosition);

}  // namespace talvor
