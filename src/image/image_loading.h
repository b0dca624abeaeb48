#pragma once

#include <filesystem>
#include <string_view>

namespace talvor {

struct Session;

enum class OperandResult { Loaded = 0, Refused = 1 };

// Loads a native or FITS file, told apart by its size, into the current image, takes its title
// and shows it. A file of no accepted size changes nothing.
void LoadIntoCurrentImage(Session& session, const std::filesystem::path& file,
                          std::string_view title);

// Loads a native file or a FITS file of this program's current layout into the second image,
// the operand of dark subtraction, flat field, merging and averaging.
OperandResult LoadIntoSecondImage(Session& session, const std::filesystem::path& file);

// Writes the current image as a native file, reporting its own failures.
void SaveNative(Session& session, const std::filesystem::path& file);

}  // namespace talvor
