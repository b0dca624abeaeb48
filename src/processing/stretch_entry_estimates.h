#pragma once

#include <array>
#include <cmath>
#include <cstdint>

#include "processing/stretch_tables.h"

namespace talvor {

// Entries further than this from a whole number truncate as the exact value does: an estimate
// below lies within 2e-12 of the exact value relative to it (1e-7 at the top of the table), and
// so does the library's power, within one unit in its last place.
inline constexpr double kEstimateMargin = 1e-6;

// True when every number within kEstimateMargin of the estimate truncates toward zero to the
// same whole number as the estimate (false for a value that is not a finite number).
inline bool TruncationIsCertain(double estimate) {
    // Far beyond the table's range (or not a number) the fraction is not worked out.
    if (!(std::abs(estimate) < 1e15)) {
        return false;
    }
    const double fraction =
        std::abs(estimate - static_cast<double>(static_cast<int64_t>(estimate)));
    return fraction > kEstimateMargin && fraction < 1 - kEstimateMargin;
}

// The entries of one curve, each equal to StretchEntry(curve, i). The power and antilog curves
// estimate an entry from a power at the centre of its run of 128 indices, taken once per run,
// times a short series in the distance from that centre; the sine curve from the sine and
// cosine at the centre and short series for the sine and cosine of the distance. An entry is
// computed exactly as StretchEntry does only where the estimate lies within kEstimateMargin of
// a whole number. Other curves, and indices too small for the series, go to StretchEntry
// directly.
class CurveEntries {
  public:
    explicit CurveEntries(const StretchCurve& curve);

    // True for the curves whose entries are estimated.
    bool Estimates() const { return estimate_ != Estimate::None; }

    // Inline, with the series, so that a stretch's first use works out its entries without a
    // call for each: only a run's first entry calls out, for the run's anchor.
    uint16_t Entry(int i) {
        if (!InSeriesRange(i)) {
            return StretchEntry(curve_, i);
        }
        const int run = i / kRun;
        if (std::isnan(anchors_[static_cast<std::size_t>(run)].value)) {
            FindAnchor(run);
        }
        return EntryFromAnchor(i);
    }

  private:
    static constexpr int kRun = 128;
    static constexpr int kTerms = 8;
    // From this index on, a run's centre is at least 17 times farther from 0 than any index of
    // the run is from the centre, so the power series in t = (i - centre) / centre (|t| < 0.059)
    // leaves out less than 2e-12 after its eight terms (|C(p, k)| < 0.01 from k = 8 on).
    static constexpr int kFirstEstimatedPowerIndex = 1024;
    enum class Estimate { None, Power, AntiLog, Sine };

    bool InSeriesRange(int i) const;
    uint16_t EntryFromAnchor(int i) const;
    double Series(double t) const;
    // The curve at the centre of a run of indices and 1 / centre; for the sine curve the sine
    // and the cosine there.
    struct Anchor {
        double value;
        double reciprocal;
        double cosine;
    };
    void FindAnchor(int run);

    StretchCurve curve_;
    Estimate estimate_ = Estimate::None;
    // The series' coefficients, from the constant term up.
    std::array<double, kTerms> coefficients_{};
    // The anchor of every run of indices (not a number until needed).
    std::array<Anchor, kStretchEntries / kRun> anchors_;
    // The antilog's exponent per index, as a natural logarithm.
    double logStep_ = 0.0;
};

inline double CurveEntries::Series(double t) const {
    // Pairs of terms, then pairs of pairs, so that the steps do not wait on one another.
    const std::array<double, kTerms>& c = coefficients_;
    const double t2 = t * t;
    const double t4 = t2 * t2;
    const double low = (c[0] + c[1] * t) + (c[2] + c[3] * t) * t2;
    const double high = (c[4] + c[5] * t) + (c[6] + c[7] * t) * t2;
    return low + high * t4;
}

inline bool CurveEntries::InSeriesRange(int i) const {
    return estimate_ == Estimate::AntiLog || estimate_ == Estimate::Sine ||
           (estimate_ == Estimate::Power && i >= kFirstEstimatedPowerIndex);
}

// The entry from the anchor of its run, which is known by now; above the table's range the
// top entry, as StretchEntry gives it.
inline uint16_t CurveEntries::EntryFromAnchor(int i) const {
    const int run = i / kRun;
    const int offset = i - (run * kRun + kRun / 2);
    const Anchor& anchor = anchors_[static_cast<std::size_t>(run)];
    if (estimate_ == Estimate::Sine) {
        // sin(c + d) = sin c cos d + cos c sin d; the sine lies in -1..1, so v in 0..32766.
        const double d = offset * curve_.factor;
        const double d2 = d * d;
        const double sinD = d * (1 - d2 * (1.0 / 6) * (1 - d2 * (1.0 / 20)));
        const double cosD = 1 - d2 * 0.5 * (1 - d2 * (1.0 / 12));
        const double s = (anchor.value * cosD + anchor.cosine * sinD + 1) * kSineScale;
        return TruncationIsCertain(s) ? static_cast<uint16_t>(static_cast<int64_t>(s))
                                      : StretchEntry(curve_, i);
    }
    const double v = estimate_ == Estimate::Power
                         ? anchor.value * Series(offset * anchor.reciprocal) * curve_.factor
                         : anchor.value * Series(offset * logStep_) - 1;
    if (!TruncationIsCertain(v)) {
        return StretchEntry(curve_, i);
    }
    return v > kTopEntry ? uint16_t{kTopEntry} : static_cast<uint16_t>(static_cast<int64_t>(v));
}

}  // namespace talvor
