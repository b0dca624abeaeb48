// The angle, time and date texts of the LX200 command set, both ways.

#include "simulator/lx200_coordinates.h"

#include <gtest/gtest.h>

namespace talvor {
namespace {

TEST(Lx200Coordinates, FormatsInBothPrecisions) {
    EXPECT_EQ(RightAscensionText(5 + 35 / 60.0 + 24 / 3600.0, true), "05:35:24");
    EXPECT_EQ(RightAscensionText(5 + 35 / 60.0 + 24 / 3600.0, false), "05:35.4");
    // Rounding carries into the next hour and past midnight.
    EXPECT_EQ(RightAscensionText(23.99999, true), "00:00:00");
    EXPECT_EQ(DeclinationText(22 + 53 / 3600.0, true), "+22*00'53");
    EXPECT_EQ(DeclinationText(22 + 53 / 3600.0, false), "+22*01");
    EXPECT_EQ(DeclinationText(-0.5, true), "-00*30'00");
    EXPECT_EQ(AzimuthText(359.99999, true), "000*00'00");
    EXPECT_EQ(AzimuthText(181.5, false), "181*30");
    EXPECT_EQ(ClockText(21.5 + 1 / 3600.0), "21:30:01");
}

TEST(Lx200Coordinates, ParsesWhatClientsSend) {
    EXPECT_NEAR(*ParseRightAscension("05:35:24"), 5 + 35 / 60.0 + 24 / 3600.0, 1e-12);
    EXPECT_NEAR(*ParseRightAscension("05:35.4"), 5 + 35.4 / 60, 1e-12);
    EXPECT_NEAR(*ParseRightAscension(" 05:35:24.50"), 5 + 35 / 60.0 + 24.5 / 3600.0, 1e-12);
    // The arc-seconds are kept whatever separates them.
    for (const char* text : {"+22*00:53", "+22*00'53", "+22:00:53",
                             "+22\xdf"
                             "00:53"}) {
        EXPECT_NEAR(*ParseDeclination(text), 22 + 53 / 3600.0, 1e-12) << text;
    }
    EXPECT_NEAR(*ParseDeclination("-00*30"), -0.5, 1e-12);
    EXPECT_NEAR(*ParseLatitude("51*30"), 51.5, 1e-12);
    EXPECT_NEAR(*ParseLongitude("358:30"), 358.5, 1e-12);
    EXPECT_NEAR(*ParseClock("22:10:05"), 22 + 10 / 60.0 + 5 / 3600.0, 1e-12);
    EXPECT_NEAR(*ParseUtcOffset("-05.5"), -5.5, 1e-12);
    const auto date = ParseDate("01/15/25");
    ASSERT_TRUE(date);
    EXPECT_EQ(date->year, 2025);
    EXPECT_EQ(ParseDate("12/31/99")->year, 1999);
}

TEST(Lx200Coordinates, RefusesWhatIsNotACoordinate) {
    for (const char* text : {"25:00:00", "24:00:00", "05:60:00", "05:35:60", "-01:00:00", "", "05",
                             "05:3x", "05:35.x", "ab:cd"}) {
        EXPECT_FALSE(ParseRightAscension(text)) << text;
    }
    for (const char* text : {"+91*00", "10*00", "+10*60", "+10*00:00junk", "+*00"}) {
        EXPECT_FALSE(ParseDeclination(text)) << text;
    }
    EXPECT_FALSE(ParseClock("24:00:00"));
    EXPECT_FALSE(ParseUtcOffset("+25"));
    EXPECT_FALSE(ParseUtcOffset("x"));
    EXPECT_FALSE(ParseDate("13/01/25"));
    EXPECT_FALSE(ParseDate("01/32/25"));
    EXPECT_FALSE(ParseDate("01-15-25"));
}

}  // namespace
}  // namespace talvor
