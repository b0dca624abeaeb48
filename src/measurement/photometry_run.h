#pragma once

#include <optional>
#include <string>

#include "core/guiding_state.h"
#include "measurement/photometry.h"

namespace talvor {

struct Session;
class ScreenPointer;

// A whole photometry measurement as a script gives it: object and comparison, and optionally
// the background, each measured with the mask of the given side (1, 5, 7, 9, 13 or 17 pixels)
// by a left click, or with snap by a right click that first moves onto the star.
struct PhotometryRequest {
    PixelPosition object;
    PixelPosition comparison;
    std::optional<PixelPosition> background;
    int maskDiameter = 9;
    bool snap = false;
};

// Runs photometry on the current image as the window does, after the background estimate that
// the main window takes at every paint, and ends it again. Returns the window's field texts;
// nothing when photometry refuses to start or the mask side is not one of the window's. Clicks
// that are refused leave their target unmeasured (shown as 0), after their message.
std::optional<PhotometryFields> RunPhotometry(Session& session, ScreenPointer& pointer,
                                              const PhotometryRequest& request);

// The fields one per line: "object X Y VALUE", "comparison X Y VALUE", "background X Y VALUE",
// "magnitude DIFF", and "note no background subtracted" when the window shows that note.
std::string PhotometryReport(const PhotometryFields& fields);

}  // namespace talvor
