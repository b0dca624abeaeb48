#include "processing/stretch_entry_estimates.h"

#include <cmath>
#include <limits>

namespace talvor {
namespace {

constexpr int kTopEntry = kStretchEntries - 1;  // 32767

// From this index on, a run's centre is at least 17 times farther from 0 than any index of the
// run is from the centre, so the power series in t = (i - centre) / centre (|t| < 0.059)
// leaves out less than 2e-12 after its eight terms (|C(p, k)| < 0.01 from k = 8 on).
constexpr int kFirstEstimatedPowerIndex = 1024;
// Powers up to this keep every binomial coefficient of the series below 1 past its fourth term.
constexpr double kLargestEstimatedPower = 4.0;
// The antilog's series runs in z = (i - centre) x logStep_; up to this |z| eight terms leave
// out less than 1e-12 (the five-decimal base's step gives |z| < 0.021).
constexpr double kLargestAntiLogStep = 0.03;
// The antilog's base, as StretchEntry uses it.
constexpr double kAntiLogBase = 2.71828;

// The rule of StretchEntry for a value above the table's range and below it.
uint16_t EntryOfPower(double v) {
    return v > kTopEntry ? kTopEntry : static_cast<uint16_t>(static_cast<int64_t>(v));
}

}  // namespace

bool TruncationIsCertain(double estimate) {
    // Far beyond the table's range (or not a number) the fraction is not worked out.
    if (!(std::abs(estimate) < 1e15)) {
        return false;
    }
    const double fraction =
        std::abs(estimate - static_cast<double>(static_cast<int64_t>(estimate)));
    return fraction > kEstimateMargin && fraction < 1 - kEstimateMargin;
}

CurveEntries::CurveEntries(const StretchCurve& curve) : curve_(curve) {
    const double p = curve.parameter;
    if (curve.shape == StretchCurve::Shape::Power && p > 0 && p <= kLargestEstimatedPower &&
        std::isfinite(curve.factor)) {
        // (1 + t)^p = sum of C(p, k) t^k.
        estimate_ = Estimate::Power;
        coefficients_[0] = 1;
        for (int k = 1; k < kTerms; ++k) {
            coefficients_[k] = coefficients_[k - 1] * (p - (k - 1)) / k;
        }
    }
    if (curve.shape == StretchCurve::Shape::AntiLog && curve.factor >= 0 &&
        kRun / 2 * curve.factor * std::log(kAntiLogBase) <= kLargestAntiLogStep) {
        // e^z = sum of z^k / k!.
        estimate_ = Estimate::AntiLog;
        logStep_ = curve.factor * std::log(kAntiLogBase);
        coefficients_[0] = 1;
        for (int k = 1; k < kTerms; ++k) {
            coefficients_[k] = coefficients_[k - 1] / k;
        }
    }
    if (estimate_ != Estimate::None) {
        anchors_.fill({std::numeric_limits<double>::quiet_NaN(), 0.0});
    }
}

inline double CurveEntries::Series(double t) const {
    // Pairs of terms, then pairs of pairs, so that the steps do not wait on one another.
    const std::array<double, kTerms>& c = coefficients_;
    const double t2 = t * t;
    const double t4 = t2 * t2;
    const double low = (c[0] + c[1] * t) + (c[2] + c[3] * t) * t2;
    const double high = (c[4] + c[5] * t) + (c[6] + c[7] * t) * t2;
    return low + high * t4;
}

const CurveEntries::Anchor& CurveEntries::AnchorOfRun(int run) {
    Anchor& anchor = anchors_[static_cast<std::size_t>(run)];
    if (std::isnan(anchor.value)) {
        const int centre = run * kRun + kRun / 2;
        anchor.value = estimate_ == Estimate::Power
                           ? std::pow(centre, curve_.parameter)
                           : std::pow(kAntiLogBase, centre * curve_.factor);
        anchor.reciprocal = 1.0 / centre;
    }
    return anchor;
}

inline bool CurveEntries::InSeriesRange(int i) const {
    return estimate_ == Estimate::AntiLog ||
           (estimate_ == Estimate::Power && i >= kFirstEstimatedPowerIndex);
}

// The entry from the anchor of its run, which is known by now.
inline uint16_t CurveEntries::EntryFromAnchor(int i) const {
    const int run = i / kRun;
    const int offset = i - (run * kRun + kRun / 2);
    const Anchor& anchor = anchors_[static_cast<std::size_t>(run)];
    const double v = estimate_ == Estimate::Power
                         ? anchor.value * Series(offset * anchor.reciprocal) * curve_.factor
                         : anchor.value * Series(offset * logStep_) - 1;
    return TruncationIsCertain(v) ? EntryOfPower(v) : StretchEntry(curve_, i);
}

uint16_t CurveEntries::Estimated(int i) {
    if (!InSeriesRange(i)) {
        return StretchEntry(curve_, i);
    }
    AnchorOfRun(i / kRun);
    return EntryFromAnchor(i);
}

}  // namespace talvor
