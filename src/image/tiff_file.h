#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "core/image_store.h"

namespace talvor {

inline constexpr int kTiffColumns = 510;
inline constexpr int kTiffRows = 372;
inline constexpr std::size_t kTiffFileSize = 189978;

enum class TiffWriteResult { Written = 0, NotWritten = 1 };

// The 8-bit greyscale TIFF export of a frame: 510 x 372, the frame's 290 rows stretched to the
// camera's pixel aspect by interpolation, in 12 strips of 31 rows.
std::vector<uint8_t> EncodeTiffFile(const ImageBuffer& frame);

TiffWriteResult WriteTiffFile(const std::filesystem::path& file, const ImageBuffer& frame);

}  // namespace talvor
