// The Contrast menu's steps on a session: undo copy, progress, label band, history.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "processing/contrast_stretches.h"
#include "processing/filter_frames.h"
#include "processing/stretch_table.h"
#include "processing/stretch_tables.h"
#include "support/session_fixture.h"

namespace talvor {
namespace {

using testing::MarkLabelled;
using testing::RandomFrame;

class ContrastStretchesTest : public testing::SessionTest {
  protected:
    ContrastStretchesTest() { images->CurrentImage = *RandomFrame(7); }

    int FilledHistorySlots() const {
        int filled = 0;
        for (const auto& line : session.state.HistoryLines) {
            filled += line.empty() ? 0 : 1;
        }
        return filled;
    }
};

TEST_F(ContrastStretchesTest, AStretchTakesTheUndoCopyShowsProgressAndRefreshes) {
    const ImageBuffer before = images->CurrentImage;
    InvertToNegative(session);

    EXPECT_EQ(images->UndoImage, before);
    for (int i = 0; i < kFramePixels; ++i) {
        ASSERT_EQ(images->CurrentImage[i], 65534 - 2 * (before[i] >> 1)) << i;
    }
    EXPECT_EQ(ui.progressCaptions, std::vector<std::string>{"CONTRAST STRETCH"});
    std::vector<int> positions{0};
    for (int block = 0; block < kStretchBlocks; ++block) {
        positions.push_back(16 * block);
    }
    EXPECT_EQ(ui.progressPositions, positions);
    EXPECT_FALSE(ui.progressOpen);
    EXPECT_EQ(ui.busyDepth, 0);
    EXPECT_EQ(ui.loadedBitmaps.size(), 1u);
    EXPECT_EQ(session.state.HistoryLines[0], "Invert Image to Negative");
}

TEST_F(ContrastStretchesTest, ALabelledFrameKeepsItsLabelBandBitForBit) {
    MarkLabelled(images->CurrentImage);
    const ImageBuffer before = images->CurrentImage;
    LogarithmicStretch(session);
    SineLawStretch(session);
    AntilogarithmicStretch(session);
    constexpr int kBand = 10 * kFrameColumns;
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + kBand, images->CurrentImage.begin()));
    EXPECT_NE(images->CurrentImage[kBand], before[kBand]);
}

TEST_F(ContrastStretchesTest, AnUnlabelledFrameIsMappedFromItsFirstWord) {
    images->CurrentImage[4] = 17;
    images->CurrentImage[5] = 18;
    InvertToNegative(session);
    EXPECT_EQ(images->CurrentImage[4], 65518);
    EXPECT_EQ(images->CurrentImage[5], 65516);
}

TEST_F(ContrastStretchesTest, AFullHistoryStillStretchesButKeepsItsLines) {
    for (auto& line : session.state.HistoryLines) {
        line = "Gaussian Filter";
    }
    const ImageBuffer before = images->CurrentImage;
    NonLinearStretch(session, 25);
    EXPECT_NE(images->CurrentImage, before);
    EXPECT_EQ(session.state.HistoryLines[14], "Gaussian Filter");
}

TEST_F(ContrastStretchesTest, StepsWithoutEffectLeaveEverythingAlone) {
    const ImageBuffer before = images->CurrentImage;
    images->UndoImage.fill(3);
    NormalStretch(session, 100, 100);
    NormalStretch(session, 120, 100);
    PowerLawStretch(session, 1.0);
    session.display.BackgroundLevel = 2;
    RemoveBackground(session);
    EXPECT_EQ(images->CurrentImage, before);
    EXPECT_EQ(images->UndoImage[0], 3);
    EXPECT_EQ(FilledHistorySlots(), 0);
    EXPECT_TRUE(ui.progressCaptions.empty());
}

TEST_F(ContrastStretchesTest, EachStretchWritesItsHistoryLine) {
    NormalStretch(session, 12, 200);
    PowerLawStretch(session, 1.5);
    SineLawStretch(session);
    session.display.BackgroundLevel = 100;
    RemoveBackground(session);
    NonLinearStretch(session, 25);
    LogarithmicStretch(session);
    AntilogarithmicStretch(session);
    InvertToNegative(session);
    const std::vector<std::string> expected = {"Normal Stretch : max 200 ,min 12",
                                               "Power Stretch : 1.5",
                                               "Sine Stretch",
                                               "Background Removed : min 98",
                                               "Non-Linear Stretch : power 25",
                                               "Log Stretch",
                                               "Anti-Log Stretch",
                                               "Invert Image to Negative"};
    EXPECT_EQ(std::vector<std::string>(session.state.HistoryLines.begin(),
                                       session.state.HistoryLines.begin() + 8),
              expected);
    EXPECT_EQ(FilledHistorySlots(), 8);
}

TEST_F(ContrastStretchesTest, RemoveBackgroundUsesTheDisplayedLevel) {
    images->CurrentImage[20000] = 25087;  // index 12543
    images->CurrentImage[20001] = 25090;  // index 12545
    session.display.BackgroundLevel = 100;
    RemoveBackground(session);
    EXPECT_EQ(images->CurrentImage[20000], 0);
    EXPECT_EQ(images->CurrentImage[20001], 2);
}

}  // namespace
}  // namespace talvor
