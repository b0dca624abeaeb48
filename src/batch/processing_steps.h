#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace talvor {

struct Session;

// One processing step of the command line, ready to run on the session.
using ProcessingStep = std::function<void(Session&)>;

// A step read from the command line: ready to run, or refused with what is wrong with it.
struct ParsedStep {
    // Empty when the text is refused.
    ProcessingStep step;
    // Why it is refused: not a step at all, or a parameter outside the values its dialog
    // offers, with those values.
    std::string problem;
};

// Reads a step such as "normal:0:200", "median:2:7" or "merge:b.fit:100:80:102:83:avg". A
// parameter is taken only within the range its dialog offers; nothing is clamped.
ParsedStep ParseProcessingStep(const std::string& text);

// The list of steps, for the help texts.
extern const char* const kProcessingStepsHelp;

}  // namespace talvor
