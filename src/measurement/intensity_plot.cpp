#include "measurement/intensity_plot.h"

namespace talvor {
namespace {

constexpr int kBackTraceLeft = 136;
constexpr int kBaselineAboveTrace = 186;

}  // namespace

void TraceIntensityRow(const ImageBuffer& frame, int trace, int& previous, IntensityTrace& out) {
    const int left = kBackTraceLeft - trace;
    const int baseline = kBaselineAboveTrace + trace;
    const int row = 2 * trace;
    out.start = {left, baseline};
    for (int column = 0; column < kCameraColumns; ++column) {
        const int height = PixelAt(frame, column, row) / kIntensityPlotScale;
        out.segments[column] = {{left + column, baseline - height}, height > previous};
        previous = height;
    }
}

}  // namespace talvor
