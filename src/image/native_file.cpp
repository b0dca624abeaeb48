#include "image/native_file.h"

#include <algorithm>

#include "core/atomic_file.h"

namespace talvor {

void ReadNativeRows(const std::vector<uint8_t>& bytes, int rows, ImageBuffer& frame) {
    const int available = static_cast<int>(bytes.size() / kNativeRowBytes);
    const int count = std::min(rows, available);
    for (int row = 0; row < count; ++row) {
        const uint8_t* in = &bytes[static_cast<std::size_t>(row) * kNativeRowBytes];
        for (int column = 0; column < kCameraColumns; ++column) {
            PixelAt(frame, column, row) =
                static_cast<uint16_t>(in[2 * column] | in[2 * column + 1] << 8);
        }
    }
}

void DecodeNativeFile(const std::vector<uint8_t>& bytes, bool shortVariant, ImageBuffer& frame) {
    constexpr int kShortRows = 256;
    if (shortVariant) {
        ReadNativeRows(bytes, kShortRows, frame);
        std::fill(frame.begin() + kShortRows * kFrameColumns, frame.begin() + kFramePixels,
                  uint16_t{0});
    } else {
        ReadNativeRows(bytes, kFrameRows, frame);
    }
}

std::vector<uint8_t> EncodeNativeFile(const ImageBuffer& frame) {
    std::vector<uint8_t> bytes(static_cast<std::size_t>(kNativeRowBytes) * kFrameRows);
    uint8_t* out = bytes.data();
    for (int row = 0; row < kFrameRows; ++row) {
        for (int column = 0; column < kCameraColumns; ++column) {
            const uint16_t pixel = PixelAt(frame, column, row);
            *out++ = static_cast<uint8_t>(pixel & 0xff);
            *out++ = static_cast<uint8_t>(pixel >> 8);
        }
    }
    return bytes;
}

NativeWriteResult WriteNativeFile(const std::filesystem::path& file, const ImageBuffer& frame) {
    const std::vector<uint8_t> bytes = EncodeNativeFile(frame);
    AtomicFile out(file);
    return out.Write(bytes.data(), bytes.size()) && out.Commit() ? NativeWriteResult::Written
                                                                 : NativeWriteResult::NotWritten;
}

}  // namespace talvor
