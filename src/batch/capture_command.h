#pragma once

#include <string>
#include <vector>

namespace talvor {

class BatchContext;

// talvor-batch [--simulate] capture --exposure VALUE UNIT [--count N] [--continuous]
//     [--pause MIN] [--profiles] [--average] [--dark FILE] [--flat FILE] [--delay]
//     [--autosave] -o OUT
int RunCapture(BatchContext& context, const std::vector<std::string>& arguments);

extern const char* const kCaptureHelp;

}  // namespace talvor
