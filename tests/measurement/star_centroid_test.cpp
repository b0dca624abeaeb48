// The star centre search: background bins, rescaling, the moments that start at 1, the two
// result modes, the bounds of both frame geometries and the failure boxes.

#include "measurement/star_centroid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "measurement/measurement_fixture.h"

namespace talvor {
namespace {

constexpr const char* kOutsideBox =
    "TALVOR  - Find Centre: Find centre failed - outside image area";
constexpr const char* kNothingBox = "TALVOR  - Find Centre: Sorry, Nothing found to centre on";
const CentrePosition kUntouched{11, 22, 3, 4};

class StarCentroidTest : public testing::MeasurementTest {
  protected:
    StarCentroidTest() { session.guiding.StarCentre = kUntouched; }

    CentreResult Search(int x, int y, int r) { return FindStarCentre(session, x, y, Frame(), r); }
    const CentrePosition& Centre() { return session.guiding.StarCentre; }
    // A self-guided exposure: tenths on the full frame.
    void TenthsMode() { session.capture.SelfGuideArmed = true; }
};

TEST_F(StarCentroidTest, WindowsWithNothingAboveTheirBackgroundFailAndKeepTheCentre) {
    // All zero: peak 0, background 0.
    EXPECT_EQ(Search(100, 100, 8), CentreResult::NotFound);
    // Flat at 1000: mode bin 62, background 1011.
    Square(200, 100, 8, 1000);
    EXPECT_EQ(Search(200, 100, 8), CentreResult::NotFound);
    // Bin 47 (752..767) has background 767: nothing there can rise above it.
    Square(300, 100, 8, 767);
    EXPECT_EQ(Search(300, 100, 8), CentreResult::NotFound);
    // A saturated area: mode bin 4015 and up put the background at 65535.
    Square(400, 100, 8, 64240);
    Set(400, 100, 65535);
    EXPECT_EQ(Search(400, 100, 8), CentreResult::NotFound);
    EXPECT_EQ(Centre(), kUntouched);
    EXPECT_EQ(ui.errorBoxes, std::vector<std::string>(4, kNothingBox));
    EXPECT_TRUE(ui.messages.empty());

    // One bin lower still leaves room above the background.
    Square(300, 200, 8, 751);  // bin 46, background 750
    EXPECT_EQ(Search(300, 200, 8), CentreResult::Found);
    Square(400, 200, 8, 64239);  // bin 4014, background 65508
    Set(401, 200, 65535);
    EXPECT_EQ(Search(400, 200, 8), CentreResult::Found);
    EXPECT_EQ(Centre(), (CentrePosition{401, 200, 0, 0}));
}

TEST_F(StarCentroidTest, FlatWindowWithNothingAboveItsMeanCentresOnItsPixelOneOne) {
    // Background 0, everything rescaled to full scale, nothing above the mean: the three sums
    // stay at 1.
    Square(100, 50, 8, 5);
    ASSERT_EQ(Search(100, 50, 8), CentreResult::Found);
    EXPECT_EQ(Centre(), (CentrePosition{92 + 1, 42 + 1, 0, 0}));
    TenthsMode();
    ASSERT_EQ(Search(100, 50, 8), CentreResult::Found);
    EXPECT_EQ(Centre(), (CentrePosition{93, 43, 0, 0}));
}

TEST_F(StarCentroidTest, MomentsStartingAtOnePullTheCentreTowardsTheWindowsCorner) {
    // A single bright pixel at the window's centre (8, 8): 7.9 with tenths, 8 when rounded.
    Set(100, 100, 40000);
    ASSERT_EQ(Search(100, 100, 8), CentreResult::Found);
    EXPECT_EQ(Centre(), (CentrePosition{100, 100, 0, 0}));
    TenthsMode();
    ASSERT_EQ(Search(100, 100, 8), CentreResult::Found);
    EXPECT_EQ(Centre(), (CentrePosition{92 + 7, 92 + 7, 9, 9}));

    // Two equal pixels at window columns 8 and 9: the exact centre 8.5 comes out just below
    // it, so it rounds down to 8 and gives tenths 4.
    Set(200, 100, 65535);
    Set(201, 100, 65535);
    ASSERT_EQ(Search(200, 100, 8), CentreResult::Found);
    EXPECT_EQ(Centre(), (CentrePosition{192 + 8, 92 + 7, 4, 9}));
    session.capture.SelfGuideArmed = false;
    ASSERT_EQ(Search(200, 100, 8), CentreResult::Found);
    EXPECT_EQ(Centre(), (CentrePosition{200, 100, 0, 0}));
}

TEST_F(StarCentroidTest, FaintPixelsAreRescaledToTheFullRangeBeforeTheMoments) {
    // A peak of 2 becomes 65534 after the scale 65535 / 2; unscaled, the start value 1 of the
    // sums would drag the centre to 5.6.
    Set(100, 100, 2);
    TenthsMode();
    ASSERT_EQ(Search(100, 100, 8), CentreResult::Found);
    EXPECT_EQ(Centre(), (CentrePosition{99, 99, 9, 9}));
}

TEST_F(StarCentroidTest, BackgroundIsTheLowestOfTiedModeBins) {
    // A 3 x 3 window: four pixels in bin 10, four in bin 20, one in bin 0. The lower bin wins
    // the tie (background 163), so the pixels of 320 stand above it.
    Square(100, 100, 1, 160);
    for (int x = 99; x <= 101; ++x) {
        Set(x, 101, 320);
    }
    Set(101, 100, 320);
    Set(99, 100, 0);
    ASSERT_EQ(Search(100, 100, 1), CentreResult::Found);
    EXPECT_EQ(Centre(), (CentrePosition{100, 101, 0, 0}));
}

TEST_F(StarCentroidTest, StarOnASkyBackgroundIsFoundAtItsCentre) {
    Fill(1600);  // bin 100: background 1632
    Star(257, 143, 30000);
    ASSERT_EQ(Search(252, 146, 8), CentreResult::Found);
    EXPECT_EQ(Centre(), (CentrePosition{257, 143, 0, 0}));
}

TEST_F(StarCentroidTest, FullFrameBoundsAcceptTheWindowUpToTheLastColumnAndRow) {
    Fill(5);
    const int r = 8;
    EXPECT_EQ(Search(r, r, r), CentreResult::Found);
    EXPECT_EQ(Search(511 - r, 289 - r, r), CentreResult::Found);
    EXPECT_TRUE(ui.errorBoxes.empty());
    session.guiding.StarCentre = kUntouched;
    EXPECT_EQ(Search(r - 1, 100, r), CentreResult::NotFound);
    EXPECT_EQ(Search(100, r - 1, r), CentreResult::NotFound);
    EXPECT_EQ(Search(512 - r, 100, r), CentreResult::NotFound);
    EXPECT_EQ(Search(100, 290 - r, r), CentreResult::NotFound);
    EXPECT_EQ(Search(-2000000000, 2000000000, r), CentreResult::NotFound);
    EXPECT_EQ(Centre(), kUntouched);
    EXPECT_EQ(ui.errorBoxes, std::vector<std::string>(5, kOutsideBox));
}

TEST_F(StarCentroidTest, GuideFramesAre128SquareWithTheirOwnRowStride) {
    // A guide frame packed 128 to the row in the first 16384 words.
    auto packed = [this](int x, int y) -> uint16_t& { return Frame()[y * 128 + x]; };
    packed(60, 70) = 50000;
    session.state.SubFrameMode = true;
    ASSERT_EQ(Search(62, 68, 7), CentreResult::Found);
    EXPECT_EQ(Centre(), (CentrePosition{60, 70, 0, 0}));

    Fill(5);
    EXPECT_EQ(Search(127 - 7, 127 - 7, 7), CentreResult::Found);
    EXPECT_EQ(Search(128 - 7, 100, 7), CentreResult::NotFound);
    EXPECT_EQ(Search(100, 128 - 7, 7), CentreResult::NotFound);
    session.state.SubFrameMode = false;
    session.state.GuidingDisplay = true;
    EXPECT_EQ(Search(128 - 7, 100, 7), CentreResult::NotFound);
    EXPECT_EQ(ui.errorBoxes, std::vector<std::string>(3, kOutsideBox));
}

TEST_F(StarCentroidTest, SessionChoosesTenthsWhileGuidingUnlessDriftBelowAPixelIsIgnored) {
    EXPECT_FALSE(CentreSearchFor(session).tenths);
    session.capture.SelfGuideArmed = true;
    EXPECT_TRUE(CentreSearchFor(session).tenths);
    EXPECT_FALSE(CentreSearchFor(session).smallFrame);
    session.capture.SelfGuideArmed = false;
    session.state.GuidingDisplay = true;
    EXPECT_TRUE(CentreSearchFor(session).tenths);
    EXPECT_TRUE(CentreSearchFor(session).smallFrame);

    // A star centred at column 60.87 of a guide frame.
    Frame()[64 * 128 + 60] = 30000;
    Frame()[64 * 128 + 61] = 30000;
    Frame()[64 * 128 + 62] = 20000;
    ASSERT_EQ(Search(61, 64, 8), CentreResult::Found);
    EXPECT_EQ(Centre(), (CentrePosition{60, 63, 8, 9}));
    session.settings.IgnoreDriftBelowOnePixel = true;
    EXPECT_FALSE(CentreSearchFor(session).tenths);
    ASSERT_EQ(Search(61, 64, 8), CentreResult::Found);
    EXPECT_EQ(Centre(), (CentrePosition{61, 64, 0, 0}));
}

TEST_F(StarCentroidTest, SelfGuidedExposuresAndGuidingAreNotStoppedByANothingFoundBox) {
    session.capture.SelfGuideArmed = true;
    EXPECT_EQ(Search(100, 100, 8), CentreResult::NotFound);
    session.capture.SelfGuideArmed = false;
    session.guiding.GuidingRunning = true;
    EXPECT_EQ(Search(100, 100, 8), CentreResult::NotFound);
    EXPECT_TRUE(ui.errorBoxes.empty());
    // A window outside the frame is always told.
    EXPECT_EQ(Search(3, 100, 8), CentreResult::NotFound);
    EXPECT_EQ(ui.errorBoxes, std::vector<std::string>{kOutsideBox});
}

TEST_F(StarCentroidTest, GuideSearchesSkipLoneHotPixelsAndNeverShowABox) {
    // A star on a noisy sky (a repeating pattern of 40 levels) and a hot pixel 5 columns right
    // of it.
    for (int y = 0; y < kFrameRows; ++y) {
        for (int x = 0; x < kFrameColumns; ++x) {
            Set(x, y, static_cast<uint16_t>(1000 + (x * 7 + y * 13) % 41));
        }
    }
    const auto addStar = [this](int cx, int cy) {
        for (int dy = -3; dy <= 3; ++dy) {
            for (int dx = -3; dx <= 3; ++dx) {
                const double light = 8000.0 * std::exp(-(dx * dx + dy * dy) / 3.4);
                Set(cx + dx, cy + dy,
                    static_cast<uint16_t>(PixelAt(Frame(), cx + dx, cy + dy) + light));
            }
        }
    };
    addStar(100, 100);
    Set(105, 100, 60000);
    CentreSearch search;
    ASSERT_EQ(FindStarCentre(ui, search, session.guiding.StarCentre, 100, 100, Frame(), 8),
              CentreResult::Found);
    EXPECT_GT(Centre().x, 101);  // pulled towards the hot pixel
    search.ignoreLonePixels = true;
    ASSERT_EQ(FindStarCentre(ui, search, session.guiding.StarCentre, 100, 100, Frame(), 8),
              CentreResult::Found);
    EXPECT_EQ(Centre(), (CentrePosition{100, 100, 0, 0}));

    // Alone on the sky, the hot pixel draws no centre to itself: what is left is the sky's
    // own pattern, which the guide loop's star watch then judges.
    Set(305, 97, 60000);
    search.ignoreLonePixels = false;
    ASSERT_EQ(FindStarCentre(ui, search, session.guiding.StarCentre, 300, 100, Frame(), 8),
              CentreResult::Found);
    EXPECT_EQ(Centre(), (CentrePosition{305, 97, 0, 0}));
    search.ignoreLonePixels = true;
    ASSERT_EQ(FindStarCentre(ui, search, session.guiding.StarCentre, 300, 100, Frame(), 8),
              CentreResult::Found);
    EXPECT_LT(Centre().x, 303);
    EXPECT_GT(Centre().y, 98);

    // Two bright pixels side by side are kept: the one-pixel test is about lone ones.
    std::vector<uint32_t> window(9 * 9, 1000);
    window[4 * 9 + 4] = 9000;
    window[4 * 9 + 5] = 9000;
    window[7 * 9 + 1] = 9000;
    EXPECT_EQ(SuppressLonePixels(window, 9, 9), 1);
    EXPECT_EQ(window[7 * 9 + 1], 1000U);
    EXPECT_EQ(window[4 * 9 + 4], 9000U);

    search.silent = true;
    EXPECT_EQ(FindStarCentre(ui, search, session.guiding.StarCentre, 3, 100, Frame(), 8),
              CentreResult::NotFound);
    EXPECT_TRUE(ui.errorBoxes.empty());
}

TEST_F(StarCentroidTest, HalfSizesBeyondTheScratchStorageAreRefused) {
    Set(100, 100, 40000);
    EXPECT_EQ(Search(100, 100, 15), CentreResult::Found);
    EXPECT_EQ(Search(100, 100, 16), CentreResult::NotFound);
    EXPECT_EQ(Search(100, 100, -1), CentreResult::NotFound);
    EXPECT_TRUE(ui.errorBoxes.empty());
}

}  // namespace
}  // namespace talvor
