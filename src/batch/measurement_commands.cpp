#include "batch/measurement_commands.h"

#include <cstdio>
#include <filesystem>

#include "batch/argument_parsing.h"
#include "batch/batch_context.h"
#include "batch/exit_status.h"
#include "measurement/histogram_listing.h"
#include "measurement/photometry_run.h"
#include "measurement/screen_pointer.h"
#include "measurement/star_centroid.h"

namespace talvor {

const char* const kHistogramHelp =
    "Usage: talvor-batch histogram FILE\n"
    "\n"
    "Prints the listing of the histogram window for FILE as the main window displays it.\n";

const char* const kCentroidHelp =
    "Usage: talvor-batch centroid FILE X Y [--radius R] [--tenths]\n"
    "\n"
    "Finds the centre of the star near (X, Y) with a mask of half-size R (default 8, at most\n"
    "15) and prints 'x y xtenths ytenths'. --tenths gives the tenths of guiding, otherwise the\n"
    "centre is rounded to whole pixels.\n";

const char* const kPhotometryHelp =
    "Usage: talvor-batch photometry FILE --object X,Y --comparison X,Y [--background X,Y]\n"
    "                              [--mask N] [--snap]\n"
    "\n"
    "Measures as the PHOTOMETRY window does, with the N-pixel mask (1, 5, 7, 9, 13, 17;\n"
    "default 9), a left click at each position (--snap: a right click, which moves onto the\n"
    "star). Prints the window's fields: object, comparison, background and magnitude, and\n"
    "'note no background subtracted' when the magnitude was taken without a background.\n";

namespace {

int Usage(const char* help) {
    std::fputs(help, stderr);
    return kExitUsage;
}

}  // namespace

int RunHistogram(BatchContext& context, const std::vector<std::string>& arguments) {
    if (arguments.size() != 1) {
        return Usage(kHistogramHelp);
    }
    if (!context.LoadCurrentImage(arguments[0])) {
        return kExitFailed;
    }
    std::fputs(HistogramListingOfFrame(context.State().images.CurrentImage).c_str(), stdout);
    return kExitSuccess;
}

int RunCentroid(BatchContext& context, const std::vector<std::string>& arguments) {
    if (arguments.size() < 3) {
        return Usage(kCentroidHelp);
    }
    const auto x = WholeNumber(arguments[1]);
    const auto y = WholeNumber(arguments[2]);
    int radius = 8;
    bool tenths = false;
    for (std::size_t i = 3; i < arguments.size(); ++i) {
        if (arguments[i] == "--tenths") {
            tenths = true;
        } else if (arguments[i] == "--radius" && i + 1 < arguments.size()) {
            const auto value = WholeNumber(arguments[++i]);
            if (!value) {
                return Usage(kCentroidHelp);
            }
            radius = *value;
        } else {
            return Usage(kCentroidHelp);
        }
    }
    if (!x || !y) {
        return Usage(kCentroidHelp);
    }
    if (radius < 0 || radius > kMaxMeasureRadius) {
        std::fprintf(stderr, "talvor-batch centroid: the radius must lie in 0..%d\n",
                     kMaxMeasureRadius);
        return kExitUsage;
    }
    if (!context.LoadCurrentImage(arguments[0])) {
        return kExitFailed;
    }
    Session& session = context.State();
    CentrePosition centre;
    const CentreSearch search{false, tenths, false};
    if (FindStarCentre(session.ui, search, centre, *x, *y, session.images.CurrentImage, radius) !=
        CentreResult::Found) {
        return kExitFailed;
    }
    std::printf("%d %d %d %d\n", centre.x, centre.y, centre.xTenths, centre.yTenths);
    return kExitSuccess;
}

int RunPhotometry(BatchContext& context, const std::vector<std::string>& arguments) {
    if (arguments.empty()) {
        return Usage(kPhotometryHelp);
    }
    std::optional<PixelPosition> object;
    std::optional<PixelPosition> comparison;
    PhotometryRequest request;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (option == "--snap") {
            request.snap = true;
        } else if (option == "--object" && hasValue) {
            object = PointArgument(arguments[++i]);
        } else if (option == "--comparison" && hasValue) {
            comparison = PointArgument(arguments[++i]);
        } else if (option == "--background" && hasValue) {
            request.background = PointArgument(arguments[++i]);
            if (!request.background) {
                return Usage(kPhotometryHelp);
            }
        } else if (option == "--mask" && hasValue) {
            const auto mask = WholeNumber(arguments[++i]);
            if (!mask) {
                return Usage(kPhotometryHelp);
            }
            if (!MaskRadiusForDiameter(*mask)) {
                std::fputs(
                    "talvor-batch photometry: the mask must be 1, 5, 7, 9, 13 or 17 pixels\n",
                    stderr);
                return kExitUsage;
            }
            request.maskDiameter = *mask;
        } else {
            return Usage(kPhotometryHelp);
        }
    }
    if (!object || !comparison) {
        return Usage(kPhotometryHelp);
    }
    request.object = *object;
    request.comparison = *comparison;
    if (!context.LoadCurrentImage(arguments[0])) {
        return kExitFailed;
    }
    DetachedPointer pointer;
    const auto fields = talvor::RunPhotometry(context.State(), pointer, request);
    if (!fields) {
        // Photometry refused to start; its message has been shown.
        return kExitFailed;
    }
    std::fputs(PhotometryReport(*fields).c_str(), stdout);
    return context.Ui().MessageShown() ? kExitFailed : kExitSuccess;
}

}  // namespace talvor
