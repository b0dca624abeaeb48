#include "processing/gradient_filter.h"

#include <algorithm>
#include <cstdint>
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
// and the pixel becomes p - trunc(g) where it is above g, else 0.
TALVOR_VECTOR_CLONES
void RemoveGradientRow(uint16_t* row, int y, double a, double b, double c, double e) {
    using vectors::Doubles;
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
        const Doubles g =
            belowRight * k * a + belowColumn * k * b + rightAbove * k * c + aboveColumn * k * e;
        const Doubles p = vectors::LoadAsDoubles(row + x);
        const Doubles whole =
            __builtin_convertvector(__builtin_convertvector(g, vectors::QuarterInts), Doubles);
        vectors::StoreDoublesAsWords(row + x, p > g ? p - whole : zero);
        belowRight -= belowStep;
        belowColumn += belowStep;
        rightAbove -= aboveStep;
        aboveColumn += aboveStep;
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
    for (int y = firstRow; y < kFrameRows; ++y) {
        RemoveGradientRow(&PixelAt(frame, 0, y), y, a, b, c, e);
    }
}

}  // namespace talvor
