// Files given to the program that are no regular, readable files: a FIFO, a device, a folder, a
// file the user may not read. Each is refused with the program's message, at once and without
// being opened, and the picture on show stays as it was.

#include "image/file_bytes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "image/image_loading.h"
#include "image/native_file.h"
#include "image/settings_file.h"
#include "support/hostile_files.h"
#include "support/session_fixture.h"

namespace talvor {
namespace {

namespace fs = std::filesystem;
using testing::WatchedFifo;

constexpr const char* kNotSuitable = "You didn't choose an Zenka or a suitable FITS File";
constexpr const char* kNotValidOperand = "Sorry, you didn't choose a valid Zenka File";

class FileKindTest : public testing::SessionTest {
  protected:
    fs::path Native(const std::string& name, uint16_t value) {
        ImageBuffer frame;
        frame.fill(value);
        const auto bytes = EncodeNativeFile(frame);
        const auto file = folder.Path() / name;
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
        return file;
    }
};

TEST_F(FileKindTest, OnlyReadableRegularFilesAreRead) {
    WatchedFifo fifo(folder.Path() / "fifo");
    const auto native = Native("~frame", 5);
    fs::create_directory(folder.Path() / "folder");
    fs::create_symlink(fifo.Path(), folder.Path() / "link-to-fifo");
    for (const fs::path& refused :
         {fifo.Path(), folder.Path() / "link-to-fifo", fs::path("/dev/null"),
          folder.Path() / "folder", folder.Path() / "missing"}) {
        EXPECT_FALSE(RegularFileSize(refused)) << refused;
        EXPECT_FALSE(ReadFileBytes(refused, 16)) << refused;
    }
    EXPECT_FALSE(fifo.Blocked());
    EXPECT_EQ(RegularFileSize(native), 295800u);
    EXPECT_EQ(ReadFileBytes(native, 303040)->size(), 295800u);

    ASSERT_EQ(::chmod(native.c_str(), 0), 0);
    testing::WithoutFileOverride notRoot;
    EXPECT_FALSE(RegularFileSize(native));
    EXPECT_FALSE(ReadFileBytes(native, 16));
}

TEST_F(FileKindTest, AFifoAsPictureOrOperandIsRefusedWithTheMessage) {
    WatchedFifo fifo(folder.Path() / "dark.fit");
    AppendHistory(session.state, "Log Stretch");
    LoadIntoCurrentImage(session, fifo.Path(), "dark.fit");
    EXPECT_EQ(LoadIntoSecondImage(session, fifo.Path()), OperandResult::Refused);
    EXPECT_FALSE(fifo.Blocked());
    EXPECT_EQ(ui.messages, (std::vector<std::string>{kNotSuitable, kNotValidOperand}));
    EXPECT_TRUE(ui.captions.empty());
    EXPECT_EQ(session.state.HistoryLines[0], "Log Stretch");
}

TEST_F(FileKindTest, AnUnreadableFileOfNativeSizeDoesNotOpenAsThePictureOnShow) {
    const auto locked = Native("~locked", 4000);
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    const ImageBuffer before = images->CurrentImage;
    AppendHistory(session.state, "Log Stretch");
    {
        testing::WithoutFileOverride notRoot;
        LoadIntoCurrentImage(session, locked, "~locked");
        EXPECT_EQ(LoadIntoSecondImage(session, locked), OperandResult::Refused);
    }
    EXPECT_EQ(ui.messages, (std::vector<std::string>{kNotSuitable, kNotValidOperand}));
    EXPECT_TRUE(ui.captions.empty());
    EXPECT_EQ(session.state.HistoryLines[0], "Log Stretch");
    EXPECT_TRUE(images->CurrentImage == before);
}

TEST_F(FileKindTest, AFifoAsTheSettingsFileReadsAsMissing) {
    fs::create_directories(folder.Path() / "autosave");
    WatchedFifo fifo(folder.Path() / "autosave" / "talvor.ini");
    session.settings.RaBacklash = 7;
    EXPECT_EQ(ReadSettings(session), SettingsResult::Unreadable);
    EXPECT_FALSE(fifo.Blocked());
    EXPECT_EQ(session.settings.RaBacklash, 7);
}

}  // namespace
}  // namespace talvor
