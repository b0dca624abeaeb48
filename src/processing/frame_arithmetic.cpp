#include "processing/frame_arithmetic.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>

#include "core/label_band.h"
#include "processing/word_vectors.h"

#if TALVOR_V3_VERSIONS
#include <immintrin.h>
#endif

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

TALVOR_VECTOR_CLONES
double FlatFieldNormaliser(const ImageBuffer& flat) {
    // The pixels are whole numbers and so is every partial sum of them, at most 5401 x 65535,
    // below 2^29 and far below 2^53, under which every whole number is a double. A running
    // double sum therefore adds exactly at every step and ends on the exact sum: the same
    // double as this whole-number sum converted once, which needs no chain of dependent
    // floating-point additions. Eight lanes take every eighth pixel of a row; none passes
    // 11 x 61 x 65535, far inside 32 bits.
    constexpr int kColumns = kNormaliserLastColumn - kNormaliserFirstColumn + 1;
    vectors::Ints lanes{};
    uint32_t sum = 0;
    for (int y = kNormaliserFirstRow; y <= kNormaliserLastRow; ++y) {
        const uint16_t* row =
            flat.data() + static_cast<std::size_t>(y) * kFrameColumns + kNormaliserFirstColumn;
        int x = 0;
        for (; x + vectors::kWideLanes <= kColumns; x += vectors::kWideLanes) {
            lanes += vectors::LoadWidened(row + x);
        }
        sum = std::accumulate(row + x, row + kColumns, sum);
    }
    for (int k = 0; k < vectors::kWideLanes; ++k) {
        sum += static_cast<uint32_t>(lanes[k]);
    }
    return kNormaliserScale * static_cast<double>(sum);
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
TALVOR_DEFAULT_VERSION
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

#if TALVOR_V3_VERSIONS

// The same in x86-64-v3 instructions. The portable build spends most of its time converting
// between words and doubles and narrowing the results back; written out, each four words take
// one widening and one conversion, and each sixteen results one truncation per four, one
// unsigned minimum per four for the clamp and two packs. The divisions, which cannot be made
// cheaper without changing the quotients, are then most of what is left.
namespace v3 {

// Whether any of sixteen words is zero: one test of the whole comparison.
TALVOR_V3_INLINE bool AnyZero(const uint16_t* words) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(words));
    const __m256i zeros = _mm256_cmpeq_epi16(v, _mm256_setzero_si256());
    return _mm256_testz_si256(zeros, zeros) == 0;
}

// Four words as doubles, exactly: each widened to 32 bits, then converted.
TALVOR_V3_INLINE __m256d FourAsDoubles(const uint16_t* words) {
    const __m128i four = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(words));
    return _mm256_cvtepi32_pd(_mm_cvtepu16_epi32(four));
}

// Sixteen pixels whose flat pixels are all non-zero. v is never below 0 nor a not-a-number (the
// normaliser is a scaled sum of pixels), so its truncation to 32 bits is exact below 2^31, and
// from 2^31 up it is 0x80000000, which read unsigned is above 65535 as every v from 65535 up
// then is: the unsigned minimum with 65535 is the clamp, and the packs pass 0..65535 unchanged.
TALVOR_V3_INLINE void SixteenPixels(uint16_t* row, const uint16_t* flatRow, __m256d normaliser) {
    const __m128i full = _mm_set1_epi32(65535);
    __m128i words[4];
#pragma GCC unroll 4
    for (int k = 0; k < 4; ++k) {
        const __m256d quotient =
            _mm256_div_pd(FourAsDoubles(row + 4 * k), FourAsDoubles(flatRow + 4 * k));
        const __m256d v = _mm256_mul_pd(quotient, normaliser);
        words[k] = _mm_min_epu32(_mm256_cvttpd_epi32(v), full);
    }
    const __m256i packed = _mm256_setr_m128i(_mm_packus_epi32(words[0], words[1]),
                                             _mm_packus_epi32(words[2], words[3]));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(row), packed);
}

}  // namespace v3

TALVOR_V3_VERSION
void FlatFieldColumns(uint16_t* row, const uint16_t* flatRow, double normaliser, int first,
                      int last) {
    const __m256d n = _mm256_set1_pd(normaliser);
    int x = first;
    for (; x + 15 <= last; x += 16) {
        if (v3::AnyZero(flatRow + x)) {
            for (int k = x; k < x + 16; ++k) {
                row[k] = FlatFieldPixel(row[k], flatRow[k], normaliser);
            }
            continue;
        }
        v3::SixteenPixels(row + x, flatRow + x, n);
    }
    for (; x <= last; ++x) {
        row[x] = FlatFieldPixel(row[x], flatRow[x], normaliser);
    }
}

#endif

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
