#include "guiding/guiding_info.h"

#include <cmath>
#include <cstdio>

#include "core/session.h"
#include "display/display_bitmap.h"

namespace talvor {
namespace {

constexpr double kOffsetDivisor = 19.0;
constexpr double kThousandths = 1000.0;
constexpr double kArcsecondsPerRadian = 206264.806;
constexpr double kMillimetresPerInch = 25.4;
constexpr double kMicrometresPerMillimetre = 1000.0;

std::string Formatted(const char* format, double value) {
    char text[48];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string OneDecimal(double value) {
    return Formatted("%1.1f", value);
}

std::string ArcsecondsText(double pixels, double scale) {
    return scale > 0 ? Formatted("%1.2f", pixels * scale) : std::string();
}

std::string RmsText(double pixels, double scale) {
    std::string text = Formatted("%1.2f px", pixels);
    if (scale > 0) {
        text += Formatted(", %1.2f\"", pixels * scale);
    }
    return text;
}

}  // namespace

double ArcsecondsPerPixel(double pixelSize, double focalLengthInches) {
    if (!(pixelSize > 0) || !(focalLengthInches > 0)) {
        return 0.0;
    }
    const double millimetres = pixelSize > 1 ? pixelSize / kMicrometresPerMillimetre : pixelSize;
    return kArcsecondsPerRadian * millimetres / (focalLengthInches * kMillimetresPerInch);
}

GuidingInfoContent DescribeGuidingInfo(const Session& session) {
    const GuidingState& guiding = session.guiding;
    const CentrePosition& centre = guiding.StarCentre;
    GuidingInfoContent content;
    content.x = OneDecimal(centre.x + centre.xTenths * 0.1);
    content.y = OneDecimal(centre.y + centre.yTenths * 0.1);
    content.dx = OneDecimal(guiding.GuideOffset.dx / kOffsetDivisor);
    content.dy = OneDecimal(guiding.GuideOffset.dy / kOffsetDivisor);

    const FitsDetails& fits = session.state.Fits;
    const double xScale = ArcsecondsPerPixel(fits.pixelWidth, fits.focalLengthInches);
    const double yScale = ArcsecondsPerPixel(fits.pixelHeight, fits.focalLengthInches);
    const double dxPixels = guiding.GuideOffset.dx / kThousandths;
    const double dyPixels = guiding.GuideOffset.dy / kThousandths;
    content.dxPixels = Formatted("%1.2f", dxPixels);
    content.dyPixels = Formatted("%1.2f", dyPixels);
    content.dxArcsec = ArcsecondsText(dxPixels, xScale);
    content.dyArcsec = ArcsecondsText(dyPixels, yScale);
    const GuideRunStatistics& statistics = guiding.Run.statistics;
    if (statistics.measuredFrames > 0) {
        const double frames = statistics.measuredFrames;
        content.raRms = RmsText(std::sqrt(statistics.sumDxSquared / frames), xScale);
        content.decRms = RmsText(std::sqrt(statistics.sumDySquared / frames), yScale);
    }
    const GuideRunState& run = guiding.Run;
    content.log =
        !run.logFile.empty() ? "Guide log: " + run.logFile.filename().string() : run.logProblem;
    content.frameReady = guiding.FrameBitmapReady;
    content.frameBitmap = session.dataDirectory.Resolve(kSmallBitmapName);
    content.reference = {guiding.GuideReference.x, guiding.GuideReference.y};
    return content;
}

void UpdateGuidingInfo(Session& session, GuidingView& view) {
    view.ShowGuidingInfo(DescribeGuidingInfo(session));
}

void SetGuidingInfoTitle(Session& session, GuidingView& view, std::string_view title) {
    session.guiding.GuidingInfoTitle = std::string(title);
    view.SetGuidingInfoTitle(session.guiding.GuidingInfoTitle);
}

void ShowGuidingInfo(Session& session, GuidingView& view, std::string_view title) {
    session.guiding.GuidingInfoTitle = std::string(title);
    view.OpenGuidingInfo(session.guiding.GuidingInfoTitle);
    UpdateGuidingInfo(session, view);
}

void CloseGuidingInfo(Session& session, GuidingView& view) {
    view.CloseGuidingInfo();
    session.guiding.FrameBitmapReady = false;
}

}  // namespace talvor
