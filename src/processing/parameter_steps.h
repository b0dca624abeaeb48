#pragma once

#include <string>

#include "core/scroll_action.h"

namespace talvor {

// The small parameter dialogs of the Contrast and Filters menus step their values with the
// arrows of a scroll bar; page clicks and the thumb change nothing.

// The power of the Power Law Stretch dialog: the left arrow takes 0.1 off while the power is
// above 0.2, the right arrow adds 0.1 until it reaches 3.0. Repeated steps in double precision
// end near 0.1 and 3.0, not on them exactly.
double PowerAfterScroll(double power, ScrollAction action);
// The power the dialog holds while its box shows tenths x 0.1 (1..30), stepped there straight
// from the 1.0 it opens with: "3.0" is 3.0000000000000018, "0.1" 0.1000000000000001.
double DialogPower(int tenths);
// The bar position of a power: trunc(10 x power).
int PowerScrollPosition(double power);
// A power as its box shows it ("%1.1f").
std::string PowerText(double power);

// A whole-number setting used with a spin bar: the arrows step by one within low..high.
int CountAfterScroll(int value, ScrollAction action, int low, int high);

// The median power box once a step has rewritten it: tenths x 0.1 as "%1.1f".
std::string MedianPowerText(int tenths);

}  // namespace talvor
