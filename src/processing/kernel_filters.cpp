#include "processing/kernel_filters.h"

#include "processing/word_vectors.h"

// Vectors pass between functions here only where those functions are inlined (see
// word_vectors.h), so the calling-convention warning does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace talvor {
namespace {

using vectors::Ints;
using vectors::kWideLanes;
using vectors::LoadInts;
using vectors::StoreInts;

// clang-format off
constexpr std::array<KernelCoefficients, 6> kKernels = {{
    // A: weighted mean, 3 x 3.
    {1, 2, 1,
     2, 4, 2,
     1, 2, 1},
    // B: Gaussian, 5 x 5.
    {0, 1, 2, 1, 0,
     1, 4, 8, 4, 1,
     2, 8, 16, 8, 2,
     1, 4, 8, 4, 1,
     0, 1, 2, 1, 0},
    // C: high pass, low power, 3 x 3.
    {0, -1, 0,
     -1, 5, -1,
     0, -1, 0},
    // D: high pass, high power, 5 x 5.
    {-1, -1, -1, -1, -1,
     -1, -1, -1, -1, -1,
     -1, -1, 25, -1, -1,
     -1, -1, -1, -1, -1,
     -1, -1, -1, -1, -1},
    // E: smoother / sharper, 5 x 5.
    {0, -1, -1, -1, 0,
     -1, 1, 1, 1, -1,
     -1, 1, 5, 1, -1,
     -1, 1, 1, 1, -1,
     0, -1, -1, -1, 0},
    // F: bas relief, 5 x 5.
    {0, 0, -1, 0, 0,
     0, -1, -1, -1, 0,
     -1, -1, 1, 1, 1,
     0, 1, 1, 1, 0,
     0, 0, 1, 0, 0},
}};
// clang-format on

constexpr int32_t kClampAbove = 65280;

// The window sums of the menu's kernels, eight columns at a time. The sums are whole numbers
// well inside 32 bits, so regrouping the terms (rows added before they are weighted, runs of
// equal weights summed once) gives the same sums as the table, coefficient by coefficient.
// Intermediate rows hold one sum per column, with room for the lanes past the frame's width.
constexpr int kRowWords = kFrameColumns + 4 * kWideLanes;

TALVOR_ALWAYS_INLINE Ints At(const uint16_t* words) {
    return vectors::LoadWidened(words);
}

// rows[2 + d] is row y + d of the source.
using SourceRows = const uint16_t* const*;

// A: [1 2 1] down the column, then [1 2 1] along the row.
struct WeightedMeanSums {
    static constexpr bool kNonNegative = true;
    int32_t columns[kRowWords];
    TALVOR_ALWAYS_INLINE void Prepare(SourceRows rows) {
        for (int x = 0; x < kRowWords - kWideLanes; x += kWideLanes) {
            StoreInts(columns + x, At(rows[1] + x) + 2 * At(rows[2] + x) + At(rows[3] + x));
        }
    }
    TALVOR_ALWAYS_INLINE Ints Sum(SourceRows, int x) const {
        return LoadInts(columns + x - 1) + 2 * LoadInts(columns + x) + LoadInts(columns + x + 1);
    }
};

// C: five times the pixel less its four neighbours.
struct HighPassLowSums {
    static constexpr bool kNonNegative = false;
    TALVOR_ALWAYS_INLINE void Prepare(SourceRows) {}
    TALVOR_ALWAYS_INLINE Ints Sum(SourceRows rows, int x) const {
        return 5 * At(rows[2] + x) -
               (At(rows[2] + x - 1) + At(rows[2] + x + 1) + At(rows[1] + x) + At(rows[3] + x));
    }
};

// B: rows y +- 2 weigh [0 1 2 1 0], rows y +- 1 [1 4 8 4 1] and row y twice that.
struct GaussianSums {
    static constexpr bool kNonNegative = true;
    int32_t inner[kRowWords];
    int32_t outer[kRowWords];
    TALVOR_ALWAYS_INLINE void Prepare(SourceRows rows) {
        for (int x = 0; x < kRowWords - kWideLanes; x += kWideLanes) {
            StoreInts(inner + x, At(rows[1] + x) + 2 * At(rows[2] + x) + At(rows[3] + x));
            StoreInts(outer + x, At(rows[0] + x) + At(rows[4] + x));
        }
    }
    TALVOR_ALWAYS_INLINE Ints Sum(SourceRows, int x) const {
        const int32_t* i = inner + x;
        const int32_t* o = outer + x;
        return (LoadInts(i - 2) + LoadInts(i + 2)) + 4 * (LoadInts(i - 1) + LoadInts(i + 1)) +
               8 * LoadInts(i) + (LoadInts(o - 1) + LoadInts(o + 1)) + 2 * LoadInts(o);
    }
};

// D: 26 times the pixel less the sum of the 5 x 5 box.
struct HighPassHighSums {
    static constexpr bool kNonNegative = false;
    int32_t columns[kRowWords];
    TALVOR_ALWAYS_INLINE void Prepare(SourceRows rows) {
        for (int x = 0; x < kRowWords - kWideLanes; x += kWideLanes) {
            StoreInts(columns + x, At(rows[0] + x) + At(rows[1] + x) + At(rows[2] + x) +
                                       At(rows[3] + x) + At(rows[4] + x));
        }
    }
    TALVOR_ALWAYS_INLINE Ints Sum(SourceRows rows, int x) const {
        const int32_t* c = columns + x;
        const Ints box =
            LoadInts(c - 2) + LoadInts(c - 1) + LoadInts(c) + LoadInts(c + 1) + LoadInts(c + 2);
        return 26 * At(rows[2] + x) - box;
    }
};

// E: the 3 x 3 box, less the columns x +- 2 of rows y - 1..y + 1, less the centre three of rows
// y +- 2, and four more times the pixel.
struct SmootherSharperSums {
    static constexpr bool kNonNegative = false;
    int32_t inner[kRowWords];
    int32_t outer[kRowWords];
    TALVOR_ALWAYS_INLINE void Prepare(SourceRows rows) {
        for (int x = 0; x < kRowWords - kWideLanes; x += kWideLanes) {
            StoreInts(inner + x, At(rows[1] + x) + At(rows[2] + x) + At(rows[3] + x));
            StoreInts(outer + x, At(rows[0] + x) + At(rows[4] + x));
        }
    }
    TALVOR_ALWAYS_INLINE Ints Sum(SourceRows rows, int x) const {
        const int32_t* i = inner + x;
        const int32_t* o = outer + x;
        return (LoadInts(i - 1) + LoadInts(i) + LoadInts(i + 1)) -
               (LoadInts(i - 2) + LoadInts(i + 2)) -
               (LoadInts(o - 1) + LoadInts(o) + LoadInts(o + 1)) + 4 * At(rows[2] + x);
    }
};

// F: below the pixel minus above it, by rows, and the row's right part minus its left part.
// With v = row y + 1 less row y - 1, the three-wide sum of v and the right part r[x..x + 2] of
// row y are the three-wide sum of joined[x] = v[x] + r[x + 1], prepared once per row, so that
// a pixel reads seven source words instead of thirteen.
struct BasReliefSums {
    static constexpr bool kNonNegative = false;
    int32_t joined[kRowWords];
    TALVOR_ALWAYS_INLINE void Prepare(SourceRows rows) {
        for (int x = 0; x < kFrameColumns; x += kWideLanes) {
            StoreInts(joined + x, At(rows[3] + x) - At(rows[1] + x) + At(rows[2] + x + 1));
        }
    }
    TALVOR_ALWAYS_INLINE Ints Sum(SourceRows rows, int x) const {
        const int32_t* j = joined + x;
        const uint16_t* row = rows[2] + x;
        return (At(rows[4] + x) - At(rows[0] + x)) +
               (LoadInts(j - 1) + LoadInts(j) + LoadInts(j + 1)) - (At(row - 2) + At(row - 1));
    }
};

// The two kernels with no negative coefficient add up to their menu divisors, so their sums lie
// in 0..65535 x divisor, as vectors::DividedExactly needs.
constexpr int32_t CoefficientSum(Kernel kernel) {
    int32_t sum = 0;
    for (const int32_t c : kKernels[static_cast<std::size_t>(kernel)]) {
        sum += c;
    }
    return sum;
}
static_assert(CoefficientSum(Kernel::A) == 16 && CoefficientSum(Kernel::B) == 80);

// Divides as the engine does, truncating toward zero; the menu's divisors are known when the
// step is compiled. Sums that are never negative (no coefficient is) need no correction for the
// sign.
template <int Divisor, bool NonNegative>
TALVOR_ALWAYS_INLINE Ints Divided(Ints sums, int divisor) {
    if constexpr (Divisor == 1) {
        return sums;
    } else if constexpr (Divisor > 0 && NonNegative) {
        return vectors::DividedExactly<Divisor>(sums);
    } else if constexpr (Divisor > 0) {
        return sums / Divisor;
    } else {
        if (divisor == 1) {
            return sums;
        }
        Ints out;
        for (int i = 0; i < kWideLanes; ++i) {
            out[i] = sums[i] / divisor;
        }
        return out;
    }
}

// Eight results of the row, starting at column x, clamped.
template <int Divisor, typename Sums>
TALVOR_ALWAYS_INLINE Ints ResultsAt(const Sums& sums, SourceRows rows, int x, int divisor) {
    const Ints result = Divided<Divisor, Sums::kNonNegative>(sums.Sum(rows, x), divisor);
    if constexpr (Sums::kNonNegative) {
        return vectors::ClampNonNegativeFilterResult(result);
    }
    return vectors::ClampFilterResult(result);
}

// Sixteen results of the row, starting at column x.
template <int Divisor, typename Sums>
TALVOR_ALWAYS_INLINE void StoreSixteen(const Sums& sums, SourceRows rows, uint16_t* out, int x,
                                       int divisor) {
    vectors::StoreSixteenResults(out + x, ResultsAt<Divisor>(sums, rows, x, divisor),
                                 ResultsAt<Divisor>(sums, rows, x + kWideLanes, divisor));
}

// Row y of the target, columns radius..511-radius.
template <typename Sums, int Radius, int Divisor>
TALVOR_ALWAYS_INLINE void ConvolveRowWith(const ImageBuffer& source, ImageBuffer& target, int y,
                                          int divisor) {
    const uint16_t* rows[5];
    for (int d = -2; d <= 2; ++d) {
        // Rows outside the window of a 3 x 3 kernel are never read; they may lie off the frame.
        const int j = d < -Radius || d > Radius ? y : y + d;
        rows[d + 2] = &source[static_cast<std::size_t>(j) * kFrameColumns];
    }
    Sums sums;
    sums.Prepare(rows);
    // Whole vectors from the left, and one more that ends on the last column (overlapping the
    // one before it), so that nothing beyond it is written.
    uint16_t* out = &target[static_cast<std::size_t>(y) * kFrameColumns];
    constexpr int kLastVector = kFrameColumns - Radius - vectors::kLanes;
    for (int x = Radius; x < kLastVector; x += vectors::kLanes) {
        StoreSixteen<Divisor>(sums, rows, out, x, divisor);
    }
    StoreSixteen<Divisor>(sums, rows, out, kLastVector, divisor);
}

// A kernel's pass with the divisor its menu setting uses known in advance, and with any other
// divisor lane by lane.
template <typename Sums, int Radius, int MenuDivisor>
TALVOR_ALWAYS_INLINE void ConvolveRowDividedBy(const ImageBuffer& source, ImageBuffer& target,
                                               int y, int divisor) {
    if (divisor == MenuDivisor) {
        ConvolveRowWith<Sums, Radius, MenuDivisor>(source, target, y, divisor);
    } else {
        ConvolveRowWith<Sums, Radius, 0>(source, target, y, divisor);
    }
}

// The menu's six settings have their own passes; any other radius goes through the table
// coefficient by coefficient.
TALVOR_VECTOR_CLONES
bool ConvolveMenuRow(const ImageBuffer& source, ImageBuffer& target, int y, int radius,
                     Kernel kernel, int divisor) {
    const int menuRadius = kernel == Kernel::A || kernel == Kernel::C ? 1 : 2;
    if (radius != menuRadius) {
        return false;
    }
    switch (kernel) {
        case Kernel::A:
            ConvolveRowDividedBy<WeightedMeanSums, 1, 16>(source, target, y, divisor);
            return true;
        case Kernel::B:
            ConvolveRowDividedBy<GaussianSums, 2, 80>(source, target, y, divisor);
            return true;
        case Kernel::C:
            ConvolveRowDividedBy<HighPassLowSums, 1, 1>(source, target, y, divisor);
            return true;
        case Kernel::D:
            ConvolveRowDividedBy<HighPassHighSums, 2, 1>(source, target, y, divisor);
            return true;
        case Kernel::E:
            ConvolveRowDividedBy<SmootherSharperSums, 2, 1>(source, target, y, divisor);
            return true;
        case Kernel::F:
            ConvolveRowDividedBy<BasReliefSums, 2, 1>(source, target, y, divisor);
            return true;
    }
    return false;
}

void ConvolveRowByTable(const ImageBuffer& source, ImageBuffer& target, int y, int radius,
                        Kernel kernel, int divisor) {
    const KernelCoefficients& k = KernelTable(kernel);
    const int side = 2 * radius + 1;
    const int first = radius;
    const int last = kFrameColumns - 1 - radius;
    std::array<int32_t, kFrameColumns> sums{};
    for (int dy = -radius; dy <= radius; ++dy) {
        const uint16_t* line = &source[static_cast<std::size_t>(y + dy) * kFrameColumns];
        for (int dx = -radius; dx <= radius; ++dx) {
            const int32_t c = k[static_cast<std::size_t>((dy + radius) * side + dx + radius)];
            if (c == 0) {
                continue;
            }
            for (int x = first; x <= last; ++x) {
                sums[x] += static_cast<int32_t>(line[x + dx]) * c;
            }
        }
    }
    uint16_t* out = &target[static_cast<std::size_t>(y) * kFrameColumns];
    for (int x = first; x <= last; ++x) {
        const int32_t v = divisor == 1 ? sums[x] : sums[x] / divisor;
        out[x] = v > kClampAbove ? 65535 : v < 0 ? 0 : static_cast<uint16_t>(v);
    }
}

}  // namespace

const KernelCoefficients& KernelTable(Kernel kernel) {
    return kKernels[static_cast<std::size_t>(kernel)];
}

void ConvolveRow(const ImageBuffer& source, ImageBuffer& target, int y, int radius, Kernel kernel,
                 int divisor) {
    if (!ConvolveMenuRow(source, target, y, radius, kernel, divisor)) {
        ConvolveRowByTable(source, target, y, radius, kernel, divisor);
    }
}

}  // namespace talvor
