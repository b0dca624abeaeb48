#include "simulator/mount_axis.h"

#include <algorithm>

namespace talvor {
namespace {

constexpr std::size_t kHistoryLength = 4096;

}  // namespace

MountAxis::MountAxis(uint32_t startMs, double backlashPixels)
    : backlash_(std::max(0.0, backlashPixels)), lastStartMs_(startMs) {
    segments_.push_back({0, backlash_ / 2, 0.0, 0.0});
}

int64_t MountAxis::Relative(uint32_t milliseconds) const {
    return segments_.back().start + static_cast<int32_t>(milliseconds - lastStartMs_);
}

double MountAxis::OutputAt(const Segment& segment, int64_t time) const {
    const double seconds = static_cast<double>(std::max<int64_t>(0, time - segment.start)) / 1000;
    const double motor = segment.motor + segment.speed * seconds;
    // The output rests until the motor pushes it from one side of the play or the other.
    return std::clamp(segment.output, motor - backlash_, motor);
}

void MountAxis::SetSpeed(uint32_t milliseconds, double pixelsPerSecond) {
    const Segment& last = segments_.back();
    const int64_t time = std::max(last.start, Relative(milliseconds));
    const double seconds = static_cast<double>(time - last.start) / 1000;
    const Segment next{time, last.motor + last.speed * seconds, OutputAt(last, time),
                       pixelsPerSecond};
    lastStartMs_ += static_cast<uint32_t>(time - last.start);
    segments_.push_back(next);
    if (segments_.size() > kHistoryLength) {
        segments_.pop_front();
    }
}

double MountAxis::PositionAt(uint32_t milliseconds) const {
    const int64_t time = Relative(milliseconds);
    auto segment = std::upper_bound(segments_.begin(), segments_.end(), time,
                                    [](int64_t t, const Segment& s) { return t < s.start; });
    if (segment == segments_.begin()) {
        return segments_.front().output;
    }
    return OutputAt(*std::prev(segment), time);
}

}  // namespace talvor
