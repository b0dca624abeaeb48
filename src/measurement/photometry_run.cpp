#include "measurement/photometry_run.h"

#include "core/session.h"
#include "display/background_estimate.h"
#include "measurement/image_click.h"

namespace talvor {
namespace {

void Click(Session& session, ScreenPointer& pointer, PhotometryTarget target,
           PixelPosition position, bool snap) {
    ChooseTarget(session, target);
    const ViewportPoint point{position.x, position.y, 0, 0};
    if (snap) {
        HandleRightButtonUp(session, pointer, point);
    } else {
        HandleLeftButtonUp(session, pointer, point);
    }
}

}  // namespace

std::optional<PhotometryFields> RunPhotometry(Session& session, ScreenPointer& pointer,
                                              const PhotometryRequest& request) {
    const std::optional<int> radius = MaskRadiusForDiameter(request.maskDiameter);
    if (!radius || StartPhotometry(session) != PhotometryStart::Started) {
        return std::nullopt;
    }
    // The window shows the background estimate that the main window's paint leaves.
    EstimateBackground(session.display, session.images.CurrentImage);
    ChooseMask(session, *radius);
    Click(session, pointer, PhotometryTarget::Object, request.object, request.snap);
    Click(session, pointer, PhotometryTarget::Comparison, request.comparison, request.snap);
    if (request.background) {
        Click(session, pointer, PhotometryTarget::Background, *request.background, request.snap);
    }
    PhotometryFields fields = PhotometryFieldTexts(session);
    FinishPhotometry(session);
    return fields;
}

std::string PhotometryReport(const PhotometryFields& fields) {
    return "object " + fields.objectX + " " + fields.objectY + " " + fields.objectValue +
           "\ncomparison " + fields.comparisonX + " " + fields.comparisonY + " " +
           fields.comparisonValue + "\nbackground " + fields.backgroundX + " " +
           fields.backgroundY + " " + fields.backgroundValue + "\nmagnitude " + fields.magnitude +
           "\n" + (fields.magnitudeNote.empty() ? "" : "note " + fields.magnitudeNote + "\n");
}

}  // namespace talvor
