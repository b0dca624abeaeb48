#include "processing/histogram_panel.h"

#include <algorithm>

namespace talvor {
namespace {

constexpr int kAxisLeft = 5;
constexpr int kAxisTop = 5;
constexpr int kAxisBottom = 213;
constexpr int kAxisRight = 263;
constexpr int kBarBase = 210;
constexpr int kBarOffset = 8;

int TickEnd(int x) {
    if (x == 72 || x == 200) {
        return 218;
    }
    return x == 136 ? 220 : 215;
}

}  // namespace

std::vector<PanelLine> HistogramPanelLines(const std::array<uint32_t, 257>& histogram) {
    std::vector<PanelLine> lines;
    lines.reserve(2 + 8 + 256);
    lines.push_back({kAxisLeft, kAxisTop, kAxisLeft, kAxisBottom, PanelPen::Blue});
    lines.push_back({kAxisLeft, kAxisBottom, kAxisRight, kAxisBottom, PanelPen::Blue});
    for (int x = 40; x <= 264; x += 32) {
        lines.push_back({x, kAxisBottom, x, TickEnd(x), PanelPen::Blue});
    }
    for (int k = 0; k < 256; ++k) {
        const uint32_t count = histogram[static_cast<std::size_t>(k)] / 5;
        const bool tall = count > kTallestBar;
        const int h = tall ? kTallestBar : static_cast<int>(count);
        lines.push_back({k + kBarOffset, kBarBase, k + kBarOffset, kBarBase - h,
                         tall ? PanelPen::Red : PanelPen::Grey});
    }
    return lines;
}

std::vector<PanelLine> LevelMarkerLines(StretchLevels levels) {
    std::vector<PanelLine> lines;
    const unsigned shownWhite = std::min(levels.white, 255u);
    for (const unsigned level : {levels.black, shownWhite}) {
        const int x = static_cast<int>(level);
        lines.push_back({x + 8, 230, x + 8, 220, PanelPen::Black});
        lines.push_back({x + 5, 224, x + 8, 221, PanelPen::Black});
        lines.push_back({x + 8, 221, x + 11, 224, PanelPen::Black});
    }
    return lines;
}

}  // namespace talvor
