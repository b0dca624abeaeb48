#pragma once

#include <functional>

namespace talvor {

// Where the click dispatch hands the clicks of the modes that other parts of the program carry
// out. Positions are in frame coordinates, after the bounds test and any snapping. While a
// hook is empty its mode is treated as off: the click does nothing for it.
struct ClickHooks {
    // Merging: "Centre on Star" is chosen, so picks are moved onto the star first. Empty: no.
    std::function<bool()> MergeCentreOnStar;
    // Merging: the pick marks the reference or the merge position and refreshes its window.
    std::function<void(int x, int y)> MergeClick;
    // Guide-star pick, after snapping: snapPasses is how many of the three snapping passes
    // succeeded (3 picks the star).
    std::function<void(int x, int y, int snapPasses)> PickClick;
    // Focus Frame Centre: the click as given, in display rows while in Zenka geometry.
    std::function<void(int x, int y)> FocusCentreClick;
};

}  // namespace talvor
