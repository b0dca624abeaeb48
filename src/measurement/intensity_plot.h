#pragma once

#include <array>
#include <string_view>

#include "core/image_store.h"
#include "measurement/plot_point.h"

namespace talvor {

inline constexpr std::string_view kIntensityPlotHelpCaption = "TALVOR - 3-D Plot";
inline constexpr std::string_view kIntensityPlotHelpText =
    "This shows a 3-D Intensity Plot of the values in the current main window.";

// The 3-D plot is drawn once into a picture of this size, one trace per second frame row from
// the back (row 12) to the front (row 254); each trace sits one pixel lower and further left
// than the one behind it.
inline constexpr int kIntensityPlotWidth = 644;
inline constexpr int kIntensityPlotHeight = 384;
inline constexpr int kFirstTrace = 6;
inline constexpr int kLastTrace = 127;
// A pixel value rises 1/384 of itself above its trace's baseline.
inline constexpr int kIntensityPlotScale = 384;

// One segment of a trace, ending at `end`; a segment that rises above the one before it is
// drawn in the light colour, so that the faces towards the viewer stand out.
struct TraceSegment {
    PlotPoint end;
    bool rising = false;
};

struct IntensityTrace {
    PlotPoint start;
    std::array<TraceSegment, kCameraColumns> segments;
};

// Trace i (6..127) shows frame row 2i over the camera's 510 columns. `previous` is the height
// of the segment drawn before: 0 before the first trace, carried from trace to trace.
void TraceIntensityRow(const ImageBuffer& frame, int trace, int& previous, IntensityTrace& out);

}  // namespace talvor
