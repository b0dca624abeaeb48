// The division of non-negative window sums in lanes, through a single-precision reciprocal
// where that is exact, against whole-number division at every sum each filter can form.

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "processing/word_vectors.h"

#pragma GCC diagnostic ignored "-Wpsabi"

namespace talvor {
namespace {

using vectors::Ints;
using vectors::kWideLanes;

template <int D>
void ExpectEverySumDividesExactly() {
    constexpr int64_t kLargest = int64_t{65535} * D;
    for (int64_t first = 0; first <= kLargest; first += kWideLanes) {
        Ints sums;
        for (int i = 0; i < kWideLanes; ++i) {
            sums[i] = static_cast<int32_t>(std::min(first + i, kLargest));
        }
        const Ints quotients = vectors::DividedExactly<D>(sums);
        for (int i = 0; i < kWideLanes; ++i) {
            ASSERT_EQ(quotients[i], sums[i] / D) << "sum " << sums[i] << " divisor " << D;
        }
    }
}

// The Gaussian's 80, the weighted mean's 16 and the unsharp mask's box areas 3 x 3 .. 15 x 15.
TEST(ExactDivisionTest, EverySumOfEveryFilterDividesAsWholeNumbers) {
    static_assert(vectors::ReciprocalDividesExactly(80) && vectors::ReciprocalDividesExactly(225));
    ExpectEverySumDividesExactly<80>();
    ExpectEverySumDividesExactly<16>();
    [&]<int... D>(std::integer_sequence<int, D...>) {
        (ExpectEverySumDividesExactly<(2 * D + 3) * (2 * D + 3)>(), ...);
    }
    (std::make_integer_sequence<int, 7>{});
}

// The nearest reciprocal of 25 lies below 1 / 25 and is taken one step up. That of 116 comes
// close enough to a whole quotient over its largest sums to miss one, so 116 is refused and
// divides as whole numbers; 65535 x 257 is past what a float holds exactly.
TEST(ExactDivisionTest, AReciprocalThatWouldMissAQuotientIsRefused) {
    EXPECT_LT(static_cast<double>(1.0f / 25.0f), 1.0 / 25);
    EXPECT_GE(static_cast<double>(vectors::ReciprocalRoundedUp(25)), 1.0 / 25);
    EXPECT_FALSE(vectors::ReciprocalDividesExactly(116));
    EXPECT_FALSE(vectors::ReciprocalDividesExactly(257));
    ExpectEverySumDividesExactly<116>();
}

}  // namespace
}  // namespace talvor
