#pragma once

#include <string>
#include <vector>

namespace talvor {

class BatchContext;

// talvor-batch telescope goto messier N | goto cngc N | goto planet NAME |
//                        goto radec H M D AM | info | pulse DIR MS | reset-box
int RunTelescope(BatchContext& context, const std::vector<std::string>& arguments);

extern const char* const kTelescopeHelp;

}  // namespace talvor
