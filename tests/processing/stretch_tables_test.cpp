// The stretch tables and the mapping through them, on the values the stretches are known by.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "processing/arithmetic_references.h"
#include "processing/stretch_entry_estimates.h"
#include "processing/stretch_table.h"
#include "processing/stretch_tables.h"

namespace talvor {
namespace {

uint16_t Mapped(const StretchTable& table, uint16_t pixel) {
    ImageBuffer frame{};
    frame[0] = pixel;
    MapThroughStretchTable(table, frame, 0, 1);
    return frame[0];
}

// An estimated entry is used only where nothing within the margin around it truncates to another
// whole number.
TEST(StretchTablesTest, AnEstimateNearAWholeNumberOrNotFiniteIsNotTrusted) {
    EXPECT_TRUE(TruncationIsCertain(2.5));
    EXPECT_TRUE(TruncationIsCertain(-0.5));
    EXPECT_TRUE(TruncationIsCertain(2 + 2 * kEstimateMargin));
    EXPECT_TRUE(TruncationIsCertain(3 - 2 * kEstimateMargin));
    EXPECT_FALSE(TruncationIsCertain(2.0));
    EXPECT_FALSE(TruncationIsCertain(2 + kEstimateMargin / 2));
    EXPECT_FALSE(TruncationIsCertain(3 - kEstimateMargin / 2));
    EXPECT_FALSE(TruncationIsCertain(32767 - kEstimateMargin / 2));
    EXPECT_FALSE(TruncationIsCertain(-kEstimateMargin / 2));
    EXPECT_FALSE(TruncationIsCertain(1e300));
    EXPECT_FALSE(TruncationIsCertain(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(TruncationIsCertain(std::numeric_limits<double>::quiet_NaN()));
}

// Powers past the dialog's range, estimated up to 4 and computed directly beyond, and the
// antilog and the sine entry by entry in reverse order (each run's anchor met from its end), all
// as the library's power and sine give them.
TEST(StretchTablesTest, EstimatedEntriesMatchThePowerOutsideTheDialogsRange) {
    for (double power : {3.05, 3.5, 4.0, 4.5, 7.0, -1.0}) {
        ASSERT_EQ(PowerStretchTable(power), testing::ReferencePowerTable(power)) << power;
    }
    CurveEntries antiLog(AntiLogStretchCurve());
    const StretchTable reference = testing::ReferenceAntiLogTable();
    for (int i = kStretchEntries - 1; i >= 0; --i) {
        ASSERT_EQ(antiLog.Entry(i), reference[static_cast<std::size_t>(i)]) << i;
    }
    CurveEntries sine(SineStretchCurve());
    EXPECT_TRUE(sine.Estimates());
    const StretchTable sineReference = testing::ReferenceSineTable();
    for (int i = kStretchEntries - 1; i >= 0; --i) {
        ASSERT_EQ(sine.Entry(i), sineReference[static_cast<std::size_t>(i)]) << i;
    }
}

TEST(StretchTablesTest, InvertTwiceRestoresEvenPixelsAndLosesTheLowestBitOfOddOnes) {
    const StretchTable invert = InvertTable();
    EXPECT_EQ(Mapped(invert, 65535), 0);
    EXPECT_EQ(Mapped(invert, Mapped(invert, 65535)), 65534);
    EXPECT_EQ(Mapped(invert, Mapped(invert, 1234)), 1234);
    EXPECT_EQ(Mapped(invert, 0), 65534);
}

TEST(StretchTablesTest, LogStretchTopsOutAt32761) {
    const StretchTable log = LogStretchTable();
    EXPECT_EQ(log[0], 0);
    EXPECT_EQ(log[1], 2184);
    EXPECT_EQ(*std::max_element(log.begin(), log.end()), 32761);
    EXPECT_EQ(Mapped(log, 65535), 65522);
    EXPECT_EQ(Mapped(log, 65534), 65522);
}

TEST(StretchTablesTest, AntiLogUsesTheFiveDecimalBaseAndReachesTheLimitFrom32762) {
    const StretchTable antiLog = AntiLogStretchTable();
    EXPECT_EQ(antiLog[0], 0);
    EXPECT_EQ(antiLog[3151], 1);
    EXPECT_EQ(antiLog[32760], 32750);
    EXPECT_EQ(antiLog[32761], 32760);
    EXPECT_EQ(antiLog[32762], 32767);
    EXPECT_EQ(antiLog[32767], 32767);
}

TEST(StretchTablesTest, SineStretchIsCentredOnTheMiddleOfTheRange) {
    const StretchTable sine = SineStretchTable();
    EXPECT_EQ(sine[0], 0);
    EXPECT_EQ(sine[16384], 16383);
    EXPECT_EQ(sine[32767], 32765);
    EXPECT_TRUE(std::is_sorted(sine.begin(), sine.end()));
}

TEST(StretchTablesTest, NormalStretchFromZeroTo255IsTheIdentityBelow65280) {
    ImageBuffer frame{};
    for (int pixel = 0; pixel <= 65535; ++pixel) {
        frame[pixel] = static_cast<uint16_t>(pixel);
    }
    MapThroughStretchTable(NormalStretchTable(0, 255), frame, 0, 65536);
    for (int pixel = 0; pixel < 65280; pixel += 2) {
        ASSERT_EQ(frame[pixel], pixel);
    }
    for (int pixel = 65280; pixel <= 65535; ++pixel) {
        ASSERT_EQ(frame[pixel], 65534);
    }
}

TEST(StretchTablesTest, NormalStretchRampsBetweenTheLevels) {
    const StretchTable table = NormalStretchTable(12, 200);
    EXPECT_EQ(table[1535], 0);
    EXPECT_EQ(table[1536], 0);
    EXPECT_EQ(table[1537], 1);
    EXPECT_EQ(table[25599], 32638);
    EXPECT_EQ(table[25600], 32767);
    EXPECT_EQ(table[32767], 32767);
}

TEST(StretchTablesTest, AWhiteLevelAbove255DarkensThePicture) {
    const StretchTable table = NormalStretchTable(0, 300);
    EXPECT_EQ(*std::max_element(table.begin(), table.end()), 27851);
    EXPECT_EQ(Mapped(table, 65535), 55702);
    // Just past the byte range the ramp still reaches the end of the table.
    EXPECT_EQ(NormalStretchTable(0, 256)[32767], 32639);
}

TEST(StretchTablesTest, BackgroundRemovalBlackensEverythingBelowTwoLevelsUnder) {
    const StretchTable table = BackgroundRemovalTable(100);
    EXPECT_EQ(table[12543], 0);
    EXPECT_EQ(table[12544], 0);
    EXPECT_EQ(table[12545], 1);
    // (32767 - 12544) x 255 / 157 is above the top.
    EXPECT_EQ(table[32767], 32767);
}

TEST(StretchTablesTest, PowerStretchKeepsTheTopOfTheRangeNearTheTop) {
    const StretchTable square = PowerStretchTable(2.0);
    EXPECT_EQ(square[16384], 8192);
    EXPECT_EQ(square[32767], 32766);
    const StretchTable root = PowerStretchTable(0.5);
    EXPECT_EQ(root[8192], 16384);
    EXPECT_EQ(root[32767], 32767);
    EXPECT_EQ(PowerStretchHistory(0.1000000000000001), "Power Stretch : 0.1");
}

TEST(StretchTablesTest, NonLinearStretchEndsAt32767ForEveryPower) {
    for (int power = kMinNonLinearPower; power <= kMaxNonLinearPower; ++power) {
        const StretchTable table = NonLinearStretchTable(power);
        ASSERT_EQ(table[0], 0) << power;
        ASSERT_EQ(*std::max_element(table.begin(), table.end()), 32767) << power;
        ASSERT_TRUE(std::is_sorted(table.begin(), table.end())) << power;
    }
    // 32768 x 25 x 0.5 / (24 x 0.5 + 1) = 31507.7
    EXPECT_EQ(NonLinearStretchTable(25)[16384], 31507);
}

}  // namespace
}  // namespace talvor
