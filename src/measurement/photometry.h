#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/photometry_state.h"

namespace talvor {

struct Session;

inline constexpr std::string_view kPhotometryHelpCaption = "TALVOR - Control Photometry";
inline constexpr std::string_view kPhotometryHelpText =
    "Select the value you wish to record when you next press the left mouse button";
// Shown beside a magnitude difference for which no background was measured: the sums then hold
// the sky as well as the stars, and the difference is not a calibrated result.
inline constexpr std::string_view kNoBackgroundNote = "no background subtracted";
// Photometry starts with the 9-pixel mask.
inline constexpr int kPhotometryStartRadius = 4;

enum class PhotometryStart { Started, Refused };

// "Photometry of Image": refused with its message while merging or the row plot takes the
// clicks, while the picture is stretched or in Zenka geometry, or while photometry is already
// on. Otherwise the 9-pixel mask, every measurement and the cursor read-out start from 0, and
// clicks measure. The target is kept from the last run.
PhotometryStart StartPhotometry(Session& session);
// "Finished": clicks no longer measure.
void FinishPhotometry(Session& session);

// A "Diameter of Mask" button: the mask half-size (0, 2, 3, 4, 6 or 8). A new mask needs new
// measurements, so the three are wiped; the target and the background choice stay.
void ChooseMask(Session& session, int radius);
// The mask button shown checked for a half-size: 2, 3, 4, 6, 8, or 0 ("Single Pixel") for
// any other.
int ShownMaskRadius(int radius);
// The half-size of a mask named by its side (1, 5, 7, 9, 13, 17 pixels).
std::optional<int> MaskRadiusForDiameter(int diameter);

// "Object", "Comparison", "Background": what the next click records.
void ChooseTarget(Session& session, PhotometryTarget target);

// Records the current target at (x, y): the sum of the current image's pixels under the mask
// centred there. The caller has made sure the mask lies inside the frame.
void MeasureTarget(Session& session, int x, int y);
// The mouse moved over the picture: inside the frame's border of one pixel, the cursor
// read-out follows it.
void TrackCursor(Session& session, int x, int y);

// The magnitude difference of object and comparison after the background under one mask:
// "%2.2f", or empty while a sum is missing or not above the background.
std::string MagnitudeText(int32_t objectSum, int32_t comparisonSum, int32_t backgroundSum);

// The note beside a magnitude difference: kNoBackgroundNote while a magnitude is shown with
// nothing subtracted from the sums (no background measured, or one that summed to 0), else
// empty.
std::string MagnitudeNote(const std::string& magnitude, int32_t backgroundSum);

// The texts of the PHOTOMETRY window's fields.
struct PhotometryFields {
    std::string objectX, objectY, objectValue;
    std::string comparisonX, comparisonY, comparisonValue;
    std::string backgroundX, backgroundY, backgroundValue;
    std::string magnitude;
    std::string magnitudeNote;
    std::string cursorX, cursorY, cursorValue;
};
PhotometryFields PhotometryFieldTexts(const Session& session);

}  // namespace talvor
