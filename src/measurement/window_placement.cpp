#include "measurement/window_placement.h"

#include <algorithm>

namespace talvor {
namespace {

// The space left between the picture and a window beside it.
constexpr int kGap = 8;

}  // namespace

long long OverlapArea(const ScreenRect& a, const ScreenRect& b) {
    const int width = std::min(a.Right(), b.Right()) - std::max(a.x, b.x);
    const int height = std::min(a.Bottom(), b.Bottom()) - std::max(a.y, b.y);
    return width > 0 && height > 0 ? static_cast<long long>(width) * height : 0;
}

ScreenPoint KeepOnScreen(ScreenPoint at, int width, int height, const ScreenRect& screen) {
    // The far edge first, so that a window too large for the screen ends at its near edge.
    at.x = std::max(std::min(at.x, screen.Right() - width), screen.x);
    at.y = std::max(std::min(at.y, screen.Bottom() - height), screen.y);
    return at;
}

ScreenPoint PlaceBesidePicture(const ScreenRect& picture, int width, int height,
                               const ScreenRect& screen) {
    const ScreenPoint right =
        KeepOnScreen({picture.Right() + kGap, picture.y}, width, height, screen);
    const ScreenPoint below =
        KeepOnScreen({picture.x, picture.Bottom() + kGap}, width, height, screen);
    const long long coveredRight = OverlapArea(picture, {right.x, right.y, width, height});
    const long long coveredBelow = OverlapArea(picture, {below.x, below.y, width, height});
    return coveredBelow < coveredRight ? below : right;
}

}  // namespace talvor
