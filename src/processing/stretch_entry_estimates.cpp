#include "processing/stretch_entry_estimates.h"

#include <cmath>
#include <limits>

namespace talvor {
namespace {

// Powers up to this keep every binomial coefficient of the series below 1 past its fourth term.
constexpr double kLargestEstimatedPower = 4.0;
// The antilog's series runs in z = (i - centre) x logStep_; up to this |z| eight terms leave
// out less than 1e-12 (the five-decimal base's step gives |z| < 0.021).
constexpr double kLargestAntiLogStep = 0.03;
// The antilog's base, as StretchEntry uses it.
constexpr double kAntiLogBase = 2.71828;
// The sine curve's argument moves at most this far from a run's centre (the curve's step is
// 1 / 10432, giving 0.0062): d - d^3/6 + d^5/120 and 1 - d^2/2 + d^4/24 then leave out less
// than 1e-16 of sin d and cos d.
constexpr double kLargestSineDistance = 0.01;

}  // namespace

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
    if (curve.shape == StretchCurve::Shape::Sine &&
        kRun / 2 * std::abs(curve.factor) <= kLargestSineDistance) {
        estimate_ = Estimate::Sine;
    }
    if (estimate_ != Estimate::None) {
        anchors_.fill({std::numeric_limits<double>::quiet_NaN(), 0.0, 0.0});
    }
}

void CurveEntries::FindAnchor(int run) {
    Anchor& anchor = anchors_[static_cast<std::size_t>(run)];
    const int centre = run * kRun + kRun / 2;
    if (estimate_ == Estimate::Sine) {
        const double x = (centre - kSineMiddle) * curve_.factor;
        anchor.value = std::sin(x);
        anchor.cosine = std::cos(x);
    } else {
        anchor.value = estimate_ == Estimate::Power
                           ? std::pow(centre, curve_.parameter)
                           : std::pow(kAntiLogBase, centre * curve_.factor);
    }
    anchor.reciprocal = 1.0 / centre;
}

}  // namespace talvor
