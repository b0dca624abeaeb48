// One-step undo with its history rule, and the history text.

#include "processing/undo_history.h"

#include <gtest/gtest.h>

#include "processing/frame_arithmetic.h"
#include "processing/undo_copy.h"
#include "support/session_fixture.h"

namespace talvor {
namespace {

class UndoHistoryTest : public testing::SessionTest {
  protected:
    // A step as every processing step runs: undo copy, change, history line.
    void Step(uint16_t added, const char* line) {
        SaveUndoCopy(session.images);
        for (int i = 0; i < kFramePixels; ++i) {
            images->CurrentImage[i] = static_cast<uint16_t>(images->CurrentImage[i] + added);
        }
        AppendHistory(session.state, line);
    }
};

TEST_F(UndoHistoryTest, UndoTwiceRestoresTheSamePictureAndRemovesTwoLines) {
    Step(1, "Log Stretch");
    const ImageBuffer beforeSecond = images->CurrentImage;
    Step(5, "Gaussian Filter");
    UndoLastStep(session);
    EXPECT_EQ(images->CurrentImage, beforeSecond);
    EXPECT_EQ(session.state.HistoryLines[0], "Log Stretch");
    EXPECT_EQ(session.state.HistoryLines[1], "");
    EXPECT_FALSE(ui.loadedBitmaps.empty());
    UndoLastStep(session);
    EXPECT_EQ(images->CurrentImage, beforeSecond);  // the undo copy is kept, not swapped
    EXPECT_EQ(session.state.HistoryLines[0], "");
    UndoLastStep(session);  // an empty history stays empty
    EXPECT_EQ(session.state.HistoryLines[0], "");
}

TEST_F(UndoHistoryTest, AFullHistoryIsKept) {
    for (int i = 0; i < kHistorySlots; ++i) {
        AppendHistory(session.state, "Step " + std::to_string(i));
    }
    RemoveLastHistoryLine(session.state);
    EXPECT_EQ(session.state.HistoryLines[14], "Step 14");
    session.state.HistoryLines[14].clear();
    RemoveLastHistoryLine(session.state);
    EXPECT_EQ(session.state.HistoryLines[13], "");
    EXPECT_EQ(session.state.HistoryLines[12], "Step 12");
}

TEST_F(UndoHistoryTest, HistoryTextEndsEachLineWithASpaceAndStopsAtAShortSlot) {
    EXPECT_EQ(HistoryText(session.state), " \n");
    AppendHistory(session.state, "Log Stretch");
    AppendHistory(session.state, "Gaussian Filter");
    EXPECT_EQ(HistoryText(session.state), "Log Stretch \nGaussian Filter \n");
    session.state.HistoryLines[2] = "x";
    session.state.HistoryLines[3] = "Median Filter";
    EXPECT_EQ(HistoryText(session.state), "Log Stretch \nGaussian Filter \n");
    // Slot 0 is shown even when only slot 1 holds a line.
    session.state.HistoryLines[0].clear();
    EXPECT_EQ(HistoryText(session.state), " \nGaussian Filter \n");
    ShowProcessingHistory(session);
    EXPECT_EQ(ui.messages, std::vector<std::string>{" \nGaussian Filter \n"});
}

}  // namespace
}  // namespace talvor
