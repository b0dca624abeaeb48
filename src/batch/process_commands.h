#pragma once

#include <string>
#include <vector>

namespace talvor {

class BatchContext;

// talvor-batch process IN OUT STEP [STEP ...]
int RunProcess(BatchContext& context, const std::vector<std::string>& arguments);
// talvor-batch history FILE STEP ...
int RunHistory(BatchContext& context, const std::vector<std::string>& arguments);

extern const char* const kProcessHelp;
extern const char* const kHistoryHelp;

}  // namespace talvor
