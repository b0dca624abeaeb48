#include "batch/capture_command.h"

#include <csignal>
#include <cstdio>
#include <optional>

#include "batch/argument_parsing.h"
#include "batch/batch_context.h"
#include "batch/exit_status.h"
#include "batch/output_file.h"
#include "camera/camera_interface.h"
#include "camera/capture_sequence.h"
#include "camera/exposure_rules.h"
#include "core/messages.h"

namespace talvor {

const char* const kCaptureHelp =
    "Usage: talvor-batch [--simulate] capture --exposure VALUE UNIT -o OUT [options]\n"
    "\n"
    "Runs the camera dialog's capture without a window and writes the frame after the run to\n"
    "OUT (format by extension, as 'convert'). UNIT is q (thousandths), h (hundredths),\n"
    "t (tenths), s (seconds) or m (minutes). Ctrl+C ends the run like a key press: OUT then\n"
    "holds the last frame shown (exit 0), or nothing when no frame had been read (exit 1).\n"
    "  --count N          exposures in the run, 1..99 (two or more: slew and sum)\n"
    "  --continuous       continuous mode; --pause MIN minutes between frames (0..20)\n"
    "  --profiles         the alternative slew method (brightness profiles)\n"
    "  --average          average the summed exposures\n"
    "  --dark FILE        subtract this dark frame after each exposure\n"
    "  --flat FILE        apply this flat field after each exposure\n"
    "  --delay            the 10-second countdown\n"
    "  --autosave         save every frame as IMG<n>.FIT in the auto-save folder\n";

namespace {

// The message of a failed quick save.
constexpr int kAutoSaveFailed = 49;

std::optional<ExposureUnit> UnitOf(const std::string& text) {
    if (text.size() != 1 || std::string_view("qhtsm").find(text[0]) == std::string_view::npos) {
        return std::nullopt;
    }
    return static_cast<ExposureUnit>(text[0]);
}

int Usage() {
    std::fputs(kCaptureHelp, stderr);
    return kExitUsage;
}

}  // namespace

int RunCapture(BatchContext& context, const std::vector<std::string>& arguments) {
    Session& session = context.State();
    context.ReadExistingSettings();
    CaptureSettings& settings = session.capture.Settings;
    std::optional<std::string> out;
    bool exposureGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        const bool more = i + 1 < arguments.size();
        if (option == "--exposure" && i + 2 < arguments.size()) {
            const auto value = WholeNumber(arguments[i + 1]);
            const auto unit = UnitOf(arguments[i + 2]);
            if (!value || !unit || *value < 1 || *value > UnitMaximum(*unit)) {
                return Usage();
            }
            settings.Unit = *unit;
            settings.Value = *value;
            exposureGiven = true;
            i += 2;
        } else if (option == "--count" && more) {
            const auto count = WholeNumber(arguments[++i]);
            if (!count || *count < 1 || *count > 99) {
                return Usage();
            }
            settings.NumberOfExposures = *count;
        } else if (option == "--pause" && more) {
            const auto minutes = WholeNumber(arguments[++i]);
            if (!minutes || *minutes < 0 || *minutes > 20) {
                return Usage();
            }
            settings.DelayMinutes = *minutes;
        } else if (option == "--dark" && more) {
            session.calibration.AutoDarkPath = arguments[++i];
            settings.AutoRemoveDark = true;
        } else if (option == "--flat" && more) {
            session.calibration.AutoFlatPath = arguments[++i];
            settings.AutoApplyFlat = true;
        } else if (option == "-o" && more) {
            out = arguments[++i];
        } else if (option == "--continuous") {
            settings.ContinuousMode = true;
        } else if (option == "--profiles") {
            settings.AlternativeSlew = true;
        } else if (option == "--average") {
            settings.AverageMultiple = true;
        } else if (option == "--delay") {
            settings.DelayBeforeExposure = true;
        } else if (option == "--autosave") {
            settings.AutoSave = true;
        } else {
            return Usage();
        }
    }
    if (!exposureGiven || !out) {
        return Usage();
    }
    const int exposures = settings.NumberOfExposures;
    if (!PrepareCameraInterface(session)) {
        return kExitFailed;
    }
    settings.NumberOfExposures = exposures;
    BatchUi::CatchInterrupt(true);
    const SelfGuidingHooks hooks;
    CaptureSequence(session, *session.camera.Link, hooks).TakePhoto();
    BatchUi::CatchInterrupt(false);
    if (session.camera.LinkLost) {
        return kExitFailed;  // the link has said why
    }
    if (session.capture.Run.FramesShown == 0) {
        std::fputs("talvor-batch capture: the run was stopped; the frame was not read out\n",
                   stderr);
        return kExitFailed;
    }
    const bool written = WriteCurrentImage(session, *out, false) == OutputResult::Written;
    // OUT still gets the frame, but a run whose auto-save failed (its message is on standard
    // error) has failed.
    const bool autoSaved = !settings.AutoSave || !context.Ui().Showed(MessageText(kAutoSaveFailed));
    return written && autoSaved ? kExitSuccess : kExitFailed;
}

}  // namespace talvor
