#include "guiding/guiding_info.h"

#include <cstdio>

#include "core/session.h"
#include "display/display_bitmap.h"

namespace talvor {
namespace {

constexpr double kOffsetDivisor = 19.0;

std::string OneDecimal(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%1.1f", value);
    return text;
}

}  // namespace

GuidingInfoContent DescribeGuidingInfo(const Session& session) {
    const GuidingState& guiding = session.guiding;
    const CentrePosition& centre = guiding.StarCentre;
    GuidingInfoContent content;
    content.x = OneDecimal(centre.x + centre.xTenths * 0.1);
    content.y = OneDecimal(centre.y + centre.yTenths * 0.1);
    content.dx = OneDecimal(guiding.GuideOffset.dx / kOffsetDivisor);
    content.dy = OneDecimal(guiding.GuideOffset.dy / kOffsetDivisor);
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
