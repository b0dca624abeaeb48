// The platform layer: the data directory that stands for the drive, safe file writes and the
// command line.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/command_line.h"
#include "core/atomic_file.h"
#include "core/data_directory.h"
#include "support/session_fixture.h"

namespace talvor {
namespace {

using testing::TemporaryDirectory;

std::string Contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(DataDirectoryTest, DriveNamesMapIntoTheFolderMatchingCaseOfExistingEntries) {
    TemporaryDirectory folder;
    const DataDirectory data(folder.Path());
    EXPECT_EQ(data.Resolve("c:\\talvor.bmp"), folder.Path() / "talvor.bmp");
    std::filesystem::create_directory(folder.Path() / "autosave");
    std::ofstream(folder.Path() / "autosave" / "Talvor.INI") << "x";
    EXPECT_EQ(data.Resolve("c:\\AUTOSAVE\\IMG1.FIT"), folder.Path() / "autosave" / "IMG1.FIT");
    EXPECT_EQ(data.Resolve("C:\\autosave\\talvor.ini"), folder.Path() / "autosave" / "Talvor.INI");
    EXPECT_EQ(data.Resolve("c:/AutoSave/"), folder.Path() / "autosave");
    EXPECT_EQ(data.Resolve("/tmp/elsewhere.fit"), std::filesystem::path("/tmp/elsewhere.fit"));
}

TEST(DataDirectoryTest, NoDriveNameLeadsOutOfTheDataFolder) {
    TemporaryDirectory folder;
    const DataDirectory data(folder.Path() / "data");
    const auto root = folder.Path() / "data";
    // An auto-save sub-directory of "..\..\escaped" from a settings file.
    EXPECT_EQ(data.Resolve("c:\\AUTOSAVE\\..\\..\\escaped\\IMG1.FIT"),
              root / "escaped" / "IMG1.FIT");
    EXPECT_EQ(data.Resolve("c:\\..\\..\\..\\etc\\passwd"), root / "etc" / "passwd");
    EXPECT_EQ(data.Resolve("c:\\AUTOSAVE\\.\\night1\\..\\night2"), root / "AUTOSAVE" / "night2");
    EXPECT_EQ(data.Resolve("c:\\AUTOSAVE\\/tmp/x"), root / "AUTOSAVE" / "tmp" / "x");
}

TEST(DataDirectoryTest, CreateDirectoryTellsWhetherItMadeTheFolder) {
    TemporaryDirectory folder;
    const DataDirectory data(folder.Path() / "fresh");
    EXPECT_TRUE(data.CreateDirectory("c:\\autosave"));
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / "fresh" / "autosave"));
    EXPECT_FALSE(data.CreateDirectory("c:\\AUTOSAVE"));
}

TEST(DataDirectoryTest, DefaultFollowsXdgDataHome) {
    ::setenv("XDG_DATA_HOME", "/srv/data", 1);
    EXPECT_EQ(DataDirectory::DefaultRoot(), std::filesystem::path("/srv/data/talvor"));
    ::unsetenv("XDG_DATA_HOME");
    ::setenv("HOME", "/home/ann", 1);
    EXPECT_EQ(DataDirectory::DefaultRoot(), std::filesystem::path("/home/ann/.local/share/talvor"));
}

TEST(AtomicFileTest, CommitReplacesTheFileAndAnAbandonedWriteLeavesItWhole) {
    TemporaryDirectory folder;
    const auto file = folder.Path() / "frame.raw";
    std::ofstream(file) << "old contents";
    {
        AtomicFile out(file);
        ASSERT_TRUE(out.Write("new", 3));
        // Not committed: the write is abandoned, as when a later step fails.
    }
    EXPECT_EQ(Contents(file), "old contents");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                            std::filesystem::directory_iterator()),
              1);
    {
        AtomicFile out(file);
        ASSERT_TRUE(out.Write("new", 3));
        ASSERT_TRUE(out.Commit());
    }
    EXPECT_EQ(Contents(file), "new");
}

TEST(AtomicFileTest, MissingFolderFailsEveryStep) {
    TemporaryDirectory folder;
    AtomicFile out(folder.Path() / "no" / "file");
    EXPECT_FALSE(out.IsOpen());
    EXPECT_FALSE(out.Write("x", 1));
    EXPECT_FALSE(out.Commit());
}

TEST(CommandLineTest, KnownOptionsAndErrors) {
    CommandLine line = ParseCommandLine({"--simulate", "--data-dir", "/tmp/night"});
    EXPECT_TRUE(line.simulate);
    EXPECT_EQ(line.dataDirectory, std::filesystem::path("/tmp/night"));
    EXPECT_TRUE(line.error.empty());
    EXPECT_EQ(ParseCommandLine({"--data-dir=/x"}).dataDirectory, std::filesystem::path("/x"));
    EXPECT_TRUE(ParseCommandLine({"--help"}).showHelp);
    EXPECT_TRUE(ParseCommandLine({"--version"}).showVersion);
    EXPECT_FALSE(ParseCommandLine({"--data-dir"}).error.empty());
    EXPECT_EQ(ParseCommandLine({"--bogus"}).error, "unknown argument: --bogus");
    // The mount log belongs to the simulated mount, in either order of the options.
    EXPECT_EQ(ParseCommandLine({"--mount-log", "m.log", "--simulate"}).mountLog,
              std::filesystem::path("m.log"));
    EXPECT_FALSE(ParseCommandLine({"--mount-log", "m.log"}).error.empty());
    EXPECT_FALSE(ParseCommandLine({"--simulate", "--mount-log"}).error.empty());
    // The fast simulated camera belongs to the simulator too.
    EXPECT_TRUE(ParseCommandLine({"--fast-camera", "--simulate"}).fastCamera);
    EXPECT_FALSE(ParseCommandLine({"--fast-camera"}).error.empty());
    EXPECT_TRUE(ParseCommandLine({"--list-usb"}).listUsb);
    EXPECT_EQ(ParseCommandLine({"--camera-usb-id", "04d8:0001,04d8:0002"}).cameraUsbId,
              "04d8:0001,04d8:0002");
}

}  // namespace
}  // namespace talvor
