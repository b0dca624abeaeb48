#include "processing/frame_arithmetic.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/label_band.h"
#include "processing/word_vectors.h"

// Vectors pass between functions here only where those functions are inlined (see
// word_vectors.h), so the calling-convention warning does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace talvor {
namespace {

constexpr double kNormaliserScale = 0.0002;
constexpr int kNormaliserFirstRow = 9;
constexpr int kNormaliserLastRow = 19;
constexpr int kNormaliserFirstColumn = 9;
constexpr int kNormaliserLastColumn = 499;

// a + b, or 65535 when the sum reaches 65535 or more: a wrapped sum is smaller than a.
uint16_t SaturatedSum(uint16_t a, uint16_t b) {
    const auto sum = static_cast<uint16_t>(a + b);
    return sum < a ? uint16_t{65535} : sum;
}

// Sets each of count words to the rule applied to it and its partner in another store; that the
// stores differ lets the compiler work on many words at once.
template <typename Rule>
void PairsInDistinctStores(uint16_t* __restrict target, const uint16_t* __restrict other, int count,
                           Rule rule) {
    // Whole blocks of a fixed size first, then the rest one by one.
    constexpr int kBlock = 16;
    int i = 0;
    for (; i + kBlock <= count; i += kBlock) {
        for (int k = 0; k < kBlock; ++k) {
            target[i + k] = rule(target[i + k], other[i + k]);
        }
    }
    for (; i < count; ++i) {
        target[i] = rule(target[i], other[i]);
    }
}

// The same for words that may lie in one store, word by word in order.
template <typename Rule>
void EachWordPair(uint16_t* target, const uint16_t* other, int count, bool oneStore, Rule rule) {
    if (!oneStore) {
        PairsInDistinctStores(target, other, count, rule);
        return;
    }
    for (int i = 0; i < count; ++i) {
        target[i] = rule(target[i], other[i]);
    }
}

}  // namespace

void SubtractFrame(ImageBuffer& image, const ImageBuffer& dark) {
    EachWordPair(
        image.data(), dark.data(), kFramePixels, &image == &dark,
        [](uint16_t c, uint16_t s) { return s < c ? static_cast<uint16_t>(c - s) : uint16_t{0}; });
}

void AverageFrames(ImageBuffer& image, const ImageBuffer& other) {
    EachWordPair(
        image.data(), other.data(), kFramePixels, &image == &other,
        [](uint16_t c, uint16_t s) { return static_cast<uint16_t>((uint32_t{c} + s) >> 1); });
}

double FlatFieldNormaliser(const ImageBuffer& flat) {
    double sum = 0.0;
    for (int y = kNormaliserFirstRow; y <= kNormaliserLastRow; ++y) {
        for (int x = kNormaliserFirstColumn; x <= kNormaliserLastColumn; ++x) {
            sum += PixelAt(flat, x, y);
        }
    }
    return kNormaliserScale * sum;
}

namespace {

// One pixel of the flat field: v := i / f x N, truncated, 65535 from 65535 up; a zero flat
// pixel keeps a non-zero image pixel and turns a zero one into N.
uint16_t FlatFieldPixel(uint16_t pixel, uint16_t flatPixel, double normaliser) {
    const double i = pixel;
    const double f = flatPixel;
    double v = normaliser;
    if (f != 0.0) {
        v = i / f * normaliser;
    } else if (i != 0.0) {
        v = i;
    }
    return v >= 65535.0 ? uint16_t{65535} : static_cast<uint16_t>(std::trunc(v));
}

// Sixteen pixels at a time where no flat pixel among them is zero (the usual case): each four
// with the same double-precision operations in the same order as one pixel. Sixteen that hold a
// zero flat pixel, and the last few of the row, go one pixel at a time.
TALVOR_VECTOR_CLONES
void FlatFieldColumns(uint16_t* row, const uint16_t* flatRow, double normaliser, int first,
                      int last) {
    using vectors::Doubles;
    using vectors::kDoubleLanes;
    using vectors::kLanes;
    const Doubles zero{};
    const Doubles n = zero + normaliser;
    const Doubles full = zero + 65535.0;
    int x = first;
    for (; x + kLanes - 1 <= last; x += kLanes) {
        if (vectors::AnyZero(vectors::LoadWords(flatRow + x))) {
            for (int k = x; k < x + kLanes; ++k) {
                row[k] = FlatFieldPixel(row[k], flatRow[k], normaliser);
            }
            continue;
        }
        for (int k = x; k < x + kLanes; k += kDoubleLanes) {
            const Doubles v =
                vectors::LoadAsDoubles(row + k) / vectors::LoadAsDoubles(flatRow + k) * n;
            // v is never below 0 nor a not-a-number: the smaller of v and 65535 truncates to
            // the pixel.
            vectors::StoreDoublesAsWords(row + k, v < full ? v : full);
        }
    }
    for (; x <= last; ++x) {
        row[x] = FlatFieldPixel(row[x], flatRow[x], normaliser);
    }
}

}  // namespace

void FlatFieldRow(ImageBuffer& image, const ImageBuffer& flat, double normaliser, int row) {
    FlatFieldColumns(&PixelAt(image, 0, row), &flat[static_cast<std::size_t>(row) * kFrameColumns],
                     normaliser, kFlatFirstColumn, kFlatLastColumn);
}

void AccumulateFrame(ImageBuffer& destination, const ImageBuffer& source, bool copy, bool skip) {
    if (copy) {
        std::copy_n(source.begin(), kFramePixels, destination.begin());
        return;
    }
    if (skip) {
        return;
    }
    EachWordPair(destination.data(), source.data(), kFramePixels, &destination == &source,
                 &SaturatedSum);
}

void MergeFrames(ImageBuffer& mergeFrame, ImageBuffer& referenceFrame, int referenceX,
                 int referenceY, int mergeX, int mergeY, bool average) {
    const int h = HasLabelBand(mergeFrame) || HasLabelBand(referenceFrame) ? kLabelRows : 0;
    // Positions come from picks or from a command line; the shift is taken in 64 bits so that
    // no pair of positions can overflow it.
    const int64_t dy = int64_t{mergeY} - referenceY;
    const int64_t dx = int64_t{mergeX} - referenceX;
    // A partner column x + dx must lie strictly inside 0..510.
    const int64_t firstX = std::max<int64_t>(0, 1 - dx);
    const int64_t lastX = std::min<int64_t>(kFrameColumns - 1, kCameraColumns - 1 - dx);
    const bool oneStore = &mergeFrame == &referenceFrame;
    for (int y = h; y < kFrameRows; ++y) {
        const int64_t y2 = y + dy;
        if (y2 <= h || y2 >= kFrameRows || firstX > lastX) {
            continue;
        }
        uint16_t* target = &PixelAt(referenceFrame, static_cast<int>(firstX), y);
        const uint16_t* partner =
            &PixelAt(mergeFrame, static_cast<int>(firstX + dx), static_cast<int>(y2));
        const int count = static_cast<int>(lastX - firstX + 1);
        if (average) {
            EachWordPair(target, partner, count, oneStore, [](uint16_t b, uint16_t a) {
                return static_cast<uint16_t>((uint32_t{b} + a) >> 1);
            });
        } else {
            EachWordPair(target, partner, count, oneStore, &SaturatedSum);
        }
    }
    CopyFrame(referenceFrame, mergeFrame);
}

}  // namespace talvor
