#pragma once

// The conditional median of the 3 x 3 window, two rows of output at a time, sixteen windows side
// by side. (The larger windows share more between four windows, see median_quad_tiles.h; for
// this one, splitting the frame into planes costs more than it saves.) Everything here is
// inlined into the vector clones of the median pass.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/image_store.h"
#include "processing/median_blocks.h"
#include "processing/word_vectors.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

namespace talvor::median_row_pairs {

using median_blocks::ForEachIndex;
using median_blocks::LoadBlock;
using median_blocks::Merge;
using median_blocks::Ranks;
using median_blocks::RuleResult;
using median_blocks::Sort;
using median_blocks::StoreBlock;
using vectors::kLanes;
using vectors::LoadWords;
using vectors::Max;
using vectors::Min;
using vectors::StoreWords;
using vectors::Words;

// The windows of rows y and y + 1 share the Side - 1 source rows between them (the core of the
// tile); row y - f belongs to the upper window only and row y + f + 1 to the lower one only. The
// core's columns are sorted once per tile and merged across into the core block, Side columns wide
// and kept to the few ranks either window's median can take. Each window is then its own row of
// Side pixels, sorted, merged with the core block to the one rank. The tile works along a strip of
// window columns at a time, so that its intermediate rows stay in the first-level cache.
constexpr int kStripColumns = 256;
// An intermediate row of a strip: one word per column the strip's windows start at, and room
// for the blocks read to the right of the last window. Lanes past the frame's right edge read
// words past its last pixel (still inside the buffer) and their results are never stored.
constexpr int kStripWords = kStripColumns + 2 * kLanes;

// The blocks of the core and the order they are merged in, chosen by counting comparators and
// memory accesses of the alternatives.
template <int Side>
struct RowPairPlan;

// 3 x 3: columns of two; pairs; core = pair + column.
template <>
struct RowPairPlan<3> {
    static constexpr int kHeight = 2;
    using Column = Ranks<3, 2>;
    using Pair = Ranks<3, 4>;
    using Core = Ranks<3, 6>;
    static constexpr int kPairRow = Column::kWires;
    static constexpr int kBufferWires = kPairRow + Pair::kWires;

    TALVOR_ALWAYS_INLINE static void BuildBlocks(uint16_t* rows, int v) {
        Words left[Column::kWires];
        Words right[Column::kWires];
        Words pair[Pair::kWires];
        LoadBlock<Column, kStripWords>(left, rows, v);
        LoadBlock<Column, kStripWords>(right, rows, v + 1);
        Merge<Column, Column, Pair>(left, right, pair);
        StoreBlock<Pair, kStripWords>(rows + kPairRow * kStripWords, pair, v);
    }

    TALVOR_ALWAYS_INLINE static void LoadCore(const uint16_t* rows, int v, Words* core, Words& hi,
                                              Words& lo) {
        Words pair[Pair::kWires];
        Words column[Column::kWires];
        LoadBlock<Pair, kStripWords>(pair, rows + kPairRow * kStripWords, v);
        LoadBlock<Column, kStripWords>(column, rows, v + 2);
        static_assert(Pair::kWhole && Column::kWhole);
        hi = Max(pair[Pair::kWires - 1], column[kHeight - 1]);
        lo = Min(pair[0], column[0]);
        Merge<Pair, Column, Core>(pair, column, core);
    }
};

// Rows y .. y + Rows - 1 of the target (Rows is 2, or 1 for a last row left over), columns
// f..511-f.
template <int Side, int Rows>
TALVOR_ALWAYS_INLINE void MedianRowPair(const ImageBuffer& source, ImageBuffer& target, int y,
                                        median_blocks::Floats power, uint16_t* rows) {
    using Plan = RowPairPlan<Side>;
    using Core = typename Plan::Core;
    using Segment = Ranks<Side, Side>;
    constexpr int f = Side / 2;
    constexpr int kHeight = Plan::kHeight;
    // The first column of the last window.
    constexpr int kLastStart = kFrameColumns - Side;
    // Every strip holds at least one vector of windows.
    constexpr int kLastStripCount = (kLastStart + 1) % kStripColumns;
    static_assert(Segment::kWhole && (kLastStripCount == 0 || kLastStripCount >= kLanes));
    const auto rowAt = [&](int row) {
        return &source[static_cast<std::size_t>(row) * kFrameColumns];
    };
    const uint16_t* coreTop = rowAt(y - f + 1);
    for (int s = 0; s <= kLastStart; s += kStripColumns) {
        // The windows starting at s .. s + count - 1.
        const int count = std::min(kStripColumns, kLastStart + 1 - s);
        for (int v = 0; v < count + 2 * kLanes; v += kLanes) {
            Words column[kHeight];
            ForEachIndex<kHeight>([&](auto j) __attribute__((always_inline)) {
                column[j] = LoadWords(coreTop + j * kFrameColumns + s + v);
            });
            Sort<kHeight>(column);
            StoreBlock<typename Plan::Column, kStripWords>(rows, column, v);
        }
        for (int v = 0; v < count + kLanes; v += kLanes) {
            Plan::BuildBlocks(rows, v);
        }
        for (int v = 0; v < count; v += kLanes) {
            // The last vector ends at the strip's last window, going over some of the windows
            // before it again: they come out the same.
            const int at = std::min(v, count - kLanes);
            Words core[Core::kWires];
            Words coreHi;
            Words coreLo;
            Plan::LoadCore(rows, at, core, coreHi, coreLo);
            ForEachIndex<Rows>([&](auto r) __attribute__((always_inline)) {
                const uint16_t* own = rowAt(r == 0 ? y - f : y + f + 1) + s + at;
                Words segment[Side];
                ForEachIndex<Side>([&](auto c) __attribute__((always_inline)) {
                    segment[c] = LoadWords(own + c);
                });
                Sort<Side>(segment);
                Words med[1];
                Merge<Core, Segment, Ranks<Side, Side * Side>>(core, segment, med);
                const std::size_t centre =
                    static_cast<std::size_t>(y + r) * kFrameColumns + s + at + f;
                const Words result =
                    RuleResult(med[0], Max(coreHi, segment[Side - 1]), Min(coreLo, segment[0]),
                               LoadWords(&source[centre]), LoadWords(&target[centre]), power);
                StoreWords(&target[centre], result);
            });
        }
    }
}

template <int Side>
TALVOR_ALWAYS_INLINE void MedianRowPairs(const ImageBuffer& source, ImageBuffer& target,
                                         float power, int firstRow,
                                         const std::function<void()>& afterRow) {
    constexpr int f = Side / 2;
    constexpr int kLastRow = kFrameRows - 1 - f;
    const median_blocks::Floats powers = median_blocks::PowerLanes(power);
    std::vector<uint16_t> rows(static_cast<std::size_t>(RowPairPlan<Side>::kBufferWires) *
                               kStripWords);
    int y = std::max(firstRow, f);
    for (; y + 1 <= kLastRow; y += 2) {
        MedianRowPair<Side, 2>(source, target, y, powers, rows.data());
        afterRow();
        afterRow();
    }
    if (y == kLastRow) {
        MedianRowPair<Side, 1>(source, target, y, powers, rows.data());
        afterRow();
    }
}

}  // namespace talvor::median_row_pairs

#pragma GCC diagnostic pop
