// The frame arithmetic of dark subtraction, flat field, averaging, accumulation and merging, on
// small crafted frames.

#include "processing/frame_arithmetic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>

#include "core/label_band.h"

namespace talvor {
namespace {

std::unique_ptr<ImageBuffer> Frame(uint16_t value) {
    auto frame = std::make_unique<ImageBuffer>();
    frame->fill(value);
    return frame;
}

TEST(FrameArithmeticTest, SubtractClipsAtZeroAndStopsAtTheFrameArea) {
    auto image = Frame(1000);
    auto dark = Frame(300);
    PixelAt(*dark, 7, 3) = 1000;  // equal: 0
    PixelAt(*dark, 8, 3) = 1001;  // brighter: 0, never a wrap
    SubtractFrame(*image, *dark);
    EXPECT_EQ(PixelAt(*image, 0, 0), 700);
    EXPECT_EQ(PixelAt(*image, 511, 289), 700);
    EXPECT_EQ(PixelAt(*image, 7, 3), 0);
    EXPECT_EQ(PixelAt(*image, 8, 3), 0);
    EXPECT_EQ((*image)[kFramePixels], 1000);  // beyond the frame area
    SubtractFrame(*image, *image);
    EXPECT_EQ(PixelAt(*image, 100, 100), 0);
}

TEST(FrameArithmeticTest, AverageTruncatesAndNeverOverflows) {
    auto image = Frame(65535);
    auto other = Frame(65535);
    PixelAt(*image, 1, 1) = 1;
    PixelAt(*other, 1, 1) = 2;
    AverageFrames(*image, *other);
    EXPECT_EQ(PixelAt(*image, 0, 0), 65535);
    EXPECT_EQ(PixelAt(*image, 1, 1), 1);
}

TEST(FrameArithmeticTest, FlatFieldScalesByTheNormaliserAndSparesTheEdges) {
    auto flat = Frame(1000);
    // Outside the normaliser's area: only this pixel's own division changes.
    PixelAt(*flat, 300, 100) = 0;
    PixelAt(*flat, 301, 100) = 0;
    PixelAt(*flat, 302, 100) = 500;
    const double n = FlatFieldNormaliser(*flat);
    EXPECT_DOUBLE_EQ(n, 0.0002 * 5401 * 1000.0);
    auto image = Frame(1000);
    PixelAt(*image, 200, 100) = 999;
    PixelAt(*image, 300, 100) = 0;      // zero under zero: becomes N
    PixelAt(*image, 301, 100) = 77;     // non-zero over zero: kept
    PixelAt(*image, 302, 100) = 40000;  // 40000 / 500 x 1080.2 passes the ceiling
    FlatFieldRow(*image, *flat, n, 100);
    EXPECT_EQ(PixelAt(*image, 5, 100), 1080);    // trunc(1000 / 1000 x 1080.2)
    EXPECT_EQ(PixelAt(*image, 200, 100), 1079);  // trunc(999 / 1000 x 1080.2) = 1079.1...
    EXPECT_EQ(PixelAt(*image, 300, 100), 1080);
    EXPECT_EQ(PixelAt(*image, 301, 100), 77);
    EXPECT_EQ(PixelAt(*image, 302, 100), 65535);
    for (int x : {0, 4, 510, 511}) {
        EXPECT_EQ(PixelAt(*image, x, 100), 1000) << x;
    }
    EXPECT_EQ(PixelAt(*image, 5, 101), 1000);  // one row only
}

TEST(FrameArithmeticTest, NormaliserReadsRowsNineToNineteenAndColumnsNineTo499) {
    auto flat = Frame(0);
    PixelAt(*flat, 9, 9) = 5000;
    PixelAt(*flat, 499, 19) = 5000;
    PixelAt(*flat, 8, 9) = 60000;
    PixelAt(*flat, 500, 19) = 60000;
    PixelAt(*flat, 9, 8) = 60000;
    PixelAt(*flat, 9, 20) = 60000;
    EXPECT_DOUBLE_EQ(FlatFieldNormaliser(*flat), 0.0002 * 10000);
}

TEST(FrameArithmeticTest, AccumulateCopiesSkipsOrAddsWithSaturation) {
    auto sum = Frame(40000);
    auto frame = Frame(30000);
    PixelAt(*frame, 3, 3) = 5;
    AccumulateFrame(*sum, *frame, false, true);
    EXPECT_EQ(PixelAt(*sum, 3, 3), 40000);
    AccumulateFrame(*sum, *frame, false, false);
    EXPECT_EQ(PixelAt(*sum, 3, 3), 40005);
    EXPECT_EQ(PixelAt(*sum, 0, 0), 65535);
    AccumulateFrame(*sum, *frame, true, true);
    EXPECT_EQ(PixelAt(*sum, 0, 0), 30000);
    EXPECT_EQ(PixelAt(*sum, 3, 3), 5);
}

TEST(FrameArithmeticTest, MergeAtEqualPositionsAddsAllButTheBorder) {
    auto merge = Frame(40000);
    auto reference = Frame(30000);
    PixelAt(*merge, 50, 50) = 7;
    MergeFrames(*merge, *reference, 200, 150, 200, 150, false);
    EXPECT_EQ(PixelAt(*merge, 50, 50), 30007);
    EXPECT_EQ(PixelAt(*merge, 1, 1), 65535);  // 40000 + 30000 saturates
    EXPECT_EQ(PixelAt(*merge, 509, 289), 65535);
    // Column 0, columns 510 and 511 and row 0 keep the first picture's values.
    EXPECT_EQ(PixelAt(*merge, 0, 50), 30000);
    EXPECT_EQ(PixelAt(*merge, 510, 50), 30000);
    EXPECT_EQ(PixelAt(*merge, 511, 50), 30000);
    EXPECT_EQ(PixelAt(*merge, 50, 0), 30000);
    // The result is copied over the merge frame's area.
    EXPECT_TRUE(std::equal(merge->begin(), merge->begin() + kFramePixels, reference->begin()));
    EXPECT_EQ((*merge)[kFramePixels], 40000);
}

TEST(FrameArithmeticTest, MergeShiftsTheMergeFrameOntoTheReference) {
    auto merge = Frame(0);
    auto reference = Frame(0);
    // A star at (103, 98) in the merge image is the one at (100, 100) in the reference.
    PixelAt(*merge, 103, 98) = 500;
    PixelAt(*reference, 100, 100) = 20;
    MergeFrames(*merge, *reference, 100, 100, 103, 98, false);
    EXPECT_EQ(PixelAt(*merge, 100, 100), 520);
    EXPECT_EQ(PixelAt(*merge, 103, 98), 0);
    // dx = 3: reference columns whose partner would be 510 or beyond have none.
    auto bright = Frame(1000);
    auto dim = Frame(1);
    MergeFrames(*bright, *dim, 100, 100, 103, 98, true);
    EXPECT_EQ(PixelAt(*bright, 0, 100), 500);    // partner column 3, averaged
    EXPECT_EQ(PixelAt(*bright, 506, 100), 500);  // partner column 509
    EXPECT_EQ(PixelAt(*bright, 507, 100), 1);
    // dy = -2: rows 0 and 1 would take rows -2 and -1, row 2 would take row 0: no partners.
    EXPECT_EQ(PixelAt(*bright, 50, 2), 1);
    EXPECT_EQ(PixelAt(*bright, 50, 3), 500);
    EXPECT_EQ(PixelAt(*bright, 50, 289), 500);
}

TEST(FrameArithmeticTest, MergeLeavesTheLabelBandOfEitherFrame) {
    for (bool labelReference : {true, false}) {
        auto merge = Frame(1000);
        auto reference = Frame(1);
        ImageBuffer& labelled = labelReference ? *reference : *merge;
        std::fill_n(labelled.begin(), 6, uint16_t{17});
        MergeFrames(*merge, *reference, 0, 0, 0, 0, false);
        // The band comes from the reference frame, as the whole result does.
        EXPECT_EQ(PixelAt(*merge, 50, 9), 1) << labelReference;
        EXPECT_EQ(PixelAt(*merge, 50, 10), 1) << labelReference;  // row h itself
        EXPECT_EQ(PixelAt(*merge, 50, 11), 1001) << labelReference;
    }
}

TEST(FrameArithmeticTest, MergeWithPositionsFarApartChangesNothing) {
    auto merge = Frame(1000);
    auto reference = Frame(1);
    MergeFrames(*merge, *reference, INT_MIN, INT_MIN, INT_MAX, INT_MAX, false);
    EXPECT_TRUE(std::all_of(merge->begin(), merge->begin() + kFramePixels,
                            [](uint16_t word) { return word == 1; }));
    merge = Frame(1000);
    MergeFrames(*merge, *reference, INT_MAX, 0, INT_MIN, 0, true);
    EXPECT_EQ(PixelAt(*merge, 255, 100), 1);
}

}  // namespace
}  // namespace talvor
