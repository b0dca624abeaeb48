#include "processing/parameter_steps.h"

#include <cstdio>

#include "processing/median_filter.h"

namespace talvor {
namespace {

std::string OneDecimal(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%1.1f", value);
    return text;
}

}  // namespace

double PowerAfterScroll(double power, ScrollAction action) {
    if (action == ScrollAction::LineLeft && power > 0.2) {
        return power - 0.1;
    }
    if (action == ScrollAction::LineRight && !(power >= 3.0)) {
        return power + 0.1;
    }
    return power;
}

double DialogPower(int tenths) {
    constexpr int kOpeningTenths = 10;
    const ScrollAction toward =
        tenths > kOpeningTenths ? ScrollAction::LineRight : ScrollAction::LineLeft;
    const int steps = tenths > kOpeningTenths ? tenths - kOpeningTenths : kOpeningTenths - tenths;
    double power = 1.0;
    for (int step = 0; step < steps; ++step) {
        power = PowerAfterScroll(power, toward);
    }
    return power;
}

int PowerScrollPosition(double power) {
    return static_cast<int>(10 * power);
}

std::string PowerText(double power) {
    return OneDecimal(power);
}

int CountAfterScroll(int value, ScrollAction action, int low, int high) {
    if (action == ScrollAction::LineLeft && value > low) {
        return value - 1;
    }
    if (action == ScrollAction::LineRight && value < high) {
        return value + 1;
    }
    return value;
}

std::string MedianPowerText(int tenths) {
    return OneDecimal(static_cast<double>(MedianPower(tenths)));
}

}  // namespace talvor
