#pragma once

#include <string_view>

#include "processing/kernel_filters.h"

namespace talvor {

struct Session;

// The Filters menu's steps on the current image. Each takes the undo copy first, computes
// through the second image from unfiltered input (the border it does not compute keeps its
// values), leaves a label band alone, refreshes the display and appends its history line. The
// desktop program calls them after their dialogs; the batch tool calls them directly.

// The fixed-kernel filters of the menu.
enum class KernelFilterKind {
    HighPassLowPower,
    HighPassHighPower,
    SmootherSharper,
    Gaussian,
    LowPassWeightedMean,
    BasRelief,
};

// The kernel engine with the progress window, without a history line. Radius 1 or 2.
void ApplyKernel(Session& session, int radius, Kernel kernel, int divisor);
// The engine with the kind's radius, kernel and divisor, then the kind's history line.
void KernelFilter(Session& session, KernelFilterKind kind);
std::string_view KernelFilterHistory(KernelFilterKind kind);

// Radius 1..7, power 1..7.
void UnsharpMask(Session& session, int radius, int power);
// Radius 1..3, power in tenths 1..10.
void MedianFilter(Session& session, int radius, int tenths);
// Removes the sky gradient estimated from the four corners; no progress window.
void GradientFilter(Session& session);

}  // namespace talvor
