#pragma once

// Sorted blocks of a median window and the merges between them, sixteen windows side by side.
// A block holds some of the window's n pixels sorted; it keeps only the ranks that can still be
// the median of a window holding it: with s of the n pixels in the block, the median (rank n / 2
// of the window) lies between ranks n / 2 - (n - s) and n / 2 of the block. Everything here is
// inlined into the vector clones of the median pass (see word_vectors.h).

#include <cstdint>
#include <cstring>
#include <utility>

#include "core/image_store.h"
#include "processing/median_filter.h"
#include "processing/merge_networks.h"
#include "processing/word_vectors.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

namespace talvor::median_blocks {

using vectors::Broadcast;
using vectors::kLanes;
using vectors::LoadWords;
using vectors::Max;
using vectors::Min;
using vectors::StoreWords;
using vectors::Words;

// Calls f(std::integral_constant<int, i>) for i = 0..N-1, unrolled.
template <int N, typename F>
TALVOR_ALWAYS_INLINE void ForEachIndex(F&& f) {
    [&]<int... I>(std::integer_sequence<int, I...>) __attribute__((always_inline)) {
        (f(std::integral_constant<int, I>{}), ...);
    }
    (std::make_integer_sequence<int, N>{});
}

// The ranks a block of Size pixels of a Side x Side window keeps.
template <int Side, int Size>
struct Ranks {
    static constexpr int kSize = Size;
    static constexpr int kMedian = Side * Side / 2;
    static constexpr int kFirst = kMedian - (Side * Side - kSize) > 0
                                      ? kMedian - (Side * Side - kSize)
                                      : 0;
    static constexpr int kLast = kSize - 1 < kMedian ? kSize - 1 : kMedian;
    static constexpr int kWires = kLast - kFirst + 1;
    // Whether the block still holds its smallest and largest pixel.
    static constexpr bool kWhole = kWires == kSize;
};

// The merge of two blocks into a bigger one, kept to the bigger block's ranks.
template <typename Left, typename Right, typename Result>
struct BlockMerge {
    static_assert(Left::kSize + Right::kSize == Result::kSize);
    static constexpr Network kNetwork =
        MergeNetwork(Left::kWires, Right::kWires, Result::kFirst - Left::kFirst - Right::kFirst,
                     Result::kLast - Left::kFirst - Right::kFirst);
    static_assert(kNetwork.kept.count == Result::kWires);
};

// A block's rows: wire w of the block starting at column x is rows[w * Stride + x].
template <typename B, int Stride>
TALVOR_ALWAYS_INLINE void LoadBlock(Words* into, const uint16_t* rows, int x) {
    ForEachIndex<B::kWires>([&](auto w) __attribute__((always_inline)) {
        into[w] = LoadWords(rows + w * Stride + x);
    });
}

template <typename B, int Stride>
TALVOR_ALWAYS_INLINE void StoreBlock(uint16_t* rows, const Words* wires, int x) {
    ForEachIndex<B::kWires>([&](auto w) __attribute__((always_inline)) {
        StoreWords(rows + w * Stride + x, wires[w]);
    });
}

// Result = Left merged with Right, all three held in registers.
template <typename Left, typename Right, typename Result>
TALVOR_ALWAYS_INLINE void Merge(const Words* left, const Words* right, Words* result) {
    static constexpr const Network& network = BlockMerge<Left, Right, Result>::kNetwork;
    Words wires[Left::kWires + Right::kWires];
    ForEachIndex<Left::kWires>([&](auto w) __attribute__((always_inline)) { wires[w] = left[w]; });
    ForEachIndex<Right::kWires>([&](auto w) __attribute__((always_inline)) {
        wires[Left::kWires + w] = right[w];
    });
    RunNetwork<network>(wires);
    ForEachIndex<Result::kWires>([&](auto w) __attribute__((always_inline)) {
        result[w] = wires[network.kept.wires[w]];
    });
}

// Sorts Count words in place.
template <int Count>
TALVOR_ALWAYS_INLINE void Sort(Words* wires) {
    static constexpr Network kSort = SortNetwork(Count, 0, Count - 1);
    Words sorted[Count];
    RunNetwork<kSort>(wires);
    ForEachIndex<Count>([&](auto w) __attribute__((always_inline)) {
        sorted[w] = wires[kSort.kept.wires[w]];
    });
    ForEachIndex<Count>([&](auto w) __attribute__((always_inline)) { wires[w] = sorted[w]; });
}

// Words side by side pair up within each half of a vector, so that no word crosses between the
// halves: even and odd interleaved are the words of Pairs<0> (the first and third runs of eight
// of the 32) and of Pairs<1> (the second and fourth).
template <int Part>
TALVOR_ALWAYS_INLINE Words Pairs(Words even, Words odd) {
    if constexpr (Part == 0) {
        return __builtin_shufflevector(even, odd, 0, 16, 1, 17, 2, 18, 3, 19, 8, 24, 9, 25, 10, 26,
                                       11, 27);
    } else {
        return __builtin_shufflevector(even, odd, 4, 20, 5, 21, 6, 22, 7, 23, 12, 28, 13, 29, 14,
                                       30, 15, 31);
    }
}

typedef uint16_t RunWords __attribute__((vector_size(sizeof(Words) / 2)));
typedef int16_t WordMasks __attribute__((vector_size(sizeof(Words))));

// The half of a vector that holds run Run (0..3) of the 32 interleaved words.
template <int Run>
TALVOR_ALWAYS_INLINE RunWords RunOf(Words first, Words second) {
    const Words from = Run % 2 == 0 ? first : second;
    if constexpr (Run < 2) {
        return __builtin_shufflevector(from, from, 0, 1, 2, 3, 4, 5, 6, 7);
    } else {
        return __builtin_shufflevector(from, from, 8, 9, 10, 11, 12, 13, 14, 15);
    }
}

// Stores even and odd interleaved as 32 words, the first of even first.
TALVOR_ALWAYS_INLINE void StoreJoined(uint16_t* to, Words even, Words odd) {
    const Words first = Pairs<0>(even, odd);
    const Words second = Pairs<1>(even, odd);
    ForEachIndex<4>([&](auto run) __attribute__((always_inline)) {
        const RunWords words = RunOf<run>(first, second);
        std::memcpy(to + run * 8, &words, sizeof words);
    });
}

// Eight pairs of neighbouring words, each pair as one 32-bit lane, and eight floats.
typedef uint32_t LanePairs __attribute__((vector_size(sizeof(Words))));
typedef float Floats __attribute__((vector_size(sizeof(Words))));

// The pass's power in every lane, made once for a pass.
TALVOR_ALWAYS_INLINE Floats PowerLanes(float power) {
    return Floats{} + power;
}

// trunc(range x power) for sixteen ranges, the product in single precision. The words at even
// and at odd places are widened apart, each in its own 32-bit lane, and put back by a shift:
// no word crosses between the halves of the vector.
TALVOR_ALWAYS_INLINE Words Thresholds(Words range, Floats power) {
    LanePairs pairs;
    std::memcpy(&pairs, &range, sizeof pairs);
    constexpr uint32_t kWordMask = 0xFFFF;
    const vectors::Ints even = __builtin_convertvector(pairs & kWordMask, vectors::Ints);
    const vectors::Ints odd = __builtin_convertvector(pairs >> 16, vectors::Ints);
    const LanePairs evenThreshold = __builtin_convertvector(
        __builtin_convertvector(__builtin_convertvector(even, Floats) * power, vectors::Ints),
        LanePairs);
    const LanePairs oddThreshold = __builtin_convertvector(
        __builtin_convertvector(__builtin_convertvector(odd, Floats) * power, vectors::Ints),
        LanePairs);
    const LanePairs joined = evenThreshold | (oddThreshold << 16);
    Words thresholds;
    std::memcpy(&thresholds, &joined, sizeof thresholds);
    return thresholds;
}

// Whether the rule replaces sixteen pixels p with window median med, maximum hi and minimum lo
// by their medians: where the threshold trunc((hi - lo) x power), with lo capped and the product
// in single precision as MedianThreshold, is below |med - p|.
TALVOR_ALWAYS_INLINE WordMasks Replaced(Words med, Words hi, Words lo, Words p, Floats power) {
    lo = Min(lo, Broadcast(kMedianMinimumCap));
    const Words threshold = Thresholds(hi - lo, power);
    const Words distance = Max(med, p) - Min(med, p);
    return threshold < distance;
}

// What the rule leaves in the target: med where it replaces the pixel, the target's own word
// (kept) elsewhere.
TALVOR_ALWAYS_INLINE Words RuleResult(Words med, Words hi, Words lo, Words p, Words kept,
                                      Floats power) {
    return Replaced(med, hi, lo, p, power) ? med : kept;
}

}  // namespace talvor::median_blocks

#pragma GCC diagnostic pop
