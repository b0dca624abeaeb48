#pragma once

#include "measurement/screen_pointer.h"

namespace talvor {

// A rectangle on the screen, in pixels.
struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int Right() const { return x + width; }
    int Bottom() const { return y + height; }
    bool operator==(const ScreenRect&) const = default;
};

// The pixels two rectangles share.
long long OverlapArea(const ScreenRect& a, const ScreenRect& b);

// The top-left corner that keeps a window of the given outer size on the screen: moved in from
// whichever edge it crosses; a window larger than the screen starts at its top-left corner.
ScreenPoint KeepOnScreen(ScreenPoint at, int width, int height, const ScreenRect& screen);

// Where a measuring window of the given outer size opens so that the picture stays free for
// clicks: just right of the picture, level with its top, or else just below it, level with its
// left edge; each kept on the screen. Of the two the one covering less of the picture wins, the
// right-hand place when they tie.
ScreenPoint PlaceBesidePicture(const ScreenRect& picture, int width, int height,
                               const ScreenRect& screen);

}  // namespace talvor
