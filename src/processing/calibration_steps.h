#pragma once

#include <filesystem>
#include <string_view>

#include "image/image_loading.h"

namespace talvor {

struct Session;

inline constexpr std::string_view kDarkSubtractedLine = "Dark Frame Subtracted";
inline constexpr std::string_view kFlatFieldLine = "Flat Field Applied";
inline constexpr std::string_view kFlatFieldProgressTitle = "FLAT FIELD PROGRESS";

// The three steps that combine the current image with a frame read from a file. Each loads the
// file into the second image first; a file that cannot be used is reported by the loader and
// leaves the current image, the undo copy and the history as they were. Otherwise the step
// takes the undo copy, changes the current image and refreshes the display.

// Subtracts the file as a dark frame, clipping at 0; history "Dark Frame Subtracted".
OperandResult SubtractImage(Session& session, const std::filesystem::path& darkFile);

// Divides by the file as a flat field, row by row under a progress window, below the label band
// of a labelled frame; history "Flat Field Applied".
OperandResult ApplyFlatField(Session& session, const std::filesystem::path& flatFile);

// Averages the current image with the file, word by word; no history line.
OperandResult AverageWithImage(Session& session, const std::filesystem::path& otherFile);

}  // namespace talvor
