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
using vectors::WideFloats;
using vectors::WideInts;
using vectors::Words;

// Sixteen pairs of neighbouring words, each pair as one 32-bit lane (the first word low).
typedef uint32_t WordPairs __attribute__((vector_size(4 * kLanes)));

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

// The 32 words at from, those at even places and those at odd places.
TALVOR_ALWAYS_INLINE void LoadSplit(const uint16_t* from, Words& even, Words& odd) {
    WordPairs pairs;
    std::memcpy(&pairs, from, sizeof pairs);
    even = __builtin_convertvector(pairs & 0xFFFF, Words);
    odd = __builtin_convertvector(pairs >> 16, Words);
}

// Stores even and odd interleaved as 32 words, the first of even first.
TALVOR_ALWAYS_INLINE void StoreJoined(uint16_t* to, Words even, Words odd) {
    const WordPairs pairs =
        __builtin_convertvector(even, WordPairs) | (__builtin_convertvector(odd, WordPairs) << 16);
    std::memcpy(to, &pairs, sizeof pairs);
}

// What the rule leaves in the target for sixteen pixels p with window median med, maximum hi and
// minimum lo: med where the threshold trunc((hi - lo) x power), with lo capped and the product
// in single precision as MedianThreshold, is below |med - p|, the target's own word elsewhere.
TALVOR_ALWAYS_INLINE Words RuleResult(Words med, Words hi, Words lo, Words p, Words kept,
                                      float power) {
    lo = Min(lo, Broadcast(kMedianMinimumCap));
    const WideFloats range =
        __builtin_convertvector(__builtin_convertvector(hi - lo, WideInts), WideFloats);
    const Words threshold =
        __builtin_convertvector(__builtin_convertvector(range * power, WideInts), Words);
    const Words distance = Max(med, p) - Min(med, p);
    return threshold < distance ? med : kept;
}

}  // namespace talvor::median_blocks

#pragma GCC diagnostic pop
