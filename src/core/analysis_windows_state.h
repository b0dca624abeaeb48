#pragma once

#include <cstdint>
#include <functional>

#include "core/image_store.h"

namespace talvor {

// The row the profile shows each time its window opens, and the widest average.
inline constexpr int32_t kStartPlotRow = 127;
inline constexpr int32_t kMaxRowsToAverage = 51;

// The histogram, 3-D plot and row profile windows: each is open at most once, and the row
// profile takes the clicks on the picture (the row-plot mode of the mouse modes) while open.
struct AnalysisWindows {
    bool HistogramOpen = false;
    bool IntensityPlotOpen = false;
    // The row the profile shows, and how many rows around it it averages (always odd).
    int32_t PlotRow = kStartPlotRow;
    int32_t RowsToAverage = 1;
    // The frame the 3-D plot and the row profile read, taken when either opens.
    const ImageBuffer* PlotSource = nullptr;
    // The open row profile window redraws through this when a click picks a row.
    std::function<void()> RowPicked;
};

}  // namespace talvor
