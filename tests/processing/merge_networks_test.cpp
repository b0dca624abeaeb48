// The comparator networks the median filter is built from, checked by the 0-1 principle: a
// network that merges (or sorts) every list of zeros and ones merges (or sorts) every list.

#include <gtest/gtest.h>

#include <vector>

#include "processing/merge_networks.h"

namespace talvor {
namespace {

// Runs the network step by step, comparators and pruned halves as it records them.
std::vector<int> RunOn(const Network& network, std::vector<int> wires) {
    for (int s = 0; s < network.stepCount; ++s) {
        const CompareStep& step = network.steps[static_cast<std::size_t>(s)];
        const int a = wires[step.low];
        const int b = wires[step.high];
        if (step.keepLow) {
            wires[step.low] = a < b ? a : b;
        }
        if (step.keepHigh) {
            wires[step.high] = a < b ? b : a;
        }
    }
    std::vector<int> kept;
    for (int r = 0; r < network.kept.count; ++r) {
        kept.push_back(wires[network.kept.wires[static_cast<std::size_t>(r)]]);
    }
    return kept;
}

TEST(MergeNetworksTest, MergesEverySortedPairOfListsToTheKeptRanks) {
    for (int a = 1; a <= 21; ++a) {
        for (int b = 1; b <= 21; ++b) {
            for (int first : {0, (a + b) / 3}) {
                const int last = (a + b) - 1 - first / 2;
                const Network network = MergeNetwork(a, b, first, last);
                ASSERT_EQ(network.kept.count, last - first + 1);
                // a sorted list of a with z zeros, and of b with w zeros.
                for (int z = 0; z <= a; ++z) {
                    for (int w = 0; w <= b; ++w) {
                        std::vector<int> wires;
                        for (int i = 0; i < a; ++i) {
                            wires.push_back(i < z ? 0 : 1);
                        }
                        for (int i = 0; i < b; ++i) {
                            wires.push_back(i < w ? 0 : 1);
                        }
                        std::vector<int> expected;
                        for (int r = first; r <= last; ++r) {
                            expected.push_back(r < z + w ? 0 : 1);
                        }
                        ASSERT_EQ(RunOn(network, wires), expected)
                            << a << "+" << b << " ranks " << first << ".." << last;
                    }
                }
            }
        }
    }
}

TEST(MergeNetworksTest, SortsEveryListOfZerosAndOnes) {
    for (int n = 1; n <= 12; ++n) {
        const Network network = SortNetwork(n, 0, n - 1);
        for (int bits = 0; bits < (1 << n); ++bits) {
            std::vector<int> wires;
            int zeros = 0;
            for (int i = 0; i < n; ++i) {
                wires.push_back((bits >> i) & 1);
                zeros += 1 - wires.back();
            }
            std::vector<int> expected(static_cast<std::size_t>(n), 1);
            std::fill_n(expected.begin(), zeros, 0);
            ASSERT_EQ(RunOn(network, wires), expected) << n << " " << bits;
        }
    }
    // Seven wires, the median filter's column, in the sixteen comparators of the best network.
    EXPECT_EQ(SortNetwork(7, 0, 6).stepCount, 16);
    // Keeping only the middle rank drops comparators that do not lead to it.
    EXPECT_LT(MergeNetwork(7, 8, 7, 7).stepCount, MergeNetwork(7, 8, 0, 14).stepCount);
}

}  // namespace
}  // namespace talvor
