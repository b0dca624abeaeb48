#pragma once

#include "core/analysis_windows_state.h"
#include "core/click_hooks.h"
#include "core/photometry_state.h"

namespace talvor {

// What a click on the picture does. At most one of the measuring modes is on at a time.
struct MouseModes {
    bool PhotometryMode = false;
    bool RowPlotMode = false;
    bool MergeMode = false;
    PhotometryState Photometry;
    AnalysisWindows Analysis;
    // The modes that other parts of the program carry out receive their clicks here.
    ClickHooks Hooks;
};

}  // namespace talvor
