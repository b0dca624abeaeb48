#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "core/image_store.h"

namespace talvor {

inline constexpr int kNativeRowBytes = 1020;

// Copies native rows (510 pixels, least significant byte first) into columns 0..509 of the
// frame, as many whole rows as the bytes hold up to the given count; columns 510 and 511 and
// rows not delivered keep their values.
void ReadNativeRows(const std::vector<uint8_t>& bytes, int rows, ImageBuffer& frame);

// Fills a frame from a native file's bytes: 290 rows, or 256 rows with rows 256..289 cleared.
void DecodeNativeFile(const std::vector<uint8_t>& bytes, bool shortVariant, ImageBuffer& frame);

// The 295800 bytes of a native file of the frame.
std::vector<uint8_t> EncodeNativeFile(const ImageBuffer& frame);

enum class NativeWriteResult { Written, NotWritten };

// Writes the frame as a native file, through a temporary file renamed into place.
NativeWriteResult WriteNativeFile(const std::filesystem::path& file, const ImageBuffer& frame);

}  // namespace talvor
