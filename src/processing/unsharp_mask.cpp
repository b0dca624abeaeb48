#include "processing/unsharp_mask.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

#include "processing/word_vectors.h"

// Vectors pass between functions here only where those functions are inlined (see
// word_vectors.h), so the calling-convention warning does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace talvor {
namespace {

using vectors::Ints;
using vectors::kWideLanes;
using vectors::LoadInts;
using vectors::LoadWidened;
using vectors::StoreInts;

typedef int32_t Quads __attribute__((vector_size(16)));

TALVOR_ALWAYS_INLINE void StoreQuads(int32_t* to, Quads v) {
    std::memcpy(to, &v, sizeof v);
}

constexpr int kRowWords = kFrameColumns + 4 * kWideLanes;

const uint16_t* Row(const ImageBuffer& frame, int y) {
    return &frame[static_cast<std::size_t>(y) * kFrameColumns];
}

// totals[x + 1..x + 4] from the column sums columns[x..x + 3] and the total before them (carry,
// in every lane): the quarter is summed within itself in two doubling steps, which stay inside
// one 128-bit half. The new carry adds the quarter's own total without waiting for the totals
// stored, so that consecutive quarters overlap.
TALVOR_ALWAYS_INLINE Quads QuarterTotals(Quads v, Quads carry, int32_t* totals) {
    const Quads zero{};
    v += __builtin_shufflevector(zero, v, 0, 4, 5, 6);
    v += __builtin_shufflevector(zero, v, 0, 1, 4, 5);
    StoreQuads(totals + 1, v + carry);
    return carry + __builtin_shufflevector(v, v, 3, 3, 3, 3);
}

// The same for eight column sums.
TALVOR_ALWAYS_INLINE Quads RunningTotalsOf(Ints v, Quads carry, int32_t* totals) {
    carry = QuarterTotals(__builtin_shufflevector(v, v, 0, 1, 2, 3), carry, totals);
    return QuarterTotals(__builtin_shufflevector(v, v, 4, 5, 6, 7), carry, totals + 4);
}

// p + (p - mean) x k. A power known in advance multiplies by shifts and adds (Power 0 stands
// for any other, multiplied as it comes).
template <int Power>
TALVOR_ALWAYS_INLINE Ints Sharpened(Ints p, Ints mean, int32_t k) {
    if constexpr (Power > 0) {
        return p + (p - mean) * Power;
    } else {
        return p + (p - mean) * k;
    }
}

// Eight results of row y starting at column x, clamped: the box sum is the difference of two
// running totals, never negative, and its division by the constant area is exact.
template <int D, int Power>
TALVOR_ALWAYS_INLINE Ints ResultsAt(const int32_t* totals, const uint16_t* in, int x, int32_t k) {
    constexpr int kArea = (2 * D + 1) * (2 * D + 1);
    const Ints sum = LoadInts(totals + x + D + 1) - LoadInts(totals + x - D);
    const Ints mean = vectors::DividedExactly<kArea>(sum);
    const Ints p = LoadWidened(in + x);
    return vectors::ClampFilterResult(Sharpened<Power>(p, mean, k));
}

template <int D, int Power>
TALVOR_ALWAYS_INLINE void StoreSixteen(const int32_t* totals, const uint16_t* in, uint16_t* out,
                                       int x, int32_t k) {
    vectors::StoreSixteenResults(out + x, ResultsAt<D, Power>(totals, in, x, k),
                                 ResultsAt<D, Power>(totals, in, x + kWideLanes, k));
}

template <int D, int Power>
TALVOR_ALWAYS_INLINE void UnsharpRowsWith(const ImageBuffer& source, ImageBuffer& target, int32_t k,
                                          int firstRow, int lastRow,
                                          const std::function<void()>& afterRow) {
    // Column sums over the rows of the box, moved down one row at a time, and their running
    // total along the row, so that a box sum is the difference of two totals. The move down
    // and the totals of the next row share one pass over the columns.
    alignas(32) std::array<int32_t, kRowWords> columns{};
    alignas(32) std::array<int32_t, kRowWords> totals{};
    for (int j = firstRow - D; j <= firstRow + D; ++j) {
        const uint16_t* line = Row(source, j);
        for (int x = 0; x < kFrameColumns; x += kWideLanes) {
            StoreInts(&columns[x], LoadInts(&columns[x]) + LoadWidened(line + x));
        }
    }
    Quads carry{};
    for (int x = 0; x < kFrameColumns; x += kWideLanes) {
        carry = RunningTotalsOf(LoadInts(&columns[x]), carry, &totals[x]);
    }

    // Columns D..510 - D: whole vectors from the left, and one more that ends on the last
    // column (overlapping the one before it), so that nothing beyond is written.
    constexpr int kLastVector = kFrameColumns - 1 - D - vectors::kLanes;
    for (int y = firstRow; y <= lastRow; ++y) {
        const uint16_t* in = Row(source, y);
        uint16_t* out = &target[static_cast<std::size_t>(y) * kFrameColumns];
        for (int x = D; x < kLastVector; x += vectors::kLanes) {
            StoreSixteen<D, Power>(totals.data(), in, out, x, k);
        }
        StoreSixteen<D, Power>(totals.data(), in, out, kLastVector, k);

        if (y < lastRow) {
            const uint16_t* entering = Row(source, y + D + 1);
            const uint16_t* leaving = Row(source, y - D);
            carry = Quads{};
            for (int x = 0; x < kFrameColumns; x += kWideLanes) {
                const Ints moved =
                    LoadInts(&columns[x]) + LoadWidened(entering + x) - LoadWidened(leaving + x);
                StoreInts(&columns[x], moved);
                carry = RunningTotalsOf(moved, carry, &totals[x]);
            }
        }
        afterRow();
    }
}

// The pass built for radius D and each power 1..7 (a power outside them takes the build for any
// power), chosen by a fold over the powers so that every build is inlined into the clone.
template <int D, int... Powers>
TALVOR_ALWAYS_INLINE void UnsharpRowsOfRadius(const ImageBuffer& source, ImageBuffer& target,
                                              int32_t k, int firstRow, int lastRow,
                                              const std::function<void()>& afterRow,
                                              std::integer_sequence<int, Powers...>) {
    const bool built =
        ((k == Powers + 1 &&
          (UnsharpRowsWith<D, Powers + 1>(source, target, k, firstRow, lastRow, afterRow), true)) ||
         ...);
    if (!built) {
        UnsharpRowsWith<D, 0>(source, target, k, firstRow, lastRow, afterRow);
    }
}

template <int... Radii>
TALVOR_ALWAYS_INLINE void UnsharpRowsOfAnyRadius(const ImageBuffer& source, ImageBuffer& target,
                                                 int d, int32_t k, int firstRow, int lastRow,
                                                 const std::function<void()>& afterRow,
                                                 std::integer_sequence<int, Radii...>) {
    // d is one of the radii: UnsharpMaskPass clamps it.
    ((d == Radii + kMinUnsharpRadius &&
      (UnsharpRowsOfRadius<Radii + kMinUnsharpRadius>(
           source, target, k, firstRow, lastRow, afterRow, std::make_integer_sequence<int, 7>{}),
       true)) ||
     ...);
}

TALVOR_VECTOR_CLONES
void UnsharpRows(const ImageBuffer& source, ImageBuffer& target, int d, int32_t k, int firstRow,
                 int lastRow, const std::function<void()>& afterRow) {
    UnsharpRowsOfAnyRadius(
        source, target, d, k, firstRow, lastRow, afterRow,
        std::make_integer_sequence<int, kMaxUnsharpRadius - kMinUnsharpRadius + 1>{});
}

}  // namespace

void UnsharpMaskPass(const ImageBuffer& source, ImageBuffer& target, int radius, int power,
                     int firstRow, const std::function<void()>& afterRow) {
    const int d = std::clamp(radius, kMinUnsharpRadius, kMaxUnsharpRadius);
    const int lastRow = kFrameRows - 1 - d;
    if (firstRow > lastRow) {
        return;
    }
    UnsharpRows(source, target, d, power, firstRow, lastRow, afterRow);
}

}  // namespace talvor
