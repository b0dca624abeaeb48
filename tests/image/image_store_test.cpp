#include "core/image_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "core/label_band.h"
#include "core/program_settings.h"
#include "core/working_state.h"

namespace talvor {
namespace {

TEST(ImageStoreTest, StartUpHoldsTheRampInThreeStoresAndAnEmptyFlat) {
    const auto store = CreateImageStore();
    for (const ImageBuffer* frame :
         {&store->CurrentImage, &store->SecondImage, &store->UndoImage}) {
        EXPECT_EQ(PixelAt(*frame, 0, 0), 0);
        EXPECT_EQ(PixelAt(*frame, 511, 1), 225);
        EXPECT_EQ(PixelAt(*frame, 300, 289), 65025);
    }
    EXPECT_EQ(std::count(store->FlatImage.begin(), store->FlatImage.begin() + kFramePixels, 0),
              kFramePixels);
    EXPECT_EQ(store->DisplayPalette[0].flags, 1);
    EXPECT_EQ(store->DisplayPalette[200].red, 200);
    EXPECT_EQ(store->DisplayPalette[200].blue, 200);
}

TEST(ImageStoreTest, CopyTouchesExactlyTheFrameArea) {
    const auto store = CreateImageStore();
    store->UndoImage.fill(9);
    store->CurrentImage[kFramePixels] = 1234;
    CopyFrame(store->CurrentImage, store->UndoImage);
    EXPECT_EQ(store->UndoImage[kFramePixels - 1], 65025);
    EXPECT_EQ(store->UndoImage[kFramePixels], 9);
    EXPECT_EQ(store->UndoImage[kBufferWords - 1], 9);
}

// The copy put aside streams whole 16-byte blocks past the caches: at every alignment of the
// destination it gives the same words as the plain copy and leaves the words past the frame.
TEST(ImageStoreTest, CopyAsideMatchesThePlainCopyAtEveryAlignment) {
    const auto source = std::make_unique<ImageBuffer>();
    for (int i = 0; i < kBufferWords; ++i) {
        (*source)[i] = static_cast<uint16_t>(i * 2654435761u >> 7);
    }
    for (int shift = 0; shift < 8; ++shift) {
        // A destination starting shift words past a 16-byte boundary (the allocation's start).
        std::vector<uint16_t> storage(kBufferWords + 8);
        auto* destination = new (storage.data() + shift) ImageBuffer;
        std::fill(destination->begin(), destination->end(), uint16_t{9});
        CopyFrameAside(*source, *destination);
        ASSERT_TRUE(
            std::equal(source->begin(), source->begin() + kFramePixels, destination->begin()))
            << shift;
        EXPECT_EQ((*destination)[kFramePixels], 9) << shift;
        EXPECT_EQ((*destination)[kBufferWords - 1], 9) << shift;
    }
}

TEST(ImageStoreTest, LabelBandIsMarkedByWordsFourAndFive) {
    ImageBuffer frame{};
    EXPECT_EQ(FirstRowAfterLabel(frame), 0);
    frame[4] = 17;
    frame[5] = 17;
    EXPECT_EQ(FirstRowAfterLabel(frame), 10);
}

TEST(WorkingStateTest, HistoryFillsFreeSlotsAndKeepsAFullHistory) {
    WorkingState state;
    AppendHistory(state, "Log Stretch");
    AppendHistory(state, std::string(60, 'a'));
    EXPECT_EQ(state.HistoryLines[0], "Log Stretch");
    EXPECT_EQ(state.HistoryLines[1].size(), 39u);
    for (int i = 2; i < kHistorySlots; ++i) {
        AppendHistory(state, "step " + std::to_string(i));
    }
    const auto full = state.HistoryLines;
    AppendHistory(state, "one too many");
    EXPECT_EQ(state.HistoryLines, full);
    ClearHistory(state);
    EXPECT_TRUE(state.HistoryLines[14].empty());
    AppendHistory(state, "Invert Image to Negative");
    EXPECT_EQ(state.HistoryLines[0], "Invert Image to Negative");
}

TEST(WorkingStateTest, LongTitlesAreHeldWhole) {
    WorkingState state;
    SetTitle(state, "a-very-long-file-title-of-the-night.fit");
    EXPECT_EQ(state.ImageTitle, "a-very-long-file-title-of-the-night.fit");
}

TEST(ProgramSettingsTest, BackgroundColours) {
    EXPECT_EQ(BackgroundColour(WindowBackground::LightGrey), (Rgb{192, 192, 192}));
    EXPECT_EQ(BackgroundColour(WindowBackground::Red), (Rgb{120, 40, 40}));
    EXPECT_EQ(BackgroundColour(WindowBackground::Grey), (Rgb{90, 90, 90}));
    EXPECT_EQ(ProgramSettings{}.Telescope, TelescopeType::None);
}

}  // namespace
}  // namespace talvor
