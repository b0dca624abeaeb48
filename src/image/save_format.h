#pragma once

#include <string>
#include <string_view>

#include "core/working_state.h"

namespace talvor {

enum class SaveFormat { Native, Fits, Tiff };

// What "&Save..." writes: the chosen filter decides, native for "Veltrane (~*.)" and FITS for
// "FITs files"; with "All Files" the extension does, case-insensitively: .fit or .fits FITS,
// .tif or .tiff TIFF, anything else native.
SaveFormat SaveFormatOf(FileKind filter, std::string_view fileName);

// The name a FITS save writes: ".FIT" added when the name has no FITS extension of its own.
std::string WithFitsExtension(std::string_view fileName);

}  // namespace talvor
