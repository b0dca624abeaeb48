#pragma once

#include <filesystem>
#include <string_view>

namespace talvor {

struct Session;

enum class LoadResult { Loaded, Refused };

// Loads an image file into the current image, takes its title and shows it: the program's own
// native and FITS layouts, told apart by their exact sizes, and any other standard FITS image
// through CFITSIO (cut or scaled into the frame with a message that says how). A refused file
// changes nothing: picture, title, history and header texts stay as they were.
LoadResult LoadIntoCurrentImage(Session& session, const std::filesystem::path& file,
                                std::string_view title);

enum class OperandResult { Loaded = 0, Refused = 1 };

// Loads a native file or a FITS file of this program's current layout into the second image,
// the operand of dark subtraction, flat field, merging and averaging.
OperandResult LoadIntoSecondImage(Session& session, const std::filesystem::path& file);

// Writes the current image as a native file, reporting its own failures. True when written.
bool SaveNative(Session& session, const std::filesystem::path& file);

}  // namespace talvor
