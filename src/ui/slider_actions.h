#pragma once

#include <functional>
#include <optional>

#include "core/scroll_action.h"

class QScrollBar;

namespace talvor {

// What a Qt slider action is as a scroll rule sees it: the arrows, page clicks and the thumb.
// Jumps to either end (Home and End keys) have no meaning here.
std::optional<ScrollAction> ScrollActionOf(int sliderAction);

// Uses the bar as a spin control: its arrows go to onStep, which sets the bar's position
// itself; page clicks, drags and jumps leave the bar where it was.
void ConnectSpinBar(QScrollBar* bar, std::function<void(ScrollAction)> onStep);

}  // namespace talvor
