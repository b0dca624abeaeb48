#include "measurement/row_profile.h"

namespace talvor {

std::optional<RowProfileLine> RowProfile(const ImageBuffer& frame, int32_t row,
                                         int32_t rowsToAverage) {
    // Unsigned comparisons: a negative row or width counts as far outside the frame.
    const int32_t half = (rowsToAverage - 1) / 2;
    const auto unsignedHalf = static_cast<uint32_t>(half);
    const auto unsignedRow = static_cast<uint32_t>(row);
    if (rowsToAverage <= 0 || unsignedHalf >= unsignedRow ||
        unsignedRow + unsignedHalf >= static_cast<uint32_t>(kFrameRows)) {
        return std::nullopt;
    }
    RowProfileLine line;
    line[0] = {kRowPlotTopLeft.x + 2, kRowPlotBaseline};
    for (int column = 0; column < kFrameColumns; ++column) {
        uint32_t sum = 0;
        for (int j = row - half; j <= row + half; ++j) {
            sum += PixelAt(frame, column, j) / kRowPlotScale;
        }
        const auto height = static_cast<int>(sum / static_cast<uint32_t>(rowsToAverage));
        line[column + 1] = {column + 5, kRowPlotBaseline - height};
    }
    return line;
}

}  // namespace talvor
