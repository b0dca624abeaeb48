#include "simulator/mount_model.h"

namespace talvor {
namespace {

bool IsRa(char direction) {
    return direction == 'e' || direction == 'w';
}

bool IsDec(char direction) {
    return direction == 'n' || direction == 's';
}

}  // namespace

MountModel::MountModel(const MountConfig& config, uint32_t startMs)
    : config_(config),
      startMs_(startMs),
      ra_(startMs, config.backlashX),
      dec_(startMs, config.backlashY),
      tracking_(config.driftX, config.driftY, config.periodicAmplitude, config.periodicSeconds) {}

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

void MountModel::Move(char direction, MoveRate rate, uint32_t milliseconds) {
    const double speed = RatePixelsPerSecond(direction, rate);
    if (IsRa(direction)) {
        ra_.SetSpeed(milliseconds, direction == 'e' ? speed : -speed);
        raDirection_ = direction;
    } else if (IsDec(direction)) {
        dec_.SetSpeed(milliseconds, direction == 'n' ? speed : -speed);
        decDirection_ = direction;
    }
}

void MountModel::Stop(char direction, uint32_t milliseconds) {
    if (IsRa(direction) && raDirection_ == direction) {
        ra_.SetSpeed(milliseconds, 0);
        raDirection_ = '\0';
    } else if (IsDec(direction) && decDirection_ == direction) {
        dec_.SetSpeed(milliseconds, 0);
        decDirection_ = '\0';
    }
}

void MountModel::StopAll(uint32_t milliseconds) {
    Stop(raDirection_, milliseconds);
    Stop(decDirection_, milliseconds);
}

PointingOffset MountModel::OffsetAt(uint32_t milliseconds) const {
    const double seconds = static_cast<int32_t>(milliseconds - startMs_) / 1000.0;
    const PointingOffset error = tracking_.After(seconds);
    return {ra_.PositionAt(milliseconds) + error.x, dec_.PositionAt(milliseconds) + error.y};
}

}  // namespace talvor
