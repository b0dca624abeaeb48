#include "processing/kernel_filters.h"

namespace talvor {
namespace {

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

}  // namespace

const KernelCoefficients& KernelTable(Kernel kernel) {
    return kKernels[static_cast<std::size_t>(kernel)];
}

void ConvolveRow(const ImageBuffer& source, ImageBuffer& target, int y, int radius, Kernel kernel,
                 int divisor) {
    const KernelCoefficients& k = KernelTable(kernel);
    const int side = 2 * radius + 1;
    const int first = radius;
    const int last = kFrameColumns - 1 - radius;

    // Sums for the whole row, one kernel coefficient at a time, so the inner loop runs along
    // the row.
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

}  // namespace talvor
