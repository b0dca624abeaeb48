#include "batch/processing_steps.h"

#include <charconv>
#include <filesystem>
#include <map>
#include <string_view>

#include "batch/argument_parsing.h"
#include "core/session.h"
#include "display/background_estimate.h"
#include "processing/calibration_steps.h"
#include "processing/contrast_stretches.h"
#include "processing/label_drawing.h"
#include "processing/merge_mode.h"
#include "processing/mirror_image.h"
#include "processing/spatial_filters.h"

namespace talvor {

const char* const kProcessingStepsHelp =
    "Steps, applied in order exactly as the menu commands do:\n"
    "  normal:BLACK:WHITE   Normal Stretch with those levels\n"
    "  power:P              Power Law Stretch (P such as 1.5)\n"
    "  sine, log, antilog, invert\n"
    "                       Sine Law, Logarithmic, Antilogarithmic Stretch, Negative\n"
    "  background           Remove Background at the display's background estimate\n"
    "  nonlinear:P          Non-Linear Stretch, P 2..50\n"
    "  unsharp:RADIUS:POWER Unsharp masking\n"
    "  highpass-low, highpass-high, smoother, gaussian, lowpass, basrelief\n"
    "                       the six kernel filters of the Filters menu\n"
    "  median:RADIUS:TENTHS Median Filter, power = TENTHS x 0.1\n"
    "  gradient             Gradient Filter\n"
    "  mirror               Mirror Image\n"
    "  dark:FILE, flat:FILE, average:FILE\n"
    "                       Subtract Image, Apply Flat Field, Average with another file\n"
    "  merge:FILE:RX:RY:MX:MY[:avg]\n"
    "                       Merge two Images: (RX, RY) in the frame so far, (MX, MY) in FILE\n"
    "  label:TEXT           Label, with Auto Date off\n";

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

std::optional<ProcessingStep> ParseProcessingStep(const std::string& text) {
    const std::vector<std::string> fields = Fields(text);
    const std::string& name = fields[0];
    if (fields.size() == 1) {
        return Plain(name);
    }
    const std::string rest = text.substr(name.size() + 1);
    if (name == "label") {
        return [rest](Session& session) { LabelImage(session, rest, false, false); };
    }
    if (name == "dark") {
        return [rest](Session& session) { SubtractImage(session, rest); };
    }
    if (name == "flat") {
        return [rest](Session& session) { ApplyFlatField(session, rest); };
    }
    if (name == "average") {
        return [rest](Session& session) { AverageWithImage(session, rest); };
    }
    if (name == "merge") {
        return Merge(fields);
    }
    if (name == "power" && fields.size() == 2) {
        const auto power = Decimal(fields[1]);
        if (!power) {
            return std::nullopt;
        }
        return [power = *power](Session& session) { PowerLawStretch(session, power); };
    }
    std::vector<int> numbers;
    for (std::size_t i = 1; i < fields.size(); ++i) {
        const auto number = WholeNumber(fields[i]);
        if (!number) {
            return std::nullopt;
        }
        numbers.push_back(*number);
    }
    if (name == "normal" && numbers.size() == 2) {
        return [n = numbers](Session& session) { NormalStretch(session, n[0], n[1]); };
    }
    if (name == "nonlinear" && numbers.size() == 1) {
        return [n = numbers](Session& session) { NonLinearStretch(session, n[0]); };
    }
    if (name == "unsharp" && numbers.size() == 2) {
        return [n = numbers](Session& session) { UnsharpMask(session, n[0], n[1]); };
    }
    if (name == "median" && numbers.size() == 2) {
        return [n = numbers](Session& session) { MedianFilter(session, n[0], n[1]); };
    }
    return std::nullopt;
}

}  // namespace talvor
