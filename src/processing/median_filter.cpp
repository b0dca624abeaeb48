#include "processing/median_filter.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "processing/median_blocks.h"
#include "processing/word_vectors.h"

// Vectors pass between functions here only where those functions are inlined (see
// word_vectors.h), so the calling-convention warning does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace talvor {
namespace {

using median_blocks::ForEachIndex;
using median_blocks::LoadBlock;
using median_blocks::Merge;
using median_blocks::Ranks;
using median_blocks::Sort;
using median_blocks::StoreBlock;
using vectors::Broadcast;
using vectors::kLanes;
using vectors::LoadWords;
using vectors::Max;
using vectors::Min;
using vectors::StoreWords;
using vectors::WideFloats;
using vectors::WideInts;
using vectors::Words;

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

// The median of every window is selected by comparator networks working on sixteen windows side
// by side, two rows of output at a time, sharing the work between windows that overlap. The
// windows of rows y and y + 1 share the Side - 1 source rows between them (the core of the tile);
// row y - f belongs to the upper window only and row y + f + 1 to the lower one only. The core's
// columns are sorted once per tile and merged across into the core block, Side columns wide and
// kept to the few ranks either window's median can take. Each window is then its own row of Side
// pixels, sorted, merged with the core block to the one rank. The tile works along a strip of
// window columns at a time, so that its intermediate rows stay in the first-level cache.
constexpr int kStripColumns = 256;
// An intermediate row of a strip: one word per column the strip's windows start at, and room
// for the blocks read to the right of the last window. Lanes past the frame's right edge read
// words past its last pixel (still inside the buffer) and their results are never stored.
constexpr int kStripWords = kStripColumns + 2 * kLanes;

// The blocks of the core and the order they are merged in, chosen by counting comparators and
// memory accesses of the alternatives.
template <int Side>
struct TilePlan;

// 3 x 3: columns of two; pairs; core = pair + column.
template <>
struct TilePlan<3> {
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

// 5 x 5: columns of four; pairs; core = pair + pair + column.
template <>
struct TilePlan<5> {
    static constexpr int kHeight = 4;
    using Column = Ranks<5, 4>;
    using Pair = Ranks<5, 8>;
    using Four = Ranks<5, 16>;
    using Core = Ranks<5, 20>;
    static constexpr int kPairRow = Column::kWires;
    static constexpr int kBufferWires = kPairRow + Pair::kWires;

    // The pairs starting at v.
    TALVOR_ALWAYS_INLINE static void BuildBlocks(uint16_t* rows, int v) {
        Words left[Column::kWires];
        Words right[Column::kWires];
        Words pair[Pair::kWires];
        LoadBlock<Column, kStripWords>(left, rows, v);
        LoadBlock<Column, kStripWords>(right, rows, v + 1);
        Merge<Column, Column, Pair>(left, right, pair);
        StoreBlock<Pair, kStripWords>(rows + kPairRow * kStripWords, pair, v);
    }

    // The core block of the windows starting at v, and its largest and smallest pixel.
    TALVOR_ALWAYS_INLINE static void LoadCore(const uint16_t* rows, int v, Words* core, Words& hi,
                                              Words& lo) {
        Words left[Pair::kWires];
        Words right[Pair::kWires];
        Words column[Column::kWires];
        Words four[Four::kWires];
        LoadBlock<Pair, kStripWords>(left, rows + kPairRow * kStripWords, v);
        LoadBlock<Pair, kStripWords>(right, rows + kPairRow * kStripWords, v + 2);
        LoadBlock<Column, kStripWords>(column, rows, v + 4);
        Merge<Pair, Pair, Four>(left, right, four);
        Merge<Four, Column, Core>(four, column, core);
        static_assert(Pair::kWhole && Column::kWhole);
        hi = Max(Max(left[Pair::kWires - 1], right[Pair::kWires - 1]), column[kHeight - 1]);
        lo = Min(Min(left[0], right[0]), column[0]);
    }
};

// 7 x 7: columns of six; threes = column + (column + column); core = three + three + column.
template <>
struct TilePlan<7> {
    static constexpr int kHeight = 6;
    using Column = Ranks<7, 6>;
    using Pair = Ranks<7, 12>;
    using Three = Ranks<7, 18>;
    using Six = Ranks<7, 36>;
    using Core = Ranks<7, 42>;
    static constexpr int kThreeRow = Column::kWires;
    static constexpr int kBufferWires = kThreeRow + Three::kWires;

    // The threes starting at v; their pairs are used at one place only and stay in registers.
    TALVOR_ALWAYS_INLINE static void BuildBlocks(uint16_t* rows, int v) {
        Words first[Column::kWires];
        Words second[Column::kWires];
        Words third[Column::kWires];
        Words pair[Pair::kWires];
        Words three[Three::kWires];
        LoadBlock<Column, kStripWords>(first, rows, v);
        LoadBlock<Column, kStripWords>(second, rows, v + 1);
        LoadBlock<Column, kStripWords>(third, rows, v + 2);
        Merge<Column, Column, Pair>(second, third, pair);
        Merge<Column, Pair, Three>(first, pair, three);
        StoreBlock<Three, kStripWords>(rows + kThreeRow * kStripWords, three, v);
    }

    TALVOR_ALWAYS_INLINE static void LoadCore(const uint16_t* rows, int v, Words* core, Words& hi,
                                              Words& lo) {
        Words left[Three::kWires];
        Words right[Three::kWires];
        Words column[Column::kWires];
        Words six[Six::kWires];
        LoadBlock<Three, kStripWords>(left, rows + kThreeRow * kStripWords, v);
        LoadBlock<Three, kStripWords>(right, rows + kThreeRow * kStripWords, v + 3);
        LoadBlock<Column, kStripWords>(column, rows, v + 6);
        static_assert(Three::kWhole && Column::kWhole);
        hi = Max(Max(left[Three::kWires - 1], right[Three::kWires - 1]), column[kHeight - 1]);
        lo = Min(Min(left[0], right[0]), column[0]);
        Merge<Three, Three, Six>(left, right, six);
        Merge<Six, Column, Core>(six, column, core);
    }
};

// Rows y .. y + Rows - 1 of the target (Rows is 2, or 1 for a last row left over), columns
// f..511-f.
template <int Side, int Rows>
TALVOR_ALWAYS_INLINE void MedianTile(const ImageBuffer& source, ImageBuffer& target, int y,
                                     float power, uint16_t* rows) {
    using Plan = TilePlan<Side>;
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
TALVOR_ALWAYS_INLINE void MedianTiles(const ImageBuffer& source, ImageBuffer& target, float power,
                                      int firstRow, const std::function<void()>& afterRow) {
    constexpr int f = Side / 2;
    constexpr int kLastRow = kFrameRows - 1 - f;
    std::vector<uint16_t> rows(static_cast<std::size_t>(TilePlan<Side>::kBufferWires) *
                               kStripWords);
    int y = std::max(firstRow, f);
    for (; y + 1 <= kLastRow; y += 2) {
        MedianTile<Side, 2>(source, target, y, power, rows.data());
        afterRow();
        afterRow();
    }
    if (y == kLastRow) {
        MedianTile<Side, 1>(source, target, y, power, rows.data());
        afterRow();
    }
}

TALVOR_VECTOR_CLONES
void MedianRows3(const ImageBuffer& source, ImageBuffer& target, float power, int firstRow,
                 const std::function<void()>& afterRow) {
    MedianTiles<3>(source, target, power, firstRow, afterRow);
}

TALVOR_VECTOR_CLONES
void MedianRows5(const ImageBuffer& source, ImageBuffer& target, float power, int firstRow,
                 const std::function<void()>& afterRow) {
    MedianTiles<5>(source, target, power, firstRow, afterRow);
}

TALVOR_VECTOR_CLONES
void MedianRows7(const ImageBuffer& source, ImageBuffer& target, float power, int firstRow,
                 const std::function<void()>& afterRow) {
    MedianTiles<7>(source, target, power, firstRow, afterRow);
}

}  // namespace

float MedianPower(int tenths) {
    return static_cast<float>(tenths * 0.1);
}

int MedianThreshold(int hi, int lo, float power) {
    const float product = static_cast<float>(hi - lo) * power;
    return static_cast<int>(product);
}

void MedianPass(const ImageBuffer& source, ImageBuffer& target, int radius, int tenths,
                int firstRow, const std::function<void()>& afterRow) {
    const float power = MedianPower(tenths);
    switch (std::clamp(radius, kMinMedianRadius, kMaxMedianRadius)) {
        case 1:
            MedianRows3(source, target, power, firstRow, afterRow);
            return;
        case 2:
            MedianRows5(source, target, power, firstRow, afterRow);
            return;
        default:
            MedianRows7(source, target, power, firstRow, afterRow);
            return;
    }
}

}  // namespace talvor
