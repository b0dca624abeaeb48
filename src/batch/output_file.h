#pragma once

#include <filesystem>

namespace talvor {

struct Session;

enum class OutputResult { Written = 0, Failed = 1 };

// Writes the current image to OUT in the format its extension names, case-insensitively:
// .fit/.fits FITS (8-bit when asked; a captured frame without a date dated by its exposure),
// .tif/.tiff the TIFF export, .bmp the display bitmap with every view flag clear, anything else
// the native raw format. The program's own message is shown on failure.
OutputResult WriteCurrentImage(Session& session, const std::filesystem::path& out, bool eightBit);

}  // namespace talvor
