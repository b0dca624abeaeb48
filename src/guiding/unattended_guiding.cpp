#include "guiding/unattended_guiding.h"

#include <algorithm>
#include <cmath>

#include "camera/camera_commands.h"
#include "camera/exposure_rules.h"
#include "core/camera_link.h"
#include "core/clock.h"
#include "core/pointing_offset.h"
#include "core/session.h"
#include "guiding/auto_guiding.h"
#include "guiding/guide_star_pick.h"
#include "measurement/brightest_star.h"
#include "measurement/image_click.h"
#include "measurement/screen_pointer.h"
#include "measurement/star_snapping.h"

namespace talvor {
namespace {

// Root mean square of distances from their squares, and of each axis.
class RmsSum {
  public:
    void Add(double x, double y) {
        sumX_ += x * x;
        sumY_ += y * y;
        ++count_;
    }
    double Value() const { return count_ == 0 ? 0.0 : std::sqrt((sumX_ + sumY_) / count_); }
    double X() const { return count_ == 0 ? 0.0 : std::sqrt(sumX_ / count_); }
    double Y() const { return count_ == 0 ? 0.0 : std::sqrt(sumY_ / count_); }

  private:
    double sumX_ = 0.0;
    double sumY_ = 0.0;
    int count_ = 0;
};

std::optional<PixelPosition> SnapPick(Session& session, PixelPosition place) {
    GuidingState& guiding = session.guiding;
    guiding.MeasureRadius = session.settings.GuideStarMaskRadius;
    if (!ClickInside(place.x, place.y, guiding.MeasureRadius, kPickMargin)) {
        return std::nullopt;
    }
    DetachedPointer pointer;
    const int passes = SnapClickToStar(session, pointer, place, session.images.CurrentImage, false);
    RecordPickedStar(session, passes);
    if (!guiding.StarPicked || RefusePickNearEdge(session)) {
        return std::nullopt;
    }
    return guiding.PickedStarPosition;
}

}  // namespace

bool TakeFreshFrame(Session& session) {
    CameraLink* link = session.camera.Link.get();
    if (link != nullptr && !session.camera.CameraConnected) {
        link->FindCamera();
    }
    if (link == nullptr || !session.camera.CameraConnected) {
        return false;
    }
    const CaptureSettings& settings = session.capture.Settings;
    session.readout.ExposureMs = ExposureMsOf(settings.Unit, settings.Value);
    ClearCommand(session, *link);
    StartCommand(session, *link);
    KeepClearWait(session, *link, session.readout.ExposureMs);
    EndCommand(session, *link);
    session.readout.FrameDestination = &session.images.CurrentImage;
    ReadFullFrame(session, *link);
    // A whole frame: centre searches use the whole-frame geometry again.
    session.state.SubFrameMode = false;
    session.state.GuidingDisplay = false;
    return true;
}

std::optional<PixelPosition> PickStarAt(Session& session, PixelPosition place) {
    if (!TakeFreshFrame(session)) {
        return std::nullopt;
    }
    return SnapPick(session, place);
}

std::optional<PixelPosition> PickBrightestStar(Session& session) {
    if (!TakeFreshFrame(session)) {
        return std::nullopt;
    }
    const std::optional<PixelPosition> place = BrightestStar(session, session.images.CurrentImage);
    if (!place) {
        return std::nullopt;
    }
    return SnapPick(session, *place);
}

UnattendedGuidingSummary GuideForSeconds(GuidingContext& context,
                                         const UnattendedGuidingOptions& options) {
    Session& session = context.session;
    UnattendedGuidingSummary summary;
    if (!BeginAutoGuiding(context)) {
        return summary;
    }
    summary.started = true;
    const uint32_t end =
        session.clock.Milliseconds() + static_cast<uint32_t>(std::max(options.seconds, 0)) * 1000U;
    RmsSum guided;
    RmsSum unguided;
    RmsSum truth;
    std::optional<PointingOffset> unguidedStart;
    std::optional<PointingOffset> trueStart;
    bool stop = false;
    while (!stop) {
        const GuidingFrameReport report = GuideNextFrame(context);
        GuideFrameLine line;
        line.frame = ++summary.frames;
        line.milliseconds = report.milliseconds;
        line.starFound =
            report.corrected && report.correction.result == GuideCorrectionResult::Measured;
        line.pulses = report.correction.pulses;
        line.absence = report.correction.absence;
        // The star stood, on average, where the sky was in the middle of the exposure.
        const uint32_t middle = report.milliseconds - static_cast<uint32_t>(report.exposureMs / 2);
        if (options.trueSky != nullptr && (trueStart || line.starFound)) {
            const PointingOffset sky = options.trueSky->OffsetAt(middle);
            if (!trueStart) {
                trueStart = sky;
            }
            line.trueOffset = PointingOffset{trueStart->x - sky.x, trueStart->y - sky.y};
            truth.Add(line.trueOffset->x, line.trueOffset->y);
        }
        if (line.starFound) {
            line.dx = report.offset.dx / 1000.0;
            line.dy = report.offset.dy / 1000.0;
            guided.Add(line.dx, line.dy);
            ++summary.measuredFrames;
            if (options.unguidedSky != nullptr) {
                const PointingOffset sky = options.unguidedSky->OffsetAt(report.milliseconds);
                if (!unguidedStart) {
                    unguidedStart = sky;
                }
                unguided.Add(sky.x - unguidedStart->x, sky.y - unguidedStart->y);
            }
        }
        if (options.onFrame) {
            options.onFrame(line);
        }
        stop = !session.capture.Run.ContinuousRunning ||
               (options.stopRequested && options.stopRequested()) ||
               DeadlineReached(session.clock.Milliseconds(), end);
    }
    EndAutoGuiding(context, false);
    summary.guidedRms = guided.Value();
    if (options.unguidedSky != nullptr) {
        summary.unguidedRms = unguided.Value();
    }
    if (trueStart) {
        summary.trueRms = truth.Value();
        summary.trueRaRms = truth.X();
        summary.trueDecRms = truth.Y();
    }
    return summary;
}

}  // namespace talvor
