#pragma once

#include <string>
#include <vector>

namespace talvor {

class BatchContext;

// talvor-batch info FILE
int RunInfo(BatchContext& context, const std::vector<std::string>& arguments);
// talvor-batch convert IN OUT [--8bit] [--unsigned]
int RunConvert(BatchContext& context, const std::vector<std::string>& arguments);

extern const char* const kInfoHelp;
extern const char* const kConvertHelp;

}  // namespace talvor
