#include "batch/process_commands.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "batch/batch_context.h"
#include "batch/exit_status.h"
#include "batch/output_file.h"
#include "batch/processing_steps.h"
#include "batch/terminal_text.h"
#include "processing/undo_history.h"

namespace talvor {

const char* const kProcessHelp =
    "Usage: talvor-batch process IN OUT STEP [STEP ...]\n"
    "\n"
    "Loads IN as Open does, applies the steps in order and writes OUT in the format its\n"
    "extension names (see 'convert'). Nothing is written when a step fails.\n\n";

const char* const kHistoryHelp =
    "Usage: talvor-batch history FILE STEP ...\n"
    "\n"
    "Prints the processing history that \"Processing History\" shows after the steps: its\n"
    "first 498 characters, as the message box shows them.\n\n";

namespace {

int Usage(const char* help) {
    std::fputs(help, stderr);
    std::fputs(kProcessingStepsHelp, stderr);
    return kExitUsage;
}

// Loads the file and runs the steps; false (after the program's message) when any fails,
// nothing (after saying which step is wrong) when a step is not one the menus can take.
std::optional<bool> LoadAndApply(BatchContext& context, const std::string& file,
                                 const std::vector<std::string>& steps) {
    std::vector<ProcessingStep> parsed;
    for (const std::string& text : steps) {
        ParsedStep step = ParseProcessingStep(text);
        if (!step.step) {
            std::fprintf(stderr, "talvor-batch: '%s': %s\n\n", text.c_str(), step.problem.c_str());
            return std::nullopt;
        }
        parsed.push_back(std::move(step.step));
    }
    context.ReadExistingSettings();
    if (!context.LoadCurrentImage(file)) {
        return false;
    }
    for (const ProcessingStep& step : parsed) {
        if (context.Ui().MessageShown()) {
            return false;
        }
        step(context.State());
    }
    return !context.Ui().MessageShown();
}

}  // namespace

int RunProcess(BatchContext& context, const std::vector<std::string>& arguments) {
    if (arguments.size() < 3) {
        return Usage(kProcessHelp);
    }
    const std::vector<std::string> steps(arguments.begin() + 2, arguments.end());
    const auto applied = LoadAndApply(context, arguments[0], steps);
    if (!applied) {
        return Usage(kProcessHelp);
    }
    if (!*applied) {
        return kExitFailed;
    }
    return WriteCurrentImage(context.State(), arguments[1], false) == OutputResult::Written
               ? kExitSuccess
               : kExitFailed;
}

int RunHistory(BatchContext& context, const std::vector<std::string>& arguments) {
    if (arguments.empty()) {
        return Usage(kHistoryHelp);
    }
    const std::vector<std::string> steps(arguments.begin() + 1, arguments.end());
    const auto applied = LoadAndApply(context, arguments[0], steps);
    if (!applied) {
        return Usage(kHistoryHelp);
    }
    if (!*applied) {
        return kExitFailed;
    }
    // Lines read from a file reach the terminal with their control bytes shown, not acted on;
    // the line ends stay where the box has them.
    const std::string text = ShownHistoryText(context.State().state);
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        std::fputs(PrintableText(rest.substr(0, end)).c_str(), stdout);
        if (end < rest.size()) {
            std::fputc('\n', stdout);
        }
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    return kExitSuccess;
}

}  // namespace talvor
