#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace talvor {

struct Session;

// One processing step of the command line, ready to run on the session.
using ProcessingStep = std::function<void(Session&)>;

// Reads a step such as "normal:0:40000", "median:2:7" or "merge:b.fit:100:80:102:83:avg";
// nothing when it is not one.
std::optional<ProcessingStep> ParseProcessingStep(const std::string& text);

// The list of steps, for the help texts.
extern const char* const kProcessingStepsHelp;

}  // namespace talvor
