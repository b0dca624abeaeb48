// Quick save and auto-save never replace a frame: the number is the first free one after the
// counter, the counter is kept only after the frame, and the folder stays inside the data folder.

#include "image/quick_save.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "image/settings_file.h"
#include "support/hostile_files.h"
#include "support/session_fixture.h"

namespace talvor {
namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class QuickSaveTest : public testing::SessionTest {
  protected:
    QuickSaveResult Save() {
        return QuickSaveFits(session, images->CurrentImage, {2026, 12, 7, 22, 0, 0},
                             {2026, 12, 7, 22, 0, 10});
    }
    fs::path AutoSave() const { return folder.Path() / "autosave"; }
    void Plant(const std::string& name, const std::string& text) {
        fs::create_directories(AutoSave());
        std::ofstream(AutoSave() / name) << text;
    }
    uint16_t CounterInTheSettingsFile() {
        session.settings.QuickSaveCounter = 0;
        EXPECT_EQ(ReadSettings(session), SettingsResult::Done);
        return session.settings.QuickSaveCounter;
    }
};

TEST_F(QuickSaveTest, ACounterThatLagsTheFolderSkipsEveryTakenName) {
    // The settings file was deleted, as its own message tells the user: the counter is 0 again.
    Plant("IMG1.FIT", "an earlier night");
    Plant("img2.fit", "in other letters");
    fs::create_symlink(folder.Path() / "gone" / "x", AutoSave() / "IMG3.FIT");  // dangling
    const auto outside = folder.Path() / "outside.fit";
    std::ofstream(outside) << "outside";
    fs::create_symlink(outside, AutoSave() / "IMG4.FIT");
    Plant("IMG6.FIT", "later");

    ASSERT_EQ(Save(), QuickSaveResult::Saved);
    EXPECT_EQ(fs::file_size(AutoSave() / "IMG5.FIT"), 303040u);
    EXPECT_EQ(Contents(AutoSave() / "IMG1.FIT"), "an earlier night");
    EXPECT_EQ(Contents(AutoSave() / "img2.fit"), "in other letters");
    EXPECT_FALSE(fs::exists(folder.Path() / "gone"));
    EXPECT_EQ(Contents(outside), "outside");
    EXPECT_EQ(CounterInTheSettingsFile(), 5);

    ASSERT_EQ(Save(), QuickSaveResult::Saved);
    EXPECT_EQ(Contents(AutoSave() / "IMG6.FIT"), "later");
    EXPECT_TRUE(fs::exists(AutoSave() / "IMG7.FIT"));
    EXPECT_EQ(CounterInTheSettingsFile(), 7);
}

TEST_F(QuickSaveTest, TheCountWrapsPastTakenNumbers) {
    Plant("IMG65530.FIT", "old");
    Plant("IMG1.FIT", "old");
    session.settings.QuickSaveCounter = 65529;
    ASSERT_EQ(Save(), QuickSaveResult::Saved);
    EXPECT_TRUE(fs::exists(AutoSave() / "IMG2.FIT"));
    EXPECT_EQ(session.settings.QuickSaveCounter, 2);
}

TEST_F(QuickSaveTest, AFailedSettingsWriteAfterTheFrameCannotMakeTheNextSaveOverwriteIt) {
    // A folder where the settings file belongs: the frame is written, the counter is not.
    fs::create_directories(AutoSave() / "talvor.ini");
    EXPECT_EQ(Save(), QuickSaveResult::SettingsNotWritten);
    const std::string first = Contents(AutoSave() / "IMG1.FIT");
    ASSERT_EQ(first.size(), 303040u);
    // After a restart the counter is the one of the file, which never got the new number.
    session.settings.QuickSaveCounter = 0;
    images->CurrentImage.fill(7);
    EXPECT_EQ(Save(), QuickSaveResult::SettingsNotWritten);
    EXPECT_EQ(Contents(AutoSave() / "IMG1.FIT"), first);
    EXPECT_TRUE(fs::exists(AutoSave() / "IMG2.FIT"));
}

TEST_F(QuickSaveTest, AFailedFrameWriteKeepsTheCounterAndLeavesNoFile) {
    // A file where the sub-directory should be.
    Plant("night1", "not a folder");
    session.settings.AutoSaveSubDirectory = "night1";
    session.settings.QuickSaveCounter = 4;
    EXPECT_EQ(Save(), QuickSaveResult::NotWritten);
    EXPECT_EQ(session.settings.QuickSaveCounter, 4);
    EXPECT_EQ(Contents(AutoSave() / "night1"), "not a folder");
}

TEST_F(QuickSaveTest, TheSubDirectoryCannotLeadOutOfTheDataFolder) {
    const fs::path data = folder.Path() / "data";
    Session inner(*images, DataDirectory(data), clock, ui);
    inner.settings.AutoSaveSubDirectory = "../../escaped";
    ASSERT_EQ(
        QuickSaveFits(inner, images->CurrentImage, {2026, 1, 1, 0, 0, 0}, {2026, 1, 1, 0, 0, 1}),
        QuickSaveResult::Saved);
    EXPECT_TRUE(fs::exists(data / "escaped" / "IMG1.FIT"));
    EXPECT_FALSE(fs::exists(folder.Path() / "escaped"));
    EXPECT_FALSE(fs::exists(folder.Path().parent_path() / "escaped"));
}

TEST_F(QuickSaveTest, AFullDiskSavesNothingAndKeepsTheFramesAndTheCounter) {
    testing::TinyTmpfs disk(folder.Path() / "disk", 128 * 1024);
    if (!disk.Mounted()) {
        GTEST_SKIP() << disk.Reason();
    }
    Session onDisk(*images, DataDirectory(disk.Path()), clock, ui);
    fs::create_directories(disk.Path() / "autosave");
    std::ofstream(disk.Path() / "autosave" / "IMG1.FIT") << "an earlier night";
    EXPECT_EQ(
        QuickSaveFits(onDisk, images->CurrentImage, {2026, 1, 1, 0, 0, 0}, {2026, 1, 1, 0, 0, 1}),
        QuickSaveResult::NotWritten);
    EXPECT_EQ(onDisk.settings.QuickSaveCounter, 0);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(disk.Path() / "autosave")) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"IMG1.FIT"});
    EXPECT_EQ(Contents(disk.Path() / "autosave" / "IMG1.FIT"), "an earlier night");
}

}  // namespace
}  // namespace talvor
