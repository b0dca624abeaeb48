#pragma once

namespace talvor {

// What a click on the picture does. At most one of the measuring modes is on at a time.
struct MouseModes {
    bool PhotometryMode = false;
    bool RowPlotMode = false;
    bool MergeMode = false;
};

}  // namespace talvor
