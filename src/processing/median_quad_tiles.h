#pragma once

// The conditional median of the 5 x 5 and 7 x 7 windows, four windows at a time: those starting
// at columns x and x + 1 (x even) on rows y and y + 1. The four share a square of
// (Side - 1) x (Side - 1) pixels (the core); the two of a row add a row of Side - 1 pixels to it
// (the row's half), and each window then adds one column of Side pixels of its own. The core is
// kept to the ranks any of the four medians can take, the half to those of its two, so that the
// last merges are short. A window's own column is the core's sorted column beside it (the rows
// the two rows of windows share) and one pixel: the half merged with that column leaves the two
// middle ranks of all but that pixel, and the window's median is whichever of the three lies
// between the others. The columns at even and at odd places of the frame are held apart, so that
// sixteen tiles side by side (32 columns) sit in one vector and every block is computed once for
// the tiles that use it. Everything here is inlined into the vector clones of the median pass.
//
// Tiles of two rows by four windows were tried for the 7 x 7 window: the two cores then share
// their middle four columns, an eighth fewer comparators in all, but the four-column block stays
// live beside both cores and the buffers outgrow the first-level cache. Measured, that pass ran
// 5-20 % slower than this one.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "core/image_store.h"
#include "processing/median_blocks.h"
#include "processing/median_filter.h"
#include "processing/word_vectors.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

namespace talvor::median_quad_tiles {

using median_blocks::ForEachIndex;
using median_blocks::LoadBlock;
using median_blocks::Merge;
using median_blocks::Ranks;
using median_blocks::RuleResult;
using median_blocks::Sort;
using median_blocks::StoreBlock;
using median_blocks::StoreJoined;
using vectors::kLanes;
using vectors::LoadWords;
using vectors::Max;
using vectors::Min;
using vectors::Words;

// A row of the frame split in two planes: plane 0 holds the pixels of the even columns, plane 1
// those of the odd ones, each with room past its 256 words for lanes that run beyond the edge
// (they read zeros and their results are never stored).
constexpr int kPlaneWords = kFrameColumns / 2 + 4 * kLanes;

// The split rows live in a ring of kRingRows rows, enough for the Side + 1 rows two rows of
// windows reach: row r, plane p starts at (2 (r mod kRingRows) + p) x kPlaneWords. Kept this
// small, the planes stay in the first-level cache beside the intermediate rows.
constexpr int kRingRows = 8;
constexpr std::size_t kRingWords = std::size_t{2} * kRingRows * kPlaneWords;

TALVOR_ALWAYS_INLINE uint16_t* PlaneOf(uint16_t* ring, int row, int p) {
    return ring + static_cast<std::size_t>(2 * (row % kRingRows) + p) * kPlaneWords;
}

// Splits row r of the source into its place in the ring. The room past each plane's 256 words
// is never written here: the ring starts zeroed.
TALVOR_ALWAYS_INLINE void SplitRow(const ImageBuffer& source, int r, uint16_t* ring) {
    uint16_t* even = PlaneOf(ring, r, 0);
    uint16_t* odd = PlaneOf(ring, r, 1);
    const uint16_t* row = &source[static_cast<std::size_t>(r) * kFrameColumns];
    // Sixteen words at a time, sorted into their even and odd places within each half of the
    // vector (no word crosses between the halves), each run of eight stored in its plane.
    constexpr std::size_t kRun = sizeof(Words) / 2;
    for (int i = 0; i < kFrameColumns / 2; i += kLanes / 2) {
        const Words words = LoadWords(row + 2 * i);
        const Words apart = __builtin_shufflevector(words, words, 0, 2, 4, 6, 8, 10, 12, 14, 1, 3,
                                                    5, 7, 9, 11, 13, 15);
        const auto* bytes = reinterpret_cast<const unsigned char*>(&apart);
        std::memcpy(even + i, bytes, kRun);
        std::memcpy(odd + i, bytes + kRun, kRun);
    }
}

// The tiles are worked along strips of kStripTiles at a time, which covers a whole row: the
// intermediate rows (at most 24 rows of 288 words) still fit the first-level cache, and the
// columns sorted past a strip's end are sorted once. An intermediate row holds one word per tile
// of the strip, with room for the blocks read to the right of the last tile.
constexpr int kStripTiles = 256;
constexpr int kStripWords = kStripTiles + 2 * kLanes;

// The strip's rows hold the sorted columns at even places, then those at odd places, then the
// blocks. Both larger windows merge pairs of columns starting at odd places, 2t + 1 and 2t + 2.
template <typename Column, typename Pair, int PairRow>
TALVOR_ALWAYS_INLINE void BuildOddPairs(uint16_t* rows, int v) {
    Words odd[Column::kWires];
    Words nextEven[Column::kWires];
    Words pair[Pair::kWires];
    LoadBlock<Column, kStripWords>(odd, rows + Column::kWires * kStripWords, v);
    LoadBlock<Column, kStripWords>(nextEven, rows, v + 1);
    Merge<Column, Column, Pair>(odd, nextEven, pair);
    StoreBlock<Pair, kStripWords>(rows + PairRow * kStripWords, pair, v);
}

// The core's columns (Side - 1 pixels of the rows the four windows share) at even and at odd
// columns, and the blocks the core is merged from.
template <int Side>
struct QuadPlan;

// 5 x 5: the core is the pair of columns at the odd column 2t + 1 and the one at 2t + 3.
template <>
struct QuadPlan<5> {
    static constexpr int kHeight = 4;
    using Column = Ranks<5, 4>;
    using Pair = Ranks<5, 8>;
    using Core = Ranks<5, 16>;
    static constexpr int kPairRow = 2 * Column::kWires;
    static constexpr int kBufferWires = kPairRow + Pair::kWires;

    TALVOR_ALWAYS_INLINE static void BuildBlocks(uint16_t* rows, int v) {
        BuildOddPairs<Column, Pair, kPairRow>(rows, v);
    }

    TALVOR_ALWAYS_INLINE static void LoadCore(const uint16_t* rows, int v, Words* core, Words& hi,
                                              Words& lo) {
        Words left[Pair::kWires];
        Words right[Pair::kWires];
        LoadBlock<Pair, kStripWords>(left, rows + kPairRow * kStripWords, v);
        LoadBlock<Pair, kStripWords>(right, rows + kPairRow * kStripWords, v + 1);
        static_assert(Pair::kWhole);
        hi = Max(left[Pair::kWires - 1], right[Pair::kWires - 1]);
        lo = Min(left[0], right[0]);
        Merge<Pair, Pair, Core>(left, right, core);
    }
};

// 7 x 7: the core is the three pairs of columns at the odd columns 2t + 1, 2t + 3 and 2t + 5.
template <>
struct QuadPlan<7> {
    static constexpr int kHeight = 6;
    using Column = Ranks<7, 6>;
    using Pair = Ranks<7, 12>;
    using Four = Ranks<7, 24>;
    using Core = Ranks<7, 36>;
    static constexpr int kPairRow = 2 * Column::kWires;
    static constexpr int kBufferWires = kPairRow + Pair::kWires;

    TALVOR_ALWAYS_INLINE static void BuildBlocks(uint16_t* rows, int v) {
        BuildOddPairs<Column, Pair, kPairRow>(rows, v);
    }

    TALVOR_ALWAYS_INLINE static void LoadCore(const uint16_t* rows, int v, Words* core, Words& hi,
                                              Words& lo) {
        Words first[Pair::kWires];
        Words second[Pair::kWires];
        Words third[Pair::kWires];
        Words four[Four::kWires];
        LoadBlock<Pair, kStripWords>(first, rows + kPairRow * kStripWords, v);
        LoadBlock<Pair, kStripWords>(second, rows + kPairRow * kStripWords, v + 1);
        LoadBlock<Pair, kStripWords>(third, rows + kPairRow * kStripWords, v + 2);
        static_assert(Pair::kWhole && Four::kWhole);
        Merge<Pair, Pair, Four>(first, second, four);
        hi = Max(four[Four::kWires - 1], third[Pair::kWires - 1]);
        lo = Min(four[0], third[0]);
        Merge<Four, Pair, Core>(four, third, core);
    }
};

// Rows y .. y + Rows - 1 of the frame (Rows is 2, or 1 for a last row left over), columns
// f..511-f, from the unfiltered rows in the ring.
template <int Side, int Rows>
TALVOR_ALWAYS_INLINE void MedianQuads(ImageBuffer& frame, uint16_t* ring, int y,
                                      median_blocks::Floats power, uint16_t* rows) {
    using Plan = QuadPlan<Side>;
    using Column = typename Plan::Column;
    using Core = typename Plan::Core;
    using Segment = Ranks<Side, Side - 1>;
    using Half = Ranks<Side, Side*(Side - 1)>;
    using AllButOne = Ranks<Side, Side * Side - 1>;
    static_assert(AllButOne::kWires == 2);
    constexpr int f = Side / 2;
    constexpr int kHeight = Plan::kHeight;
    // Window columns 0 .. 512 - Side, two to a tile.
    constexpr int kTiles = (kFrameColumns - Side + 1) / 2;
    constexpr int kLastStripTiles = kTiles % kStripTiles;
    static_assert(Column::kWhole && Segment::kWhole);
    static_assert((kFrameColumns - Side + 1) % 2 == 0 &&
                  (kLastStripTiles == 0 || kLastStripTiles >= kLanes));
    const auto plane = [&](int row, int p) { return PlaneOf(ring, row, p); };
    uint16_t* evenColumns = rows;
    uint16_t* oddColumns = rows + Column::kWires * kStripWords;
    for (int s = 0; s < kTiles; s += kStripTiles) {
        // Tiles s .. s + count - 1; tile t holds the windows starting at columns 2t and 2t + 1.
        const int count = std::min(kStripTiles, kTiles - s);
        for (int v = 0; v < count + 2 * kLanes; v += kLanes) {
            ForEachIndex<2>([&](auto p) __attribute__((always_inline)) {
                Words column[kHeight];
                ForEachIndex<kHeight>([&](auto j) __attribute__((always_inline)) {
                    column[j] = LoadWords(plane(y - f + 1 + j, p) + s + v);
                });
                Sort<kHeight>(column);
                StoreBlock<Column, kStripWords>(p == 0 ? evenColumns : oddColumns, column, v);
            });
        }
        for (int v = 0; v < count + kLanes; v += kLanes) {
            Plan::BuildBlocks(rows, v);
        }
        for (int v = 0; v < count; v += kLanes) {
            // The last vector ends at the strip's last tile, going over some of the tiles before
            // it again: they come out the same.
            const int at = std::min(v, count - kLanes);
            const int t = s + at;
            Words core[Core::kWires];
            Words coreHi;
            Words coreLo;
            Plan::LoadCore(rows, at, core, coreHi, coreLo);
            ForEachIndex<Rows>([&](auto r) __attribute__((always_inline)) {
                const int own = r == 0 ? y - f : y + f + 1;
                // The row's pixels at columns 2t + 1 .. 2t + Side - 1, sorted, and the half.
                Words segment[Side - 1];
                ForEachIndex<Side - 1>([&](auto k) __attribute__((always_inline)) {
                    constexpr int kColumn = k + 1;
                    segment[k] = LoadWords(plane(own, kColumn % 2) + t + kColumn / 2);
                });
                Sort<Side - 1>(segment);
                Words half[Half::kWires];
                Merge<Core, Segment, Half>(core, segment, half);
                const Words halfHi = Max(coreHi, segment[Side - 2]);
                const Words halfLo = Min(coreLo, segment[0]);
                // The left window's own column is 2t, the right one's 2t + Side (odd).
                Words med[2];
                Words hi[2];
                Words lo[2];
                ForEachIndex<2>([&](auto side) __attribute__((always_inline)) {
                    constexpr int kOffset = side == 0 ? 0 : f;
                    Words column[Column::kWires];
                    LoadBlock<Column, kStripWords>(column, side == 0 ? evenColumns : oddColumns,
                                                   at + kOffset);
                    const Words pixel = LoadWords(plane(own, side) + t + kOffset);
                    Words two[AllButOne::kWires];
                    Merge<Half, Column, AllButOne>(half, column, two);
                    med[side] = Max(two[0], Min(two[1], pixel));
                    hi[side] = Max(Max(halfHi, column[Column::kWires - 1]), pixel);
                    lo[side] = Min(Min(halfLo, column[0]), pixel);
                });
                // Window centres 2t + f (left) and 2t + 1 + f (right), side by side.
                const std::size_t centre =
                    static_cast<std::size_t>(y + r) * kFrameColumns + 2 * t + f;
                // The unfiltered pixels there are in the planes; one the rule leaves alone is
                // written back as it was.
                const Words pLeft = LoadWords(plane(y + r, f % 2) + t + f / 2);
                const Words pRight = LoadWords(plane(y + r, (f + 1) % 2) + t + (f + 1) / 2);
                StoreJoined(&frame[centre], RuleResult(med[0], hi[0], lo[0], pLeft, pLeft, power),
                            RuleResult(med[1], hi[1], lo[1], pRight, pRight, power));
            });
        }
    }
}

// The pass over rows firstRow..289-f of the frame, in place, two rows at a time.
template <int Side>
TALVOR_ALWAYS_INLINE void MedianQuadRows(ImageBuffer& frame, float power, int firstRow,
                                         const std::function<void()>& afterRow) {
    constexpr int f = Side / 2;
    constexpr int kLastRow = kFrameRows - 1 - f;
    int y = std::max(firstRow, f);
    if (y > kLastRow) {
        return;
    }
    // The ring starts zeroed, for the room past each plane; rows are split into it as the
    // windows come to reach them. Row y + 1 + f is split before rows y and y + 1 are written,
    // and the frame is read nowhere else, so every window sees the unfiltered pixels.
    std::vector<uint16_t> ring(kRingWords);
    int split = y - f;
    const auto splitThrough = [&](int last) {
        for (; split <= last; ++split) {
            SplitRow(frame, split, ring.data());
        }
    };
    static_assert(kRingRows >= Side + 1);
    const median_blocks::Floats powers = median_blocks::PowerLanes(power);
    std::vector<uint16_t> rows(static_cast<std::size_t>(QuadPlan<Side>::kBufferWires) *
                               kStripWords);
    for (; y + 1 <= kLastRow; y += 2) {
        splitThrough(y + 1 + f);
        MedianQuads<Side, 2>(frame, ring.data(), y, powers, rows.data());
        afterRow();
        afterRow();
    }
    if (y == kLastRow) {
        splitThrough(y + f);
        MedianQuads<Side, 1>(frame, ring.data(), y, powers, rows.data());
        afterRow();
    }
}

}  // namespace talvor::median_quad_tiles

#pragma GCC diagnostic pop
