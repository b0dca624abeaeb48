// The Normal Stretch dialog's scroll rules for the black and white levels.

#include <gtest/gtest.h>

#include "processing/stretch_levels.h"

namespace talvor {
namespace {

using enum ScrollAction;

StretchLevels Levels(unsigned black, unsigned white) {
    return StretchLevels{black, white};
}

void ExpectLevels(StretchLevels levels, unsigned black, unsigned white) {
    EXPECT_EQ(levels.black, black);
    EXPECT_EQ(levels.white, white);
}

TEST(StretchLevelsTest, TheWhiteBarStaysAboveBlackAndWithin300) {
    ExpectLevels(AfterWhiteScroll(Levels(10, 12), LineLeft, 0), 10, 11);
    ExpectLevels(AfterWhiteScroll(Levels(10, 11), LineLeft, 0), 10, 11);
    ExpectLevels(AfterWhiteScroll(Levels(0, 300), LineRight, 0), 0, 300);
    ExpectLevels(AfterWhiteScroll(Levels(0, 290), PageRight, 0), 0, 300);
    ExpectLevels(AfterWhiteScroll(Levels(0, 291), PageRight, 0), 0, 291);
    ExpectLevels(AfterWhiteScroll(Levels(10, 21), PageLeft, 0), 10, 11);
    ExpectLevels(AfterWhiteScroll(Levels(10, 20), PageLeft, 0), 10, 20);
    ExpectLevels(AfterWhiteScroll(Levels(40, 255), ThumbTrack, 41), 40, 41);
    ExpectLevels(AfterWhiteScroll(Levels(40, 255), ThumbPosition, 40), 40, 255);
}

TEST(StretchLevelsTest, TheBlackBarStaysBelowWhiteAndWithin255) {
    ExpectLevels(AfterBlackScroll(Levels(0, 255), LineLeft, 0), 0, 255);
    ExpectLevels(AfterBlackScroll(Levels(253, 255), LineRight, 0), 254, 255);
    ExpectLevels(AfterBlackScroll(Levels(254, 255), LineRight, 0), 254, 255);
    ExpectLevels(AfterBlackScroll(Levels(255, 300), LineRight, 0), 255, 300);
    ExpectLevels(AfterBlackScroll(Levels(9, 255), PageLeft, 0), 9, 255);
    ExpectLevels(AfterBlackScroll(Levels(245, 300), PageRight, 0), 255, 300);
    ExpectLevels(AfterBlackScroll(Levels(246, 300), PageRight, 0), 246, 300);
    ExpectLevels(AfterBlackScroll(Levels(0, 11), PageRight, 0), 10, 11);
    ExpectLevels(AfterBlackScroll(Levels(0, 100), ThumbTrack, 99), 99, 100);
    ExpectLevels(AfterBlackScroll(Levels(0, 100), ThumbPosition, 100), 0, 100);
    // White may be dragged down to 1..9; a page step of black must not jump over it.
    for (unsigned white = 1; white <= 10; ++white) {
        ExpectLevels(AfterBlackScroll(Levels(0, white), PageRight, 0), 0, white);
    }
}

}  // namespace
}  // namespace talvor
