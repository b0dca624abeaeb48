#include "batch/processing_steps.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <map>
#include <string_view>

#include "batch/argument_parsing.h"
#include "core/session.h"
#include "display/background_estimate.h"
#include "processing/calibration_steps.h"
#include "processing/contrast_stretches.h"
#include "processing/label_drawing.h"
#include "processing/median_filter.h"
#include "processing/merge_mode.h"
#include "processing/mirror_image.h"
#include "processing/parameter_steps.h"
#include "processing/spatial_filters.h"
#include "processing/stretch_tables.h"
#include "processing/unsharp_mask.h"

namespace talvor {

const char* const kProcessingStepsHelp =
    "Steps, applied in order exactly as the menu commands do:\n"
    "  normal:BLACK:WHITE   Normal Stretch with those levels, BLACK 0..255 below WHITE 1..300\n"
    "  power:P              Power Law Stretch, P one of 0.1, 0.2, ..., 3.0: the power the\n"
    "                       dialog holds while its box shows P, stepped there from 1.0, so\n"
    "                       that power:3.0 is the dialog's \"3.0\" (3.0000000000000018)\n"
    "  sine, log, antilog, invert\n"
    "                       Sine Law, Logarithmic, Antilogarithmic Stretch, Negative\n"
    "  background           Remove Background at the display's background estimate\n"
    "  nonlinear:P          Non-Linear Stretch, P 2..50\n"
    "  unsharp:RADIUS:POWER Unsharp masking, RADIUS 1..7, POWER 1..7\n"
    "  highpass-low, highpass-high, smoother, gaussian, lowpass, basrelief\n"
    "                       the six kernel filters of the Filters menu\n"
    "  median:RADIUS:TENTHS Median Filter, RADIUS 1..3, power = TENTHS x 0.1, TENTHS 1..10\n"
    "  gradient             Gradient Filter\n"
    "  mirror               Mirror Image\n"
    "  dark:FILE, flat:FILE, average:FILE\n"
    "                       Subtract Image, Apply Flat Field, Average with another file\n"
    "  merge:FILE:RX:RY:MX:MY[:avg]\n"
    "                       Merge two Images: (RX, RY) in the frame so far, (MX, MY) in FILE\n"
    "  label:TEXT           Label, with Auto Date off\n"
    "A parameter outside these ranges is refused, not clamped.\n";

namespace {

std::vector<std::string> Fields(const std::string& text) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t colon = text.find(':', start);
        fields.push_back(text.substr(start, colon - start));
        if (colon == std::string::npos) {
            return fields;
        }
        start = colon + 1;
    }
}

std::optional<double> Decimal(const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

std::optional<ProcessingStep> Plain(const std::string& name) {
    static const std::map<std::string_view, ProcessingStep> steps{
        {"sine", SineLawStretch},
        {"log", LogarithmicStretch},
        {"antilog", AntilogarithmicStretch},
        {"invert", InvertToNegative},
        {"gradient", GradientFilter},
        {"mirror", MirrorImage},
        {"background",
         [](Session& session) {
             // The level the main window's last paint would have estimated for this frame.
             EstimateBackground(session.display, session.images.CurrentImage);
             RemoveBackground(session);
         }},
        {"highpass-low", [](Session& s) { KernelFilter(s, KernelFilterKind::HighPassLowPower); }},
        {"highpass-high", [](Session& s) { KernelFilter(s, KernelFilterKind::HighPassHighPower); }},
        {"smoother", [](Session& s) { KernelFilter(s, KernelFilterKind::SmootherSharper); }},
        {"gaussian", [](Session& s) { KernelFilter(s, KernelFilterKind::Gaussian); }},
        {"lowpass", [](Session& s) { KernelFilter(s, KernelFilterKind::LowPassWeightedMean); }},
        {"basrelief", [](Session& s) { KernelFilter(s, KernelFilterKind::BasRelief); }},
    };
    const auto found = steps.find(name);
    if (found == steps.end()) {
        return std::nullopt;
    }
    return found->second;
}

bool Within(int value, int low, int high) {
    return low <= value && value <= high;
}

std::string Range(int low, int high) {
    return std::to_string(low) + ".." + std::to_string(high);
}

ParsedStep Refused(std::string problem) {
    return {{}, std::move(problem)};
}

// The dialog's power for a text that names one of its positions, 0.1 to 3.0.
std::optional<double> DialogPowerNamed(const std::string& text) {
    constexpr int kLowestTenths = 1;
    constexpr int kHighestTenths = 30;
    // The positions are a tenth apart; a text within a millionth of one names it.
    constexpr double kTolerance = 1e-6;
    const auto value = Decimal(text);
    if (!value || !std::isfinite(*value)) {
        return std::nullopt;
    }
    const double tenths = *value * 10;
    const double nearest = std::round(tenths);
    if (std::abs(tenths - nearest) > kTolerance || nearest < kLowestTenths ||
        nearest > kHighestTenths) {
        return std::nullopt;
    }
    return DialogPower(static_cast<int>(nearest));
}

ParsedStep Power(const std::string& text) {
    const auto power = DialogPowerNamed(text);
    if (!power) {
        return Refused(
            "the power must be one of 0.1, 0.2, ..., 3.0, the Power Law Stretch dialog's values");
    }
    return {[power = *power](Session& session) { PowerLawStretch(session, power); }, {}};
}

// The steps with whole-number parameters, each only within the range its dialog offers.
ParsedStep Numbered(const std::string& name, const std::vector<int>& n) {
    if (name == "normal" && n.size() == 2) {
        if (!Within(n[0], 0, kMaxBlackLevel) || !Within(n[1], kMinWhiteLevel, kMaxWhiteLevel) ||
            n[1] <= n[0]) {
            return Refused("the black level must lie in " + Range(0, kMaxBlackLevel) +
                           " and the white level in " + Range(kMinWhiteLevel, kMaxWhiteLevel) +
                           ", above the black level");
        }
        return {[n](Session& session) { NormalStretch(session, n[0], n[1]); }, {}};
    }
    if (name == "nonlinear" && n.size() == 1) {
        if (!Within(n[0], kMinNonLinearPower, kMaxNonLinearPower)) {
            return Refused("the power must lie in " +
                           Range(kMinNonLinearPower, kMaxNonLinearPower));
        }
        return {[n](Session& session) { NonLinearStretch(session, n[0]); }, {}};
    }
    if (name == "unsharp" && n.size() == 2) {
        if (!Within(n[0], kMinUnsharpRadius, kMaxUnsharpRadius) ||
            !Within(n[1], kMinUnsharpPower, kMaxUnsharpPower)) {
            return Refused("the radius must lie in " + Range(kMinUnsharpRadius, kMaxUnsharpRadius) +
                           " and the power in " + Range(kMinUnsharpPower, kMaxUnsharpPower));
        }
        return {[n](Session& session) { UnsharpMask(session, n[0], n[1]); }, {}};
    }
    if (name == "median" && n.size() == 2) {
        if (!Within(n[0], kMinMedianRadius, kMaxMedianRadius) ||
            !Within(n[1], kMinMedianTenths, kMaxMedianTenths)) {
            return Refused("the radius must lie in " + Range(kMinMedianRadius, kMaxMedianRadius) +
                           " and the power in tenths in " +
                           Range(kMinMedianTenths, kMaxMedianTenths));
        }
        return {[n](Session& session) { MedianFilter(session, n[0], n[1]); }, {}};
    }
    return Refused("not a processing step");
}

std::optional<ProcessingStep> Merge(const std::vector<std::string>& fields) {
    // The file name may hold colons itself: the numbers are counted from the right.
    const bool average = fields.back() == "avg";
    const std::size_t numbers = fields.size() - (average ? 5 : 4);
    if (fields.size() < (average ? 7u : 6u)) {
        return std::nullopt;
    }
    std::string file = fields[1];
    for (std::size_t i = 2; i < numbers; ++i) {
        file += ":" + fields[i];
    }
    const auto rx = WholeNumber(fields[numbers]);
    const auto ry = WholeNumber(fields[numbers + 1]);
    const auto mx = WholeNumber(fields[numbers + 2]);
    const auto my = WholeNumber(fields[numbers + 3]);
    if (!rx || !ry || !mx || !my) {
        return std::nullopt;
    }
    return [file, rx = *rx, ry = *ry, mx = *mx, my = *my, average](Session& session) {
        MergeWithFile(session, file, rx, ry, mx, my, average);
    };
}

}  // namespace

ParsedStep ParseProcessingStep(const std::string& text) {
    const std::vector<std::string> fields = Fields(text);
    const std::string& name = fields[0];
    if (fields.size() == 1) {
        auto plain = Plain(name);
        return plain ? ParsedStep{std::move(*plain), {}} : Refused("not a processing step");
    }
    const std::string rest = text.substr(name.size() + 1);
    if (name == "label") {
        return {[rest](Session& session) { LabelImage(session, rest, false, false); }, {}};
    }
    if (name == "dark") {
        return {[rest](Session& session) { SubtractImage(session, rest); }, {}};
    }
    if (name == "flat") {
        return {[rest](Session& session) { ApplyFlatField(session, rest); }, {}};
    }
    if (name == "average") {
        return {[rest](Session& session) { AverageWithImage(session, rest); }, {}};
    }
    if (name == "merge") {
        auto merge = Merge(fields);
        return merge ? ParsedStep{std::move(*merge), {}} : Refused("not a processing step");
    }
    if (name == "power" && fields.size() == 2) {
        return Power(fields[1]);
    }
    std::vector<int> numbers;
    for (std::size_t i = 1; i < fields.size(); ++i) {
        const auto number = WholeNumber(fields[i]);
        if (!number) {
            return Refused("not a processing step");
        }
        numbers.push_back(*number);
    }
    return Numbered(name, numbers);
}

}  // namespace talvor
