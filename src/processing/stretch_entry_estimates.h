#pragma once

#include <array>
#include <cstdint>

#include "processing/stretch_tables.h"

namespace talvor {

// Entries further than this from a whole number truncate as the exact value does: an estimate
// below lies within 2e-12 of the exact value relative to it (1e-7 at the top of the table), and
// so does the library's power, within one unit in its last place.
inline constexpr double kEstimateMargin = 1e-6;

// True when every number within kEstimateMargin of the estimate truncates toward zero to the
// same whole number as the estimate (false for a value that is not a finite number).
bool TruncationIsCertain(double estimate);

// The entries of one curve, each equal to StretchEntry(curve, i). The power and antilog curves
// estimate an entry from a power at the centre of its run of 128 indices, taken once per run,
// times a short series in the distance from that centre, and compute it exactly as
// StretchEntry does only where the estimate lies within kEstimateMargin of a whole number.
// Other curves, and indices too small for the series, go to StretchEntry directly.
class CurveEntries {
  public:
    explicit CurveEntries(const StretchCurve& curve);

    // True for the curves whose entries are estimated.
    bool Estimates() const { return estimate_ != Estimate::None; }

    uint16_t Entry(int i) {
        return estimate_ == Estimate::None ? StretchEntry(curve_, i) : Estimated(i);
    }

  private:
    static constexpr int kRun = 128;
    static constexpr int kTerms = 8;
    enum class Estimate { None, Power, AntiLog };

    uint16_t Estimated(int i);
    bool InSeriesRange(int i) const;
    uint16_t EntryFromAnchor(int i) const;
    double Series(double t) const;
    // The curve at the centre of a run of indices, and 1 / centre.
    struct Anchor {
        double value;
        double reciprocal;
    };
    const Anchor& AnchorOfRun(int run);

    StretchCurve curve_;
    Estimate estimate_ = Estimate::None;
    // The series' coefficients, from the constant term up.
    std::array<double, kTerms> coefficients_{};
    // The anchor of every run of indices (not a number until needed).
    std::array<Anchor, kStretchEntries / kRun> anchors_;
    // The antilog's exponent per index, as a natural logarithm.
    double logStep_ = 0.0;
};

}  // namespace talvor
