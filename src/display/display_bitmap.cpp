#include "display/display_bitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/atomic_file.h"

namespace talvor {
namespace {

// 373 / 290: the aspect correction of Zenka geometry.
constexpr double kZenkaRowScale = 1.2862068;
constexpr int kWriteBlocks = 8;

void BuildSmallFrameBytes(const ImageBuffer& source, DisplayByteBuffer& destination) {
    for (int i = 0; i < kSmallFramePixels; ++i) {
        destination[i] = static_cast<uint8_t>(source[i] >> 8);
    }
}

void BuildPlainBytes(const ImageBuffer& source, DisplayByteBuffer& destination) {
    for (int i = 0; i < kFramePixels; ++i) {
        destination[i] = static_cast<uint8_t>(source[i] >> 8);
    }
    for (int row = 0; row < kFrameRows; ++row) {
        destination[row * kFrameColumns + 510] = 0;
        destination[row * kFrameColumns + 511] = 0;
    }
}

void BuildZenkaBytes(const ImageBuffer& source, DisplayByteBuffer& destination) {
    for (int i = 0; i < kZenkaRows; ++i) {
        // The quotient is formed in double precision and held in single precision; the
        // interpolation itself runs in single precision.
        const float s = static_cast<float>(i / kZenkaRowScale);
        const int h = static_cast<int>(s);
        const float f = s - static_cast<float>(h);
        const int upper = i == kZenkaRows - 1 ? h : h + 1;
        const uint16_t* lowerRow = &source[static_cast<std::size_t>(h) * kFrameColumns];
        const uint16_t* upperRow = &source[static_cast<std::size_t>(upper) * kFrameColumns];
        uint8_t* out = &destination[static_cast<std::size_t>(i) * kFrameColumns];
        for (int j = 0; j < kCameraColumns; ++j) {
            const int a = lowerRow[j] >> 8;
            const int b = upperRow[j] >> 8;
            const float v = static_cast<float>(a) + static_cast<float>(b - a) * f;
            out[j] = v >= 256.0f ? uint8_t{255} : static_cast<uint8_t>(static_cast<int>(v));
        }
        out[510] = 0;
        out[511] = 0;
    }
}

// The palette stretch shared by the automatic contrast and the maximum stretch.
std::array<int, 256> StretchLookup(const PaletteOptions& options) {
    std::array<int, 256> lookup{};
    if (options.maxStretchAll) {
        const int factor = 1 << (16 - std::clamp(options.stretchBits, 12, 16));
        for (int i = 0; i < 256; ++i) {
            lookup[i] = std::min(i * factor, 255);
        }
    } else if (options.autoContrast) {
        // Extended precision, so that the top of the range, 255^0.3 x 255^0.7, comes out as
        // 255 rather than a hair below it.
        const int g = options.backgroundLevel;
        const long double scale = std::pow(255.0L, 0.7L);
        for (int i = 0; i < 256; ++i) {
            if (i <= g) {
                lookup[i] = 0;
                continue;
            }
            const long double stretched = std::pow(static_cast<long double>(i - g), 0.3L) * scale;
            lookup[i] = std::min(255, static_cast<int>(stretched));
        }
    } else {
        for (int i = 0; i < 256; ++i) {
            lookup[i] = i;
        }
    }
    return lookup;
}

BitmapColour FalseColourOf(int d) {
    if (d >= 241) {
        return {static_cast<uint8_t>(d), static_cast<uint8_t>(d), static_cast<uint8_t>(d)};
    }
    const int rest = 255 - d;
    return {static_cast<uint8_t>(d), static_cast<uint8_t>(d * d / 256),
            static_cast<uint8_t>(rest - rest * rest / 256)};
}

void PutLittleEndian(uint8_t* at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        at[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

}  // namespace

void BuildDisplayBytes(const ImageBuffer& source, DisplayByteBuffer& destination, bool smallFrame,
                       bool zenkaGeometry) {
    if (smallFrame) {
        BuildSmallFrameBytes(source, destination);
    } else if (!zenkaGeometry) {
        BuildPlainBytes(source, destination);
    } else {
        BuildZenkaBytes(source, destination);
    }
}

ColourTable BuildColourTable(const PaletteOptions& options) {
    const std::array<int, 256> lookup = StretchLookup(options);
    const bool stretchedGrey = options.autoContrast || options.maxStretchAll;
    ColourTable colours{};
    for (int k = 0; k < 256; ++k) {
        if (options.falseColour) {
            colours[k] = FalseColourOf(options.autoContrast ? lookup[k] : k);
        } else {
            const auto d = static_cast<uint8_t>(stretchedGrey ? lookup[k] : k);
            colours[k] = {d, d, d};
        }
    }
    return colours;
}

std::array<uint8_t, kBitmapHeaderSize> BuildBitmapHeader(int width, int height,
                                                         const ColourTable& colours) {
    std::array<uint8_t, kBitmapHeaderSize> header{};
    header[0] = 'B';
    header[1] = 'M';
    PutLittleEndian(&header[2], static_cast<uint32_t>(kBitmapHeaderSize + width * height), 4);
    PutLittleEndian(&header[10], kBitmapHeaderSize, 4);
    PutLittleEndian(&header[14], 40, 4);
    PutLittleEndian(&header[18], static_cast<uint32_t>(width), 4);
    PutLittleEndian(&header[22], static_cast<uint32_t>(height), 4);
    PutLittleEndian(&header[26], 1, 2);
    PutLittleEndian(&header[28], 8, 2);
    for (int k = 0; k < 256; ++k) {
        uint8_t* entry = &header[54 + 4 * k];
        entry[0] = colours[k].blue;
        entry[1] = colours[k].green;
        entry[2] = colours[k].red;
    }
    return header;
}

BitmapWriteResult WriteDisplayBitmap(const DisplayByteBuffer& bytes, DisplayByteBuffer& bitmapRows,
                                     bool smallFrame, bool zenkaGeometry,
                                     const ColourTable& colours,
                                     const std::filesystem::path& file) {
    const int width = smallFrame ? kSmallFrameSide : kFrameColumns;
    const int height = smallFrame ? kSmallFrameSide : (zenkaGeometry ? kZenkaRows : kFrameRows);
    const int blocks = smallFrame ? 1 : kWriteBlocks;

    AtomicFile out(file);
    const auto header = BuildBitmapHeader(width, height, colours);
    if (!out.Write(header.data(), header.size())) {
        return BitmapWriteResult::HeaderNotWritten;
    }
    for (int row = 0; row < height; ++row) {
        std::memcpy(&bitmapRows[static_cast<std::size_t>(row) * width],
                    &bytes[static_cast<std::size_t>(height - 1 - row) * width],
                    static_cast<std::size_t>(width));
    }
    const std::size_t blockSize = static_cast<std::size_t>(width) * height / blocks;
    for (int block = 0; block < blocks; ++block) {
        if (!out.Write(&bitmapRows[block * blockSize], blockSize)) {
            return BitmapWriteResult::PixelsNotWritten;
        }
    }
    return out.Commit() ? BitmapWriteResult::Written : BitmapWriteResult::PixelsNotWritten;
}

}  // namespace talvor
