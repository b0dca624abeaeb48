#include "measurement/brightest_star.h"

#include "core/session.h"
#include "measurement/image_click.h"

namespace talvor {
namespace {

int PatchSum(const ImageBuffer& frame, int x, int y) {
    int sum = 0;
    for (int row = y - 1; row <= y + 1; ++row) {
        for (int column = x - 1; column <= x + 1; ++column) {
            sum += PixelAt(frame, column, row);
        }
    }
    return sum;
}

}  // namespace

std::optional<PixelPosition> BrightestStar(const Session& session, const ImageBuffer& frame) {
    const int edge = session.settings.GuideStarMaskRadius + kPickMargin;
    std::optional<PixelPosition> best;
    int bestSum = -1;
    for (int y = edge; y <= kFrameRows - 1 - edge; ++y) {
        for (int x = edge; x <= kCameraColumns - 2 - edge; ++x) {
            const int sum = PatchSum(frame, x, y);
            if (sum > bestSum) {
                bestSum = sum;
                best = PixelPosition{x, y};
            }
        }
    }
    return best;
}

}  // namespace talvor
