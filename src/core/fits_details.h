#pragma once

#include <string>

namespace talvor {

inline constexpr std::size_t kFitsTextLength = 67;
inline constexpr std::size_t kFitsParagraphLength = 255;
inline constexpr double kCameraPixelWidth = 0.0098;
inline constexpr double kCameraPixelHeight = 0.0126;
inline constexpr const char* kDefaultInstrument = "Veltrane CCD";
inline constexpr const char* kDefaultFilter = "None";

// The header texts and numbers that travel with the current frame into FITS files and are kept
// in the settings file between runs.
struct FitsDetails {
    std::string object;
    std::string observer;
    std::string date;  // YYYY-MM-DD
    std::string time;  // HH:MM:SS
    std::string origin;
    std::string telescope;
    std::string instrument = kDefaultInstrument;
    std::string comment;  // paragraph of up to 255 characters
    std::string history;  // paragraph of up to 255 characters
    double exposureSeconds = 0.0;
    double pixelWidth = kCameraPixelWidth;
    double pixelHeight = kCameraPixelHeight;
    double focalLengthInches = 0.0;
    double apertureSquareInches = 0.0;
    std::string filter = kDefaultFilter;
    // Write the next FITS save with 8-bit data; lives for one save.
    bool eightBit = false;
};

// The reset done before a file is loaded into the current image: texts and numbers of the frame
// go back to their defaults; origin, pixel size and the eight-bit choice stay.
void ResetFitsDetails(FitsDetails& details);

// Copies what the settings file keeps of the details: the five texts, the two paragraphs, the
// filter, the aperture and the focal length. Date, time, exposure and pixel size belong to a
// frame and stay.
void CopyStoredFitsTexts(const FitsDetails& from, FitsDetails& to);

}  // namespace talvor
