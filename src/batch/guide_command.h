#pragma once

#include <string>
#include <vector>

namespace talvor {

class BatchContext;

// talvor-batch [--simulate] guide [--star X,Y] [--train] [--seconds N]
int RunGuide(BatchContext& context, const std::vector<std::string>& arguments);

extern const char* const kGuideHelp;

}  // namespace talvor
