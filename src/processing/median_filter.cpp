#include "processing/median_filter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "processing/merge_networks.h"
#include "processing/word_vectors.h"

// Vectors pass between functions here only where those functions are inlined (see
// word_vectors.h), so the calling-convention warning does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace talvor {
namespace {

using vectors::Broadcast;
using vectors::kLanes;
using vectors::LoadWords;
using vectors::Max;
using vectors::Min;
using vectors::StoreWords;
using vectors::WideFloats;
using vectors::WideInts;
using vectors::Words;

// The median of every window is selected by comparator networks working on sixteen windows side
// by side, and the work is shared between windows that overlap:
//  - each column of the window (2f + 1 pixels of the source) is sorted once per row of output;
//  - sorted columns are merged into sorted blocks of neighbouring columns, each block computed
//    once for every column it can start at and read back at the offsets where windows use it;
//  - a block keeps only the ranks that can still be the median of a window holding it: with s
//    of the window's n pixels in the block, the median (rank n / 2 of the window) lies between
//    ranks n / 2 - (n - s) and n / 2 of the block.
// An intermediate row holds one word per starting column, with room past the frame's width for
// the lanes that run beyond it; those lanes hold meaningless values and are never stored.
constexpr int kRowWords = kFrameColumns + 4 * kLanes;

// Calls f(std::integral_constant<int, i>) for i = 0..N-1, unrolled.
template <int N, typename F>
TALVOR_ALWAYS_INLINE void ForEachIndex(F&& f) {
    [&]<int... I>(std::integer_sequence<int, I...>) __attribute__((always_inline)) {
        (f(std::integral_constant<int, I>{}), ...);
    }
    (std::make_integer_sequence<int, N>{});
}

// A block of Width sorted columns of the window's height, kept between the ranks the median of
// a Side x Side window can have.
template <int Side, int Width>
struct Block {
    static constexpr int kSize = Side * Width;
    static constexpr int kMedian = Side * Side / 2;
    static constexpr int kFirst = kMedian - (Side * Side - kSize) > 0
                                      ? kMedian - (Side * Side - kSize)
                                      : 0;
    static constexpr int kLast = kSize - 1 < kMedian ? kSize - 1 : kMedian;
    static constexpr int kWires = kLast - kFirst + 1;
};

// The merge of two blocks into a wider one, kept to the wider block's ranks.
template <typename Left, typename Right, typename Result>
struct BlockMerge {
    static constexpr Network kNetwork =
        MergeNetwork(Left::kWires, Right::kWires, Result::kFirst - Left::kFirst - Right::kFirst,
                     Result::kLast - Left::kFirst - Right::kFirst);
    static_assert(kNetwork.kept.count == Result::kWires);
};

// The rows of a block for every starting column: wire w at column x is rows[w * kRowWords + x].
template <typename B>
TALVOR_ALWAYS_INLINE void LoadBlock(Words* into, const uint16_t* rows, int x) {
    ForEachIndex<B::kWires>([&](auto w) __attribute__((always_inline)) {
        into[w] = LoadWords(rows + w * kRowWords + x);
    });
}

template <const Network& network, int Count>
TALVOR_ALWAYS_INLINE void StoreKept(uint16_t* rows, const Words* wires, int x) {
    ForEachIndex<Count>([&](auto w) __attribute__((always_inline)) {
        StoreWords(rows + w * kRowWords + x, wires[network.kept.wires[w]]);
    });
}

// Result at every starting column x = the merge of Left at x and Right at x + offset.
template <typename Left, typename Right, typename Result, int Offset>
TALVOR_ALWAYS_INLINE void MergeBlocks(const uint16_t* left, const uint16_t* right,
                                      uint16_t* result) {
    static constexpr const Network& network = BlockMerge<Left, Right, Result>::kNetwork;
    for (int x = 0; x < kFrameColumns; x += kLanes) {
        Words wires[Left::kWires + Right::kWires];
        LoadBlock<Left>(wires, left, x);
        LoadBlock<Right>(wires + Left::kWires, right, x + Offset);
        RunNetwork<network>(wires);
        StoreKept<network, Result::kWires>(result, wires, x);
    }
}

// The blocks of one window size and the order they are merged in, chosen by counting the
// comparators of the alternatives:
//   3 x 3: columns; pairs of columns; window = column + pair.
//   5 x 5: columns; pairs; fours = pair + pair; window = column + four.
//   7 x 7: columns; pairs; threes = column + pair; sixes = three + three; window = column + six.
template <int Side>
struct MedianPlan;

template <>
struct MedianPlan<3> {
    using Column = Block<3, 1>;
    using Pair = Block<3, 2>;
    using Rest = Pair;
    static constexpr int kBlockWires = Column::kWires + Pair::kWires;
    static constexpr int kRestRow = Column::kWires;
    // The widest block that keeps every rank, for the window's extremes.
    using Whole = Column;
    static constexpr int kWholeRow = 0;
    TALVOR_ALWAYS_INLINE static void MergeColumns(uint16_t* rows) {
        MergeBlocks<Column, Column, Pair, 1>(rows, rows, rows + kRestRow * kRowWords);
    }
};

template <>
struct MedianPlan<5> {
    using Column = Block<5, 1>;
    using Pair = Block<5, 2>;
    using Four = Block<5, 4>;
    using Rest = Four;
    using Whole = Pair;
    static constexpr int kPairRow = Column::kWires;
    static constexpr int kWholeRow = kPairRow;
    static constexpr int kRestRow = kPairRow + Pair::kWires;
    static constexpr int kBlockWires = kRestRow + Four::kWires;
    TALVOR_ALWAYS_INLINE static void MergeColumns(uint16_t* rows) {
        uint16_t* pairs = rows + kPairRow * kRowWords;
        MergeBlocks<Column, Column, Pair, 1>(rows, rows, pairs);
        MergeBlocks<Pair, Pair, Four, 2>(pairs, pairs, rows + kRestRow * kRowWords);
    }
};

template <>
struct MedianPlan<7> {
    using Column = Block<7, 1>;
    using Pair = Block<7, 2>;
    using Three = Block<7, 3>;
    using Six = Block<7, 6>;
    using Rest = Six;
    using Whole = Three;
    static constexpr int kPairRow = Column::kWires;
    static constexpr int kThreeRow = kPairRow + Pair::kWires;
    static constexpr int kWholeRow = kThreeRow;
    static constexpr int kRestRow = kThreeRow + Three::kWires;
    static constexpr int kBlockWires = kRestRow + Six::kWires;
    TALVOR_ALWAYS_INLINE static void MergeColumns(uint16_t* rows) {
        uint16_t* pairs = rows + kPairRow * kRowWords;
        uint16_t* threes = rows + kThreeRow * kRowWords;
        MergeBlocks<Column, Column, Pair, 1>(rows, rows, pairs);
        MergeBlocks<Column, Pair, Three, 1>(rows, pairs, threes);
        MergeBlocks<Three, Three, Six, 3>(threes, threes, rows + kRestRow * kRowWords);
    }
};

// Sorts the columns of the window rows top..top + Side - 1 at every x into the first Side rows.
template <int Side>
TALVOR_ALWAYS_INLINE void SortColumns(const ImageBuffer& source, int top, uint16_t* rows) {
    static constexpr Network kSort = SortNetwork(Side, 0, Side - 1);
    const uint16_t* first = &source[static_cast<std::size_t>(top) * kFrameColumns];
    for (int x = 0; x < kFrameColumns; x += kLanes) {
        Words wires[Side];
        ForEachIndex<Side>([&](auto j) __attribute__((always_inline)) {
            wires[j] = LoadWords(first + j * kFrameColumns + x);
        });
        RunNetwork<kSort>(wires);
        StoreKept<kSort, Side>(rows, wires, x);
    }
}

// The median of the windows starting at x: the column at x merged with the rest at x + 1, kept
// to the one rank.
template <int Side>
TALVOR_ALWAYS_INLINE Words WindowMedian(const uint16_t* rows, int x) {
    using Plan = MedianPlan<Side>;
    using Column = typename Plan::Column;
    using Rest = typename Plan::Rest;
    static constexpr const Network& network = BlockMerge<Column, Rest, Block<Side, Side>>::kNetwork;
    Words wires[Column::kWires + Rest::kWires];
    LoadBlock<Column>(wires, rows, x);
    LoadBlock<Rest>(wires + Column::kWires, rows + Plan::kRestRow * kRowWords, x + 1);
    RunNetwork<network>(wires);
    return wires[network.kept.wires[0]];
}

// The largest and smallest pixel of the windows starting at x: the top and bottom ranks of the
// widest block that keeps every rank, side by side across the window, and of single columns
// for the rest.
template <int Side>
TALVOR_ALWAYS_INLINE void WindowExtremes(const uint16_t* rows, int x, Words& highest,
                                         Words& lowest) {
    using Plan = MedianPlan<Side>;
    using Whole = typename Plan::Whole;
    constexpr int kWidth = Whole::kSize / Side;
    static_assert(Whole::kFirst == 0 && Whole::kWires == Whole::kSize);
    const uint16_t* top = rows + (Plan::kWholeRow + Whole::kWires - 1) * kRowWords + x;
    const uint16_t* bottom = rows + Plan::kWholeRow * kRowWords + x;
    highest = LoadWords(top);
    lowest = LoadWords(bottom);
    ForEachIndex<Side / kWidth - 1>([&](auto b) __attribute__((always_inline)) {
        highest = Max(highest, LoadWords(top + (b + 1) * kWidth));
        lowest = Min(lowest, LoadWords(bottom + (b + 1) * kWidth));
    });
    const uint16_t* columnTop = rows + (Side - 1) * kRowWords + x;
    const uint16_t* columnBottom = rows + x;
    ForEachIndex<Side % kWidth>([&](auto c) __attribute__((always_inline)) {
        constexpr int kColumn = Side - Side % kWidth + c;
        highest = Max(highest, LoadWords(columnTop + kColumn));
        lowest = Min(lowest, LoadWords(columnBottom + kColumn));
    });
}

// Row y of the target, columns f..511-f.
template <int Side>
TALVOR_ALWAYS_INLINE void MedianRow(const ImageBuffer& source, ImageBuffer& target, int y,
                                    float power, uint16_t* rows, uint16_t* result) {
    constexpr int f = Side / 2;
    SortColumns<Side>(source, y - f, rows);
    MedianPlan<Side>::MergeColumns(rows);
    const uint16_t* in = &source[static_cast<std::size_t>(y) * kFrameColumns];
    uint16_t* out = &target[static_cast<std::size_t>(y) * kFrameColumns];
    const Words cap = Broadcast(kMedianMinimumCap);
    // x is the first column of the windows; their centres are x + f.
    for (int x = 0; x <= kFrameColumns - Side; x += kLanes) {
        const Words med = WindowMedian<Side>(rows, x);
        Words hi;
        Words lo;
        WindowExtremes<Side>(rows, x, hi, lo);
        lo = Min(lo, cap);
        const Words p = LoadWords(in + x + f);
        const Words kept = LoadWords(out + x + f);
        // trunc((hi - lo) x power) with the product in single precision, as MedianThreshold.
        const WideFloats range =
            __builtin_convertvector(__builtin_convertvector(hi - lo, WideInts), WideFloats);
        const Words threshold =
            __builtin_convertvector(__builtin_convertvector(range * power, WideInts), Words);
        const Words distance = Max(med, p) - Min(med, p);
        StoreWords(result + x, threshold < distance ? med : kept);
    }
    std::memcpy(out + f, result, sizeof(uint16_t) * (kFrameColumns - 2 * f));
}

template <int Side>
TALVOR_ALWAYS_INLINE void MedianRows(const ImageBuffer& source, ImageBuffer& target, float power,
                                     int firstRow, const std::function<void()>& afterRow) {
    std::vector<uint16_t> rows(static_cast<std::size_t>(MedianPlan<Side>::kBlockWires) * kRowWords);
    std::vector<uint16_t> result(kRowWords);
    for (int y = firstRow; y <= kFrameRows - 1 - Side / 2; ++y) {
        MedianRow<Side>(source, target, y, power, rows.data(), result.data());
        afterRow();
    }
}

TALVOR_VECTOR_CLONES
void MedianRows3(const ImageBuffer& source, ImageBuffer& target, float power, int firstRow,
                 const std::function<void()>& afterRow) {
    MedianRows<3>(source, target, power, firstRow, afterRow);
}

TALVOR_VECTOR_CLONES
void MedianRows5(const ImageBuffer& source, ImageBuffer& target, float power, int firstRow,
                 const std::function<void()>& afterRow) {
    MedianRows<5>(source, target, power, firstRow, afterRow);
}

TALVOR_VECTOR_CLONES
void MedianRows7(const ImageBuffer& source, ImageBuffer& target, float power, int firstRow,
                 const std::function<void()>& afterRow) {
    MedianRows<7>(source, target, power, firstRow, afterRow);
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
