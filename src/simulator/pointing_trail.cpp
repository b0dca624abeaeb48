#include "simulator/pointing_trail.h"

#include <algorithm>

#include "simulator/sky_geometry.h"

namespace talvor {
namespace {

constexpr std::size_t kMostSamples = 256;
constexpr int64_t kFirstSpacingMs = 20;

}  // namespace

void PointingTrail::Restart(uint32_t milliseconds, PointingOffset offset) {
    origin_ = milliseconds;
    spacing_ = kFirstSpacingMs;
    samples_.assign(1, Sample{0, offset});
}

int64_t PointingTrail::Relative(uint32_t milliseconds) const {
    return static_cast<int32_t>(milliseconds - origin_);
}

void PointingTrail::Add(uint32_t milliseconds, PointingOffset offset) {
    const int64_t time = Relative(milliseconds);
    if (samples_.empty()) {
        Restart(milliseconds, offset);
        return;
    }
    if (time < samples_.back().time) {
        return;
    }
    // Moments closer than the spacing replace the newest one, so the newest is always kept.
    if (samples_.size() >= 2 && time - samples_[samples_.size() - 2].time < spacing_) {
        samples_.back() = {time, offset};
        return;
    }
    samples_.push_back({time, offset});
    if (samples_.size() > kMostSamples) {
        Thin();
    }
}

void PointingTrail::Thin() {
    std::vector<Sample> kept;
    kept.reserve(samples_.size() / 2 + 1);
    for (std::size_t i = 0; i + 1 < samples_.size(); i += 2) {
        kept.push_back(samples_[i]);
    }
    kept.push_back(samples_.back());
    samples_ = std::move(kept);
    spacing_ *= 2;
}

PointingOffset PointingTrail::At(uint32_t milliseconds) const {
    if (samples_.empty()) {
        return {};
    }
    const int64_t time = Relative(milliseconds);
    if (time <= samples_.front().time) {
        return samples_.front().offset;
    }
    if (time >= samples_.back().time) {
        return samples_.back().offset;
    }
    const auto after =
        std::upper_bound(samples_.begin(), samples_.end(), time,
                         [](int64_t t, const Sample& sample) { return t < sample.time; });
    const Sample& high = *after;
    const Sample& low = *(after - 1);
    const double share =
        static_cast<double>(time - low.time) / static_cast<double>(high.time - low.time);
    PointingOffset between(low.offset.x + share * (high.offset.x - low.offset.x),
                           low.offset.y + share * (high.offset.y - low.offset.y));
    if (low.offset.sky && high.offset.sky) {
        const SkyPosition& from = *low.offset.sky;
        const SkyPosition& to = *high.offset.sky;
        between.sky =
            SkyPosition{WrapHours(from.raHours + share * HoursBetween(from.raHours, to.raHours)),
                        from.decDegrees + share * (to.decDegrees - from.decDegrees)};
    } else {
        between.sky = share < 0.5 ? low.offset.sky : high.offset.sky;
    }
    return between;
}

std::vector<PointingOffset> PointingTrail::Along(uint32_t start, uint32_t durationMs,
                                                 int count) const {
    std::vector<PointingOffset> path;
    const int parts = std::max(count, 1);
    path.reserve(static_cast<std::size_t>(parts));
    for (int i = 0; i < parts; ++i) {
        const double middle = (i + 0.5) * durationMs / parts;
        path.push_back(At(start + static_cast<uint32_t>(middle)));
    }
    return path;
}

}  // namespace talvor
