#pragma once

#include <string>
#include <vector>

namespace talvor {

class BatchContext;

// talvor-batch histogram FILE
int RunHistogram(BatchContext& context, const std::vector<std::string>& arguments);
// talvor-batch centroid FILE X Y [--radius R] [--tenths]
int RunCentroid(BatchContext& context, const std::vector<std::string>& arguments);
// talvor-batch photometry FILE --object X,Y --comparison X,Y [--background X,Y] [--mask N]
//                         [--snap]
int RunPhotometry(BatchContext& context, const std::vector<std::string>& arguments);

extern const char* const kHistogramHelp;
extern const char* const kCentroidHelp;
extern const char* const kPhotometryHelp;

}  // namespace talvor
