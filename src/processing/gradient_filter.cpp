#include "processing/gradient_filter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "processing/word_vectors.h"

namespace talvor {
namespace {

constexpr int kCounters = 4096;
constexpr int kBoxSide = 40;

// The index with the largest count from start on; a later index wins only with a strictly
// larger count, and start is the answer when no count is positive.
int ModeOfBox(const ImageBuffer& frame, std::vector<uint32_t>& counts, int top, int left,
              int start) {
    std::fill(counts.begin(), counts.end(), 0u);
    for (int y = top; y < top + kBoxSide; ++y) {
        for (int x = left; x < left + kBoxSide; ++x) {
            ++counts[PixelAt(frame, x, y) >> 4];
        }
    }
    int mode = start;
    uint32_t most = 0;
    for (int i = start; i < kCounters; ++i) {
        if (counts[i] > most) {
            most = counts[i];
            mode = i;
        }
    }
    return mode;
}

}  // namespace

CornerModes FindCornerModes(const ImageBuffer& frame) {
    std::vector<uint32_t> counts(kCounters);
    CornerModes modes;
    modes.topLeft = ModeOfBox(frame, counts, 10, 20, 0);
    modes.topRight = ModeOfBox(frame, counts, 10, 460, 0);
    modes.bottomLeft = ModeOfBox(frame, counts, 240, 20, 1);
    modes.bottomRight = ModeOfBox(frame, counts, 240, 460, 1);
    return modes;
}

namespace {

// The surface below one row, subtracted four pixels at a time: every lane computes the same
// double-precision terms in the same order as one pixel would,
// g = (R - y)(C - x) k a + (R - y) x k b + (C - x) y k c + y x k e, each product rounded in turn,
// and the pixel becomes p - trunc(g) where it is above g, else 0. A term whose corner factor is
// zero is zero and adds nothing, so it is left out (at least the lowest corner's always is).
template <bool UseA, bool UseB, bool UseC, bool UseE>
TALVOR_ALWAYS_INLINE void SubtractSurface(uint16_t* row, int y, double a, double b, double c,
                                          double e) {
    using vectors::Doubles;
    using vectors::QuarterInts;
    using vectors::QuarterWords;
    const double k = 1.0 / kFramePixels;
    const Doubles zero{};
    const double below = kFrameRows - y;
    const double above = y;
    const Doubles lanes = {0.0, 1.0, 2.0, 3.0};
    const Doubles right = static_cast<double>(kFrameColumns) - lanes;
    // The four whole-number products of each lane, exact in double precision as they are in
    // int, move on by whole numbers from one group of four columns to the next.
    Doubles belowRight = below * right;
    Doubles belowColumn = below * lanes;
    Doubles rightAbove = right * above;
    Doubles aboveColumn = above * lanes;
    const Doubles belowStep = zero + below * vectors::kDoubleLanes;
    const Doubles aboveStep = zero + above * vectors::kDoubleLanes;
    for (int x = 0; x < kFrameColumns; x += vectors::kDoubleLanes) {
        Doubles g = zero;
        if constexpr (UseA) {
            g = belowRight * k * a;
        }
        if constexpr (UseB) {
            g = g + belowColumn * k * b;
        }
        if constexpr (UseC) {
            g = g + rightAbove * k * c;
        }
        if constexpr (UseE) {
            g = g + aboveColumn * k * e;
        }
        // For g >= 0 and a whole p, p > g exactly when p > trunc(g), so the rest is whole
        // numbers.
        const QuarterInts whole = __builtin_convertvector(g, QuarterInts);
        QuarterWords words;
        std::memcpy(&words, row + x, sizeof words);
        const QuarterInts p = __builtin_convertvector(words, QuarterInts);
        const QuarterInts none{};
        words = __builtin_convertvector(p > whole ? p - whole : none, QuarterWords);
        std::memcpy(row + x, &words, sizeof words);
        belowRight -= belowStep;
        belowColumn += belowStep;
        rightAbove -= aboveStep;
        aboveColumn += aboveStep;
    }
}

template <int Terms>
TALVOR_ALWAYS_INLINE void SubtractSurfaceWith(uint16_t* row, int y, double a, double b, double c,
                                              double e) {
    SubtractSurface<(Terms & 1) != 0, (Terms & 2) != 0, (Terms & 4) != 0, (Terms & 8) != 0>(
        row, y, a, b, c, e);
}

TALVOR_VECTOR_CLONES
void RemoveGradientRows(ImageBuffer& frame, int firstRow, double a, double b, double c, double e) {
    const int terms =
        (a != 0.0 ? 1 : 0) | (b != 0.0 ? 2 : 0) | (c != 0.0 ? 4 : 0) | (e != 0.0 ? 8 : 0);
    for (int y = firstRow; y < kFrameRows; ++y) {
        uint16_t* row = &PixelAt(frame, 0, y);
        [&]<int... T>(std::integer_sequence<int, T...>) __attribute__((always_inline)) {
            ((terms == T ? SubtractSurfaceWith<T>(row, y, a, b, c, e) : void()), ...);
        }
        (std::make_integer_sequence<int, 16>{});
    }
}

}  // namespace

void RemoveGradient(ImageBuffer& frame, const CornerModes& modes, int firstRow) {
    const double lowest =
        std::min({modes.topLeft, modes.topRight, modes.bottomLeft, modes.bottomRight});
    const double a = (modes.topLeft - lowest) * 16;
    const double b = (modes.topRight - lowest) * 16;
    const double c = (modes.bottomLeft - lowest) * 16;
    const double e = (modes.bottomRight - lowest) * 16;
    RemoveGradientRows(frame, firstRow, a, b, c, e);
}

}  // namespace talvor
