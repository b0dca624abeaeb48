#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace talvor {

// How a guide star shows in a guide frame, measured around its centre: the brightest pixel and
// the sum of its light above the window's background, and that light's signal-to-noise ratio.
struct GuideStarFigures {
    double peak = 0.0;
    double mass = 0.0;
    double snr = 0.0;
};

// What tells a guide frame with the star from one without it (a cloud, the lens cap, a hot
// pixel in an empty window): the star's usual figures, and where and when it was last seen.
struct GuideStarWatch {
    // The usual figures have been measured on a frame that showed the star.
    bool known = false;
    GuideStarFigures usual;
    // Where the star was last seen, in guide-frame pixels with tenths, and the clock then.
    double lastX = 0.0;
    double lastY = 0.0;
    uint32_t lastSeenMs = 0;
    // The last guide frame did not show the star: the next one looks for it wherever it may
    // have strayed meanwhile, not only around the reference.
    bool missing = false;
    // Where guiding holds it, where a correction moves it to.
    double referenceX = 0.0;
    double referenceY = 0.0;
};

// The offsets of one guiding run's measured frames, for the root mean square on each axis.
struct GuideRunStatistics {
    int measuredFrames = 0;
    double sumDxSquared = 0.0;
    double sumDySquared = 0.0;
};

// One guiding run (from "Start Auto-Guiding" or a self-guided exposure to its end).
struct GuideRunState {
    GuideStarWatch watch;
    GuideRunStatistics statistics;
    // The clock when the run began, and the frames it has taken.
    uint32_t startMs = 0;
    int frames = 0;
    // The guide log being written; empty when none is. Why it could not be written, if so.
    std::filesystem::path logFile;
    std::string logProblem;
};

}  // namespace talvor
