#include "processing/unsharp_mask.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

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

typedef float Floats __attribute__((vector_size(4 * kWideLanes)));

constexpr int kRowWords = kFrameColumns + 4 * kWideLanes;

const uint16_t* Row(const ImageBuffer& frame, int y) {
    return &frame[static_cast<std::size_t>(y) * kFrameColumns];
}

// sum / area for sums 0..2^24 and areas 9..225, exactly as integer division: a quotient from
// the single-precision reciprocal is at most one off (its relative error is below 2^-22 and
// the quotient below 2^16), and the remainder puts it right.
TALVOR_ALWAYS_INLINE Ints DivideByArea(Ints sum, int32_t area, float reciprocal) {
    const Floats estimate = __builtin_convertvector(sum, Floats) * reciprocal;
    Ints quotient = __builtin_convertvector(estimate, Ints);
    const Ints remainder = sum - quotient * area;
    const Ints zero{};
    const Ints one = zero + 1;
    quotient += remainder >= area ? one : zero;
    quotient -= remainder < zero ? one : zero;
    return quotient;
}

// totals[x] = columns[0] + ... + columns[x - 1] for x = 0..512, eight at a time: each block
// of eight is summed within itself in three doubling steps and carries the total before it.
TALVOR_ALWAYS_INLINE void RunningTotals(const int32_t* columns, int32_t* totals) {
    const Ints zero{};
    Ints carry{};
    totals[0] = 0;
    for (int x = 0; x < kFrameColumns; x += kWideLanes) {
        Ints v = LoadInts(columns + x);
        v += __builtin_shufflevector(zero, v, 0, 8, 9, 10, 11, 12, 13, 14);
        v += __builtin_shufflevector(zero, v, 0, 1, 8, 9, 10, 11, 12, 13);
        v += __builtin_shufflevector(zero, v, 0, 1, 2, 3, 8, 9, 10, 11);
        v += carry;
        StoreInts(totals + x + 1, v);
        carry = __builtin_shufflevector(v, v, 7, 7, 7, 7, 7, 7, 7, 7);
    }
}

TALVOR_VECTOR_CLONES
void UnsharpRows(const ImageBuffer& source, ImageBuffer& target, int d, int32_t k, int firstRow,
                 int lastRow, const std::function<void()>& afterRow) {
    const int32_t area = (2 * d + 1) * (2 * d + 1);
    const float reciprocal = 1.0f / static_cast<float>(area);

    // Column sums over the rows of the box, moved down one row at a time, and their running
    // total along the row, so that a box sum is the difference of two totals.
    alignas(32) std::array<int32_t, kRowWords> columns{};
    alignas(32) std::array<int32_t, kRowWords> totals{};
    for (int j = firstRow - d; j <= firstRow + d; ++j) {
        const uint16_t* line = Row(source, j);
        for (int x = 0; x < kFrameColumns; x += kWideLanes) {
            StoreInts(&columns[x], LoadInts(&columns[x]) + LoadWidened(line + x));
        }
    }

    uint16_t result[kRowWords];
    for (int y = firstRow; y <= lastRow; ++y) {
        RunningTotals(columns.data(), totals.data());

        const uint16_t* in = Row(source, y);
        for (int x = d; x <= kFrameColumns - 2 - d; x += kWideLanes) {
            const Ints sum = LoadInts(&totals[x + d + 1]) - LoadInts(&totals[x - d]);
            const Ints mean = DivideByArea(sum, area, reciprocal);
            const Ints p = LoadWidened(in + x);
            vectors::StoreLow16(result + x, vectors::ClampFilterResult(p + (p - mean) * k));
        }
        std::memcpy(&target[static_cast<std::size_t>(y) * kFrameColumns + d], result + d,
                    sizeof(uint16_t) * (kFrameColumns - 1 - 2 * d));

        if (y < lastRow) {
            const uint16_t* entering = Row(source, y + d + 1);
            const uint16_t* leaving = Row(source, y - d);
            for (int x = 0; x < kFrameColumns; x += kWideLanes) {
                StoreInts(&columns[x], LoadInts(&columns[x]) + LoadWidened(entering + x) -
                                           LoadWidened(leaving + x));
            }
        }
        afterRow();
    }
}

}  // namespace

void UnsharpMaskPass(const ImageBuffer& source, ImageBuffer& target, int radius, int power,
                     int firstRow, const std::function<void()>& afterRow) {
    // Up to radius 7 a box sum stays below 2^24, which the division by the area relies on.
    const int d = std::clamp(radius, kMinUnsharpRadius, kMaxUnsharpRadius);
    const int lastRow = kFrameRows - 1 - d;
    if (firstRow > lastRow) {
        return;
    }
    UnsharpRows(source, target, d, power, firstRow, lastRow, afterRow);
}

}  // namespace talvor
