#include "camera/exposure_rules.h"

#include <algorithm>

namespace talvor {

int UnitMaximum(ExposureUnit unit) {
    switch (unit) {
        case ExposureUnit::Thousandths:
        case ExposureUnit::Hundredths:
            return 500;
        case ExposureUnit::Tenths:
            return 100;
        case ExposureUnit::Minutes:
            return 90;
        case ExposureUnit::Seconds:
            break;
    }
    return 300;
}

int UnitStartValue(ExposureUnit unit) {
    return unit == ExposureUnit::Thousandths || unit == ExposureUnit::Hundredths ? 5 : 1;
}

int32_t ExposureMsOf(ExposureUnit unit, int value) {
    switch (unit) {
        case ExposureUnit::Thousandths:
            return value;
        case ExposureUnit::Hundredths:
            return value * 10;
        case ExposureUnit::Tenths:
            return value * 100;
        case ExposureUnit::Minutes:
            return value * 60000;
        case ExposureUnit::Seconds:
            break;
    }
    return value * 1000;
}

int32_t GuideExposureMsOf(ExposureUnit unit, int value, bool guideDarkFrame) {
    if (guideDarkFrame) {
        return 100;
    }
    // Guide frames never last minutes: a value in minutes counts as seconds.
    return ExposureMsOf(unit == ExposureUnit::Minutes ? ExposureUnit::Seconds : unit, value);
}

int ProgressSteps(ExposureUnit unit, int value) {
    if (unit == ExposureUnit::Minutes || (unit == ExposureUnit::Seconds && value >= 13)) {
        return 20;
    }
    if (unit == ExposureUnit::Seconds && value >= 5) {
        return 6;
    }
    return 2;
}

bool ShortEnoughToSelfGuide(ExposureUnit unit, int value) {
    switch (unit) {
        case ExposureUnit::Thousandths:
            return value < 12000;
        case ExposureUnit::Hundredths:
            return value < 1200;
        case ExposureUnit::Tenths:
            return value < 120;
        case ExposureUnit::Seconds:
            return value < 12;
        case ExposureUnit::Minutes:
            break;
    }
    return false;
}

std::string UnitWord(ExposureUnit unit) {
    switch (unit) {
        case ExposureUnit::Thousandths:
            return "thousandths";
        case ExposureUnit::Hundredths:
            return "hundredths";
        case ExposureUnit::Tenths:
            return "tenths";
        case ExposureUnit::Minutes:
            return "minutes";
        case ExposureUnit::Seconds:
            break;
    }
    return "seconds";
}

bool IsHostTimedUnit(ExposureUnit unit) {
    return unit == ExposureUnit::Seconds || unit == ExposureUnit::Minutes;
}

std::string ExposureDelayStatus(int secondsLeft) {
    return "EXPOSURE DELAY (Left - " + std::to_string(secondsLeft) + ")";
}

std::string ExposureUnderwayStatus(int remaining) {
    std::string status = "EXPOSURE UNDERWAY";
    if (remaining >= 2) {
        status += " (Left - " + std::to_string(remaining) + ")";
    }
    return status;
}

std::string ReadCameraStatus(int remaining) {
    std::string status = "READ Zenka CAMERA";
    if (remaining < 2) {
        status += " - takes 2 - 3 seconds";
    } else {
        status += " (Left - " + std::to_string(remaining) + ")";
    }
    return status;
}

int StepWithin(int current, int step, int minimum, int maximum) {
    return std::clamp(current + step, minimum, maximum);
}

}  // namespace talvor
