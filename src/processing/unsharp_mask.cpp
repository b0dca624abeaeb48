#include "processing/unsharp_mask.h"

#include <array>
#include <cstdint>

namespace talvor {
namespace {

constexpr int32_t kClampAbove = 65280;

const uint16_t* Row(const ImageBuffer& frame, int y) {
    return &frame[static_cast<std::size_t>(y) * kFrameColumns];
}

}  // namespace

void UnsharpMaskPass(const ImageBuffer& source, ImageBuffer& target, int radius, int power,
                     int firstRow, const std::function<void()>& afterRow) {
    const int d = radius;
    const int lastRow = kFrameRows - 1 - d;
    if (firstRow > lastRow) {
        return;
    }
    const int32_t k = power;
    // The box holds (2d + 1)^2 pixels. The sum is never negative, so the integer quotient is
    // the truncated floating-point one.
    const int32_t area = (2 * d + 1) * (2 * d + 1);

    // Column sums over the rows of the box, moved down one row at a time. The box sum along a
    // row then slides by one column sum in and one out, which is the same whole-number
    // arithmetic as adding and subtracting the column's pixels row by row.
    std::array<int32_t, kFrameColumns> columns{};
    for (int j = firstRow - d; j <= firstRow + d; ++j) {
        const uint16_t* line = Row(source, j);
        for (int x = 0; x < kFrameColumns; ++x) {
            columns[x] += line[x];
        }
    }

    for (int y = firstRow; y <= lastRow; ++y) {
        int32_t sum = 0;
        for (int c = 0; c <= 2 * d; ++c) {
            sum += columns[c];
        }
        const uint16_t* in = Row(source, y);
        uint16_t* out = &target[static_cast<std::size_t>(y) * kFrameColumns];
        for (int x = d; x <= kFrameColumns - 2 - d; ++x) {
            const int32_t mean = sum / area;
            const int32_t p = in[x];
            const int32_t o = p + (p - mean) * k;
            out[x] = o > kClampAbove ? 65535 : o < 0 ? 0 : static_cast<uint16_t>(o);
            sum += columns[x + d + 1] - columns[x - d];
        }
        if (y < lastRow) {
            const uint16_t* entering = Row(source, y + d + 1);
            const uint16_t* leaving = Row(source, y - d);
            for (int x = 0; x < kFrameColumns; ++x) {
                columns[x] += entering[x] - leaving[x];
            }
        }
        afterRow();
    }
}

}  // namespace talvor
