#include "simulator/mount_model.h"

#include <algorithm>
#include <cmath>

namespace talvor {
namespace {

// Go-tos, syncs and tracking changes kept for questions about the recent past.
constexpr std::size_t kMostEpochs = 64;
// Where the starting field is when it lies too far off to be projected: far off the picture.
constexpr double kFarAway = 1e7;

bool IsRa(char direction) {
    return direction == 'e' || direction == 'w';
}

bool IsDec(char direction) {
    return direction == 'n' || direction == 's';
}

double StepToward(double from, double to, double most) {
    return from + std::clamp(to - from, -most, most);
}

SkyPosition Offset(const SkyPosition& position, double hours, double degrees) {
    return {WrapHours(position.raHours + hours),
            std::clamp(position.decDegrees + degrees, -90.0, 90.0)};
}

double StartJulianDate(const MountConfig& config) {
    if (config.startJulianDate > 0) {
        return config.startJulianDate;
    }
    return JulianDateWithSiderealTime(2025, 1, 15, config.siderealHoursAtStart,
                                      config.longitudeDegrees);
}

}  // namespace

MountModel::MountModel(const MountConfig& config, uint32_t startMs)
    : config_(config),
      startMs_(startMs),
      site_(config.latitudeDegrees, config.longitudeDegrees, config.utcOffsetHours,
            StartJulianDate(config), startMs),
      ra_(startMs, config.backlashX),
      dec_(startMs, config.backlashY),
      tracking_(config.driftX, config.driftY, config.periodicAmplitude, config.periodicSeconds),
      gotoRate_(config.gotoDegreesPerSecond),
      home_{site_.SiderealHoursAt(startMs), config.startDecDegrees} {
    epochs_.push_back({0, home_, home_, gotoRate_, {}, true});
}

int64_t MountModel::Since(uint32_t milliseconds) const {
    return static_cast<int32_t>(milliseconds - startMs_);
}

const MountModel::Epoch& MountModel::EpochAt(int64_t time) const {
    for (auto epoch = epochs_.rbegin(); epoch != epochs_.rend(); ++epoch) {
        if (epoch->start <= time) {
            return *epoch;
        }
    }
    return epochs_.front();
}

double MountModel::RatePixelsPerSecond(char direction, MoveRate rate) const {
    const double guide = IsRa(direction) ? config_.guideRateX : config_.guideRateY;
    switch (rate) {
        case MoveRate::Guide:
            return guide;
        case MoveRate::Centre:
            return guide * config_.centreFactor;
        case MoveRate::Find:
            return guide * config_.findFactor;
        case MoveRate::Slew:
            return guide * config_.slewFactor;
    }
    return guide;
}

double MountModel::AxisPosition(const MountAxis& axis, const std::optional<uint32_t>& pulseEnd,
                                uint32_t milliseconds) const {
    if (pulseEnd && Since(milliseconds) > Since(*pulseEnd)) {
        return axis.PositionAt(*pulseEnd);
    }
    return axis.PositionAt(milliseconds);
}

PointingOffset MountModel::FineAt(uint32_t milliseconds) const {
    return {AxisPosition(ra_, raPulseEnd_, milliseconds),
            AxisPosition(dec_, decPulseEnd_, milliseconds)};
}

double MountModel::SlewSeconds(const Epoch& epoch) const {
    const double raDegrees = std::abs(HoursBetween(epoch.from.raHours, epoch.to.raHours)) * 15;
    const double decDegrees = std::abs(epoch.to.decDegrees - epoch.from.decDegrees);
    return epoch.rate > 0 ? std::max(raDegrees, decDegrees) / epoch.rate : 0.0;
}

SkyPosition MountModel::MechanicalAt(uint32_t milliseconds) const {
    const int64_t time = Since(milliseconds);
    const Epoch& epoch = EpochAt(time);
    const double seconds = std::max<int64_t>(0, time - epoch.start) / 1000.0;
    const double most = epoch.rate * seconds;
    const double raWay = HoursBetween(epoch.from.raHours, epoch.to.raHours);
    double ra = StepToward(0, raWay, most / 15) + epoch.from.raHours;
    if (!epoch.tracking) {
        // The mount stands while the sky turns: it points at ever later right ascensions.
        ra += seconds * kSiderealPerSolar / 3600;
    }
    const double dec = StepToward(epoch.from.decDegrees, epoch.to.decDegrees, most);
    const PointingOffset fine = FineAt(milliseconds);
    const double scale = config_.arcsecondsPerPixel;
    return Shift({WrapHours(ra), dec}, (fine.x - epoch.fineStart.x) * scale,
                 (fine.y - epoch.fineStart.y) * scale);
}

void MountModel::BeginEpoch(uint32_t milliseconds, std::optional<SkyPosition> to) {
    const bool tracking = epochs_.back().tracking;
    const SkyPosition now = MechanicalAt(milliseconds);
    const Epoch next{Since(milliseconds),  now,     to.value_or(now), gotoRate_,
                     FineAt(milliseconds), tracking};
    if (epochs_.back().start >= next.start) {
        epochs_.back() = next;
    } else {
        epochs_.push_back(next);
    }
    if (epochs_.size() > kMostEpochs) {
        epochs_.pop_front();
    }
}

void MountModel::EndPulses(uint32_t milliseconds) {
    if (raPulseEnd_ && Since(milliseconds) >= Since(*raPulseEnd_)) {
        ra_.SetSpeed(*raPulseEnd_, 0);
        raDirection_ = '\0';
        raPulseEnd_.reset();
    }
    if (decPulseEnd_ && Since(milliseconds) >= Since(*decPulseEnd_)) {
        dec_.SetSpeed(*decPulseEnd_, 0);
        decDirection_ = '\0';
        decPulseEnd_.reset();
    }
}

void MountModel::SetAxis(bool ra, double speed, char direction, uint32_t milliseconds) {
    if (ra) {
        ra_.SetSpeed(milliseconds, speed);
        raDirection_ = direction;
        raPulseEnd_.reset();
    } else {
        dec_.SetSpeed(milliseconds, speed);
        decDirection_ = direction;
        decPulseEnd_.reset();
    }
}

void MountModel::Move(char direction, MoveRate rate, uint32_t milliseconds) {
    if (!IsRa(direction) && !IsDec(direction)) {
        return;
    }
    EndPulses(milliseconds);
    if (SlewingAt(milliseconds)) {
        BeginEpoch(milliseconds, std::nullopt);
    }
    const double speed = RatePixelsPerSecond(direction, rate);
    const bool positive = direction == 'e' || direction == 'n';
    SetAxis(IsRa(direction), positive ? speed : -speed, direction, milliseconds);
}

void MountModel::Stop(char direction, uint32_t milliseconds) {
    EndPulses(milliseconds);
    if (IsRa(direction) && raDirection_ == direction) {
        SetAxis(true, 0, '\0', milliseconds);
    } else if (IsDec(direction) && decDirection_ == direction) {
        SetAxis(false, 0, '\0', milliseconds);
    }
}

void MountModel::StopAll(uint32_t milliseconds) {
    Stop(raDirection_, milliseconds);
    Stop(decDirection_, milliseconds);
}

void MountModel::Abort(uint32_t milliseconds) {
    StopAll(milliseconds);
    if (SlewingAt(milliseconds)) {
        BeginEpoch(milliseconds, std::nullopt);
    }
}

void MountModel::Pulse(char direction, uint32_t durationMs, uint32_t milliseconds) {
    // A mount busy with a go-to takes no guide pulses.
    if ((!IsRa(direction) && !IsDec(direction)) || SlewingAt(milliseconds)) {
        return;
    }
    EndPulses(milliseconds);
    const double speed = RatePixelsPerSecond(direction, MoveRate::Guide);
    const bool positive = direction == 'e' || direction == 'n';
    SetAxis(IsRa(direction), positive ? speed : -speed, direction, milliseconds);
    (IsRa(direction) ? raPulseEnd_ : decPulseEnd_) = milliseconds + durationMs;
    EndPulses(milliseconds);
}

GotoResult MountModel::GoTo(const SkyPosition& target, uint32_t milliseconds) {
    if (AltitudeDegrees(target.raHours, target.decDegrees, site_.Latitude(),
                        site_.SiderealHoursAt(milliseconds)) < 0) {
        return GotoResult::BelowHorizon;
    }
    StopAll(milliseconds);
    BeginEpoch(milliseconds, Offset(target, -syncOffset_.raHours, -syncOffset_.decDegrees));
    return GotoResult::Slewing;
}

bool MountModel::SlewingAt(uint32_t milliseconds) const {
    return SlewEndMs(milliseconds).has_value();
}

std::optional<uint32_t> MountModel::SlewEndMs(uint32_t milliseconds) const {
    const int64_t time = Since(milliseconds);
    const Epoch& epoch = EpochAt(time);
    const auto end = epoch.start + static_cast<int64_t>(std::ceil(SlewSeconds(epoch) * 1000));
    if (end <= time) {
        return std::nullopt;
    }
    return startMs_ + static_cast<uint32_t>(end);
}

void MountModel::Sync(const SkyPosition& position, uint32_t milliseconds) {
    if (SlewingAt(milliseconds)) {
        BeginEpoch(milliseconds, std::nullopt);
    }
    const SkyPosition mechanical = MechanicalAt(milliseconds);
    syncOffset_ = {HoursBetween(mechanical.raHours, position.raHours),
                   position.decDegrees - mechanical.decDegrees};
}

void MountModel::SetTracking(bool on, uint32_t milliseconds) {
    if (on == Tracking()) {
        return;
    }
    const std::optional<SkyPosition> to =
        SlewingAt(milliseconds) ? std::optional(epochs_.back().to) : std::nullopt;
    BeginEpoch(milliseconds, to);
    epochs_.back().tracking = on;
}

SkyPosition MountModel::ReportedAt(uint32_t milliseconds) const {
    return Offset(MechanicalAt(milliseconds), syncOffset_.raHours, syncOffset_.decDegrees);
}

SkyPosition MountModel::SkyAt(uint32_t milliseconds) const {
    const double seconds = Since(milliseconds) / 1000.0;
    const PointingOffset error = tracking_.After(seconds);
    const double scale = config_.arcsecondsPerPixel;
    return Shift(MechanicalAt(milliseconds), error.x * scale, error.y * scale);
}

HorizontalPosition MountModel::HorizontalAt(uint32_t milliseconds) const {
    return ToHorizontal(ReportedAt(milliseconds), site_.Latitude(),
                        site_.SiderealHoursAt(milliseconds));
}

PointingOffset MountModel::OffsetAt(uint32_t milliseconds) const {
    const SkyPosition sky = SkyAt(milliseconds);
    PointingOffset offset{kFarAway, kFarAway, sky};
    // The starting field's centre seen from where the telescope points: east of the centre
    // is to the left on the picture, north is up.
    if (const std::optional<TangentPoint> home = Project(sky, home_)) {
        offset.x = -home->east / config_.arcsecondsPerPixel;
        offset.y = -home->north / config_.arcsecondsPerPixel;
    }
    return offset;
}

}  // namespace talvor
