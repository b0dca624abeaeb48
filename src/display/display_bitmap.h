#pragma once

#include <array>
#include <cstdint>
#include <filesystem>

#include "core/image_store.h"

namespace talvor {

inline constexpr const char* kDisplayBitmapName = "c:\\talvor.bmp";
inline constexpr const char* kSmallBitmapName = "c:\\talvorf.bmp";
inline constexpr int kBitmapHeaderSize = 1078;

// One colour of the bitmap's colour table.
struct BitmapColour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const BitmapColour&) const = default;
};
using ColourTable = std::array<BitmapColour, 256>;

// The palette choices of the view menu.
struct PaletteOptions {
    bool falseColour = false;
    bool autoContrast = false;
    bool maxStretchAll = false;
    int stretchBits = 14;
    int backgroundLevel = 0;
};

// The 8-bit picture of a frame: the high byte of each pixel; 128 x 128 for a small frame; or
// stretched from 290 to 373 rows by interpolation in Zenka geometry.
void BuildDisplayBytes(const ImageBuffer& source, DisplayByteBuffer& destination, bool smallFrame,
                       bool zenkaGeometry);

ColourTable BuildColourTable(const PaletteOptions& options);

// The 1078 bytes of file header, bitmap header and colour table of a display bitmap.
std::array<uint8_t, kBitmapHeaderSize> BuildBitmapHeader(int width, int height,
                                                         const ColourTable& colours);

enum class BitmapWriteResult {
    Written = 0,
    NoFileObject = 1,
    HeaderNotWritten = 2,
    PixelsNotWritten = 3
};

// Writes the display bytes to the given file as an 8-bit bitmap, bottom row first through the
// row buffer: 128 x 128 for a small frame, 512 x 373 in Zenka geometry, else 512 x 290.
BitmapWriteResult WriteDisplayBitmap(const DisplayByteBuffer& bytes, DisplayByteBuffer& bitmapRows,
                                     bool smallFrame, bool zenkaGeometry,
                                     const ColourTable& colours, const std::filesystem::path& file);

}  // namespace talvor
