#pragma once

#include <optional>
#include <string>

#include "core/guiding_state.h"

namespace talvor {

// A whole decimal number, all of the text; nothing otherwise.
std::optional<int> WholeNumber(const std::string& text);

// "X,Y" as two whole numbers.
std::optional<PixelPosition> PointArgument(const std::string& text);

}  // namespace talvor
