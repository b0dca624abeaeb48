// Loading into the current and second image, saving, and quick save, as the commands run them.

#include "image/image_loading.h"

#include <gtest/gtest.h>

#include <fstream>

#include "display/refresh_display.h"
#include "image/file_bytes.h"
#include "image/fits_file.h"
#include "image/native_file.h"
#include "image/quick_save.h"
#include "image/settings_file.h"
#include "support/session_fixture.h"

namespace talvor {
namespace {

class ImageLoadingTest : public testing::SessionTest {
  protected:
    std::filesystem::path Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        const auto file = folder.Path() / name;
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
        return file;
    }
    static ImageBuffer Flat(uint16_t value) {
        ImageBuffer frame;
        frame.fill(value);
        return frame;
    }
};

TEST_F(ImageLoadingTest, NativeFileLoadsWithItsTitleAndClearsTheHistory) {
    const auto file = Write("~m42", EncodeNativeFile(Flat(1234)));
    AppendHistory(session.state, "Log Stretch");
    session.state.Fits.object = "old";
    session.state.Fits.origin = "kept";
    LoadIntoCurrentImage(session, file, "~m42");
    EXPECT_EQ(PixelAt(images->CurrentImage, 509, 289), 1234);
    EXPECT_EQ(PixelAt(images->CurrentImage, 510, 289), 65025);  // left as it was
    EXPECT_EQ(session.state.ImageTitle, "~m42");
    EXPECT_EQ(session.state.HistoryLines[0], "");
    EXPECT_EQ(session.state.Fits.object, "");
    EXPECT_EQ(session.state.Fits.origin, "kept");
    EXPECT_EQ(ui.captions.back(), "Talvor - ~m42");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.busyDepth, 0);
}

TEST_F(ImageLoadingTest, ASizeOneByteOffIsRefusedWithoutTouchingAnything) {
    auto bytes = EncodeNativeFile(Flat(1234));
    bytes.push_back(0);
    const auto file = Write("~odd", bytes);
    AppendHistory(session.state, "Log Stretch");
    LoadIntoCurrentImage(session, file, "~odd");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], "You didn't choose an Zenka or a suitable FITS File");
    EXPECT_EQ(PixelAt(images->CurrentImage, 0, 289), 65025);
    EXPECT_EQ(session.state.HistoryLines[0], "Log Stretch");
    EXPECT_TRUE(ui.captions.empty());
    LoadIntoCurrentImage(session, folder.Path() / "missing", "missing");
    EXPECT_EQ(ui.messages.size(), 2u);
}

TEST_F(ImageLoadingTest, ARefusedOpenChangesNothing) {
    // The picture shown came from a file with texts and history of its own.
    WorkingState shown;
    shown.Fits.object = "M42";
    shown.HistoryLines[0] = "Log Stretch";
    const auto good = Write("good.FIT", EncodeFitsFile(Flat(700), shown.Fits, shown, false));
    ASSERT_EQ(LoadIntoCurrentImage(session, good, "good.fit"), LoadResult::Loaded);
    ui.captions.clear();

    WorkingState written;
    auto bytes = EncodeFitsFile(Flat(500), written.Fits, written, false);
    bytes[80 + 28] = '3';  // BITPIX 36: of our size, but no FITS any reader takes
    const auto broken = Write("foreign.fit", bytes);
    EXPECT_EQ(LoadIntoCurrentImage(session, broken, "foreign.fit"), LoadResult::Refused);
    const auto odd = Write("odd.fit", std::vector<uint8_t>(1000, 'x'));
    EXPECT_EQ(LoadIntoCurrentImage(session, odd, "odd.fit"), LoadResult::Refused);
    EXPECT_EQ(ui.messages, (std::vector<std::string>{
                               "Unable to load FITS file, File was not saved by this program",
                               "You didn't choose an Zenka or a suitable FITS File"}));
    EXPECT_TRUE(ui.captions.empty());
    EXPECT_EQ(images->CurrentImage[0], 700);
    EXPECT_EQ(session.state.Fits.object, "M42");
    EXPECT_EQ(session.state.HistoryLines[0], "Log Stretch");
    // The next refresh still names the picture that is shown.
    RefreshDisplay(session);
    EXPECT_EQ(ui.captions.back(), "Talvor - good.fit");
}

TEST_F(ImageLoadingTest, QuickSaveDatesOnlyCapturesAndKeepsAnOpenedFilesDate) {
    WorkingState written;
    written.Fits.date = "2025-01-31";
    written.Fits.time = "03:04:05";
    const auto file = Write("old.fit", EncodeFitsFile(Flat(1), written.Fits, written, false));
    ASSERT_EQ(LoadIntoCurrentImage(session, file, "old.fit"), LoadResult::Loaded);
    // The capture of this run is older than the file that is now shown.
    const CalendarTime start{2026, 12, 7, 22, 0, 0};
    const CalendarTime end{2026, 12, 7, 22, 0, 10};
    ASSERT_EQ(QuickSaveFits(session, images->CurrentImage, start, end), QuickSaveResult::Saved);
    const auto saved = ReadFileBytes(folder.Path() / "AUTOSAVE" / "IMG1.FIT", 6000);
    ASSERT_TRUE(saved);
    EXPECT_EQ(std::string(saved->begin() + 800, saved->begin() + 822), "DATE-OBS= '2025-01-31'");
    EXPECT_EQ(std::string(saved->begin() + 880, saved->begin() + 900), "TIME-OBS= '03:04:05'");

    // No capture and no date: no DATE-OBS card rather than 1970.
    session.state = WorkingState{};
    ASSERT_EQ(QuickSaveFits(session, images->CurrentImage, {}, {}), QuickSaveResult::Saved);
    const auto undated = ReadFileBytes(folder.Path() / "AUTOSAVE" / "IMG2.FIT", 6000);
    ASSERT_TRUE(undated);
    EXPECT_EQ(std::string(undated->begin() + 800, undated->begin() + 880), std::string(80, ' '));

    // A capture is dated by the middle of its exposure.
    BeginCapturedImage(session.state, session.settings);
    ASSERT_EQ(QuickSaveFits(session, images->CurrentImage, start, end), QuickSaveResult::Saved);
    EXPECT_EQ(session.state.Fits.date, "2026-12-07");
    EXPECT_EQ(session.state.Fits.time, "22:00:05");
}

TEST_F(ImageLoadingTest, ACaptureTakesTheSettingsTextsInPlaceOfAnOpenedFilesTexts) {
    session.settings.Fits.object = "tonight";
    WorkingState written;
    written.Fits.object = "yesterday";
    written.Fits.date = "2025-01-31";
    const auto file = Write("old.fit", EncodeFitsFile(Flat(1), written.Fits, written, false));
    ASSERT_EQ(LoadIntoCurrentImage(session, file, "old.fit"), LoadResult::Loaded);
    EXPECT_EQ(session.state.Fits.object, "yesterday");
    BeginCapturedImage(session.state, session.settings);
    EXPECT_EQ(session.state.ImageTitle, "Zenka Camera Image");
    EXPECT_EQ(session.state.Fits.object, "tonight");
    EXPECT_EQ(session.state.Fits.date, "");
    // Texts the user edited for the image stay for the next capture.
    session.state.Fits.object = "typed";
    session.state.TextsOrigin = HeaderTextsOrigin::Edited;
    BeginCapturedImage(session.state, session.settings);
    EXPECT_EQ(session.state.Fits.object, "typed");
}

TEST_F(ImageLoadingTest, SecondImageTakesNativeAndCurrentFitsOnly) {
    WorkingState written;
    written.UnsignedFits = true;
    const auto fits = Write("dark.fit", EncodeFitsFile(Flat(800), written.Fits, written, false));
    EXPECT_EQ(LoadIntoSecondImage(session, fits), OperandResult::Loaded);
    EXPECT_EQ(images->SecondImage[0], 800);
    EXPECT_TRUE(session.state.UnsignedFits);
    EXPECT_EQ(session.state.ImageTitle, "");

    const auto native = Write("~dark", EncodeNativeFile(Flat(900)));
    EXPECT_EQ(LoadIntoSecondImage(session, native), OperandResult::Loaded);
    EXPECT_EQ(images->SecondImage[0], 900);

    std::vector<uint8_t> layout2(300160, ' ');
    const auto older = Write("old.fit", layout2);
    EXPECT_EQ(LoadIntoSecondImage(session, older), OperandResult::Refused);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], "Sorry, you didn't choose a valid Zenka File");
    EXPECT_TRUE(ui.captions.empty());
}

TEST_F(ImageLoadingTest, FailedSaveKeepsTheOldFile) {
    const auto file = folder.Path() / "~kept";
    SaveNative(session, file);
    EXPECT_EQ(std::filesystem::file_size(file), 295800u);
    EXPECT_TRUE(ui.messages.empty());
    SaveNative(session, folder.Path() / "no-such-folder" / "~x");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], "Unable to create/overwrite Zenka File");
}

TEST(QuickSaveNumberTest, CounterAdvancesAndWrapsAfter65529) {
    EXPECT_EQ(QuickSaveNumberAfter(0), 1);
    EXPECT_EQ(QuickSaveNumberAfter(4), 5);
    EXPECT_EQ(QuickSaveNumberAfter(65529), 65530);
    EXPECT_EQ(QuickSaveNumberAfter(65530), 1);
    EXPECT_EQ(QuickSaveNumberAfter(65535), 1);
}

TEST(UniversalTimeTest, OffsetIsAddedToTheLocalClockAcrossTheDate) {
    const ObservationStamp stamp =
        MidExposureStamp({2026, 3, 2, 21, 29, 0}, {2026, 3, 2, 21, 31, 0}, 8);
    EXPECT_EQ(stamp.time, "05:30:00");
    EXPECT_EQ(stamp.date, "2026-03-03");
    const ObservationStamp west =
        MidExposureStamp({2027, 1, 1, 1, 0, 0}, {2027, 1, 1, 1, 0, 5}, -5);
    EXPECT_EQ(west.date, "2026-12-31");
    EXPECT_EQ(west.time, "20:00:02");
}

TEST_F(ImageLoadingTest, QuickSaveWritesTheNumberedFileAndKeepsTheCounter) {
    session.settings.QuickSaveCounter = 4;
    ASSERT_EQ(QuickSaveFits(session, images->CurrentImage, {2026, 12, 7, 22, 0, 0},
                            {2026, 12, 7, 22, 0, 10}),
              QuickSaveResult::Saved);
    const auto file = folder.Path() / "AUTOSAVE" / "IMG5.FIT";
    EXPECT_EQ(std::filesystem::file_size(file), 303040u);
    session.settings.QuickSaveCounter = 0;
    ASSERT_EQ(ReadSettings(session), SettingsResult::Done);
    EXPECT_EQ(session.settings.QuickSaveCounter, 5);
}

}  // namespace
}  // namespace talvor
