#include "display/stretch_palette.h"

#include <algorithm>

namespace talvor {

int StretchBitsAfterScroll(int current, ScrollAction action, int thumbPosition) {
    switch (action) {
        case ScrollAction::LineLeft:
            return std::max(kMinStretchBits, current - 1);
        case ScrollAction::LineRight:
            return std::min(kMaxStretchBits, current + 1);
        case ScrollAction::PageLeft:
            return kMinStretchBits;
        case ScrollAction::PageRight:
            return kMaxStretchBits;
        case ScrollAction::ThumbTrack:
        case ScrollAction::ThumbPosition:
            return std::clamp(thumbPosition, kMinStretchBits, kMaxStretchBits);
    }
    return current;
}

}  // namespace talvor
