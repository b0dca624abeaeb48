#include "processing/stretch_levels.h"

#include <algorithm>

namespace talvor {

StretchLevels AfterBlackScroll(StretchLevels levels, ScrollAction action, int thumb) {
    unsigned& b = levels.black;
    const unsigned w = levels.white;
    switch (action) {
        case ScrollAction::LineLeft:
            if (b > 0) {
                b -= 1;
            }
            break;
        case ScrollAction::LineRight:
            if (b < 255 && b < w - 1) {
                b += 1;
            }
            break;
        case ScrollAction::PageLeft:
            if (b > 9) {
                b -= 10;
            }
            break;
        case ScrollAction::PageRight:
            // Written as b + 10 < w: with w below 10 the unsigned w - 10 would wrap and let
            // black jump past white.
            if (b < 246 && b + 10 < w) {
                b += 10;
            }
            break;
        case ScrollAction::ThumbTrack:
        case ScrollAction::ThumbPosition: {
            const auto t = static_cast<unsigned>(std::clamp(thumb, 0, 255));
            if (t < w) {
                b = t;
            }
            break;
        }
    }
    return levels;
}

StretchLevels AfterWhiteScroll(StretchLevels levels, ScrollAction action, int thumb) {
    const unsigned b = levels.black;
    unsigned& w = levels.white;
    switch (action) {
        case ScrollAction::LineLeft:
            if (w > 0 && b + 1 < w) {
                w -= 1;
            }
            break;
        case ScrollAction::LineRight:
            if (w < 300) {
                w += 1;
            }
            break;
        case ScrollAction::PageLeft:
            if (w > 9 && b + 10 < w) {
                w -= 10;
            }
            break;
        case ScrollAction::PageRight:
            if (w < 291) {
                w += 10;
            }
            break;
        case ScrollAction::ThumbTrack:
        case ScrollAction::ThumbPosition: {
            const auto t = static_cast<unsigned>(std::clamp(thumb, 1, 300));
            if (b < t) {
                w = t;
            }
            break;
        }
    }
    return levels;
}

}  // namespace talvor
