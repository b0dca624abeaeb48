// The vector pieces of the median pass on their own: the split of a row into even and odd
// columns and the masked join back, and the replacement rule at every range of window values,
// against the single-precision threshold computed one pixel at a time.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "processing/median_blocks.h"
#include "processing/median_filter.h"
#include "processing/median_quad_tiles.h"

#pragma GCC diagnostic ignored "-Wpsabi"

namespace talvor {
namespace {

using median_blocks::RuleResult;
using vectors::kLanes;
using vectors::LoadWords;
using vectors::Words;

// A row goes into the ring as its even and its odd columns, in order, with zeros past them; the
// join puts 32 of them back in their order and writes no word past them.
TEST(MedianBlocksTest, RowsSplitIntoTheirPlanesAndJoinBackInOrder) {
    const auto frame = std::make_unique<ImageBuffer>();
    constexpr int kRow = 9;
    const auto word = [](int x) { return static_cast<uint16_t>(x == 0 ? 65535 : 1000 + 3 * x); };
    for (int x = 0; x < kFrameColumns; ++x) {
        (*frame)[kRow * kFrameColumns + x] = word(x);
    }
    std::vector<uint16_t> ring(median_quad_tiles::kRingWords);
    median_quad_tiles::SplitRow(*frame, kRow, ring.data());
    const uint16_t* even = median_quad_tiles::PlaneOf(ring.data(), kRow, 0);
    const uint16_t* odd = median_quad_tiles::PlaneOf(ring.data(), kRow, 1);
    for (int i = 0; i < median_quad_tiles::kPlaneWords; ++i) {
        const bool inRow = i < kFrameColumns / 2;
        ASSERT_EQ(even[i], inRow ? word(2 * i) : 0) << i;
        ASSERT_EQ(odd[i], inRow ? word(2 * i + 1) : 0) << i;
    }
    for (int first : {0, 2 * kLanes, kFrameColumns - 2 * kLanes}) {
        std::array<uint16_t, 2 * kLanes + 2> joined{};
        joined.fill(7);
        median_blocks::StoreJoined(joined.data() + 1, LoadWords(even + first / 2),
                                   LoadWords(odd + first / 2));
        EXPECT_EQ(joined.front(), 7);
        EXPECT_EQ(joined.back(), 7);
        for (int i = 0; i < 2 * kLanes; ++i) {
            EXPECT_EQ(joined[i + 1], word(first + i)) << first << " " << i;
        }
    }
}

// Every range hi - lo from 0 to 65535 at every power, with the distance |med - p| just at the
// threshold and one above it: the pixel stays at the threshold and takes the median above it.
TEST(MedianBlocksTest, RuleReplacesExactlyAboveTheSinglePrecisionThresholdAtEveryRange) {
    for (int tenths = kMinMedianTenths; tenths <= kMaxMedianTenths; ++tenths) {
        const float power = MedianPower(tenths);
        for (int first = 0; first < 65536; first += kLanes) {
            std::array<uint16_t, kLanes> hi{};
            std::array<uint16_t, kLanes> med{};
            std::array<uint16_t, kLanes> p{};
            std::array<int, kLanes> threshold{};
            for (int i = 0; i < kLanes; ++i) {
                const int range = first + i;
                threshold[i] = MedianThreshold(range, 0, power);
                hi[i] = static_cast<uint16_t>(range);
                med[i] = static_cast<uint16_t>(range / 2);
                // The distance: the threshold, or one more where the words allow it, on
                // alternating sides of the median.
                const int distance = std::min(threshold[i] + (i % 2), 65535 - range / 2);
                p[i] = static_cast<uint16_t>(i % 4 < 2 && distance <= range / 2
                                                 ? range / 2 - distance
                                                 : range / 2 + distance);
            }
            const Words kept = vectors::Broadcast(7);
            const Words result =
                RuleResult(LoadWords(med.data()), LoadWords(hi.data()), Words{},
                           LoadWords(p.data()), kept, median_blocks::PowerLanes(power));
            for (int i = 0; i < kLanes; ++i) {
                const bool replaced = threshold[i] < std::abs(med[i] - p[i]);
                ASSERT_EQ(result[i], replaced ? med[i] : 7)
                    << "range " << first + i << " tenths " << tenths;
            }
        }
    }
}

TEST(MedianBlocksTest, RuleCapsTheWindowMinimumAt65000) {
    // A window of saturated pixels 65100..65535: its minimum counts as 65000, range 535.
    const Words hi = vectors::Broadcast(65535);
    const Words lo = vectors::Broadcast(65100);
    const Words med = vectors::Broadcast(65400);
    const median_blocks::Floats power = median_blocks::PowerLanes(MedianPower(5));
    // Threshold trunc(535 x 0.5) = 267: a distance of 267 stays, 268 goes.
    EXPECT_EQ(RuleResult(med, hi, lo, vectors::Broadcast(65400 - 267), Words{}, power)[0], 0);
    EXPECT_EQ(RuleResult(med, hi, lo, vectors::Broadcast(65400 - 268), Words{}, power)[0], 65400);
}

}  // namespace
}  // namespace talvor
