#include "image/settings_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>

#include "support/session_fixture.h"

namespace talvor {
namespace {

// Byte offsets of fields in the file.
constexpr std::size_t kMaskRadiusAt = 7;
constexpr std::size_t kRaBacklashAt = 21;
constexpr std::size_t kDecBacklashAt = 23;
constexpr std::size_t kIgnoreDriftAt = 25;
constexpr std::size_t kTelescopeAt = 26;
constexpr std::size_t kDirectionsAt = 32;
constexpr std::size_t kBackgroundAt = 15;
constexpr std::size_t kSubDirectoryAt = 1177;

class SettingsFileTest : public testing::SessionTest {
  protected:
    std::filesystem::path File() { return folder.Path() / "autosave" / "talvor.ini"; }

    std::vector<uint8_t> Bytes() {
        std::ifstream in(File(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void Store(const std::vector<uint8_t>& bytes) {
        std::filesystem::create_directories(File().parent_path());
        std::ofstream out(File(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    }
    // A file written from a fresh session with the given change, then the session reset.
    std::vector<uint8_t> FileWith(const std::function<void(Session&)>& change) {
        change(session);
        EXPECT_EQ(WriteSettings(session), SettingsResult::Done);
        session.settings = ProgramSettings{};
        session.state = WorkingState{};
        return Bytes();
    }
    static void PutInt16(std::vector<uint8_t>& bytes, std::size_t at, int16_t value) {
        bytes[at] = static_cast<uint8_t>(value & 0xff);
        bytes[at + 1] = static_cast<uint8_t>((value >> 8) & 0xff);
    }
};

TEST_F(SettingsFileTest, FirstRunMakesTheFolderAndWritesTheDefaults) {
    EXPECT_EQ(ReadSettings(session), SettingsResult::Done);
    const auto bytes = Bytes();
    ASSERT_EQ(bytes.size(), kSettingsFileSize);
    EXPECT_EQ(bytes[4], 'n');  // fast_par
    EXPECT_EQ(bytes[7], 8);    // mask radius
    EXPECT_EQ(bytes[kBackgroundAt], 'l');
    EXPECT_EQ(bytes[16], '1');  // focus delay
    EXPECT_EQ(bytes[kTelescopeAt], 'n');
    EXPECT_EQ(std::string(bytes.begin() + kDirectionsAt, bytes.begin() + kDirectionsAt + 4),
              "nsew");
    EXPECT_EQ(std::string(bytes.begin() + 36, bytes.begin() + 36 + 13), "OBJECT  = '' ");
    EXPECT_EQ(std::string(bytes.begin() + 196, bytes.begin() + 196 + 24),
              "INSTRUME= 'Veltrane CCD'");
    EXPECT_EQ(bytes[kSubDirectoryAt], 0);
    EXPECT_EQ(bytes[kSubDirectoryAt + 1], ' ');
}

TEST_F(SettingsFileTest, EveryValueSurvivesAWriteAndARead) {
    const auto written = FileWith([](Session& s) {
        ProgramSettings& p = s.settings;
        p.QuickSaveCounter = 65000;
        p.UtOffsetHours = -7;
        p.FastPar = true;
        p.ReservedModeA = -3;
        p.GuideStarMaskRadius = 13;
        p.ReservedModeB = 9;
        p.Port = CommPort::Com2;
        p.GuideTrainingSeconds = 4;
        p.Background = WindowBackground::Grey;
        p.FocusDelayOneSecond = false;
        p.RaPixelsPerSecond = 5;
        p.DecPixelsPerSecond = -6;
        p.RaBacklash = 20;
        p.DecBacklash = 3;
        p.IgnoreDriftBelowOnePixel = true;
        p.Telescope = TelescopeType::ControlBox;
        p.DisableInterruptsDuringDownload = false;
        p.RaHysteresis = 10;
        p.DecHysteresis = 20;
        p.NorthLetter = 's';
        p.SouthLetter = 'n';
        p.EastLetter = 'w';
        p.WestLetter = 'e';
        p.ReservedFlagC = true;
        p.BeepAfterExposure = true;
        p.DirectionChangeDelay70Ms = true;
        p.ControlBoxFound = true;
        p.AutoSaveSubDirectory = "night1";
        p.ControlBoxLongDelay = true;
        p.DebugMode = true;
        p.UnsignedFits = true;
        FitsDetails& f = p.Fits;
        f.object = "Kemble's Cascade";
        f.telescope = "Newtonian 8in";
        f.instrument = "Zenka 237";
        f.observer = "A. Observer";
        f.origin = "Hill top";
        f.history = std::string(100, 'h');
        f.comment = "seeing 3/5";
        f.filter = "Red";
        f.apertureSquareInches = 50.25;
        f.focalLengthInches = 47.5;
    });
    ASSERT_EQ(written.size(), kSettingsFileSize);
    ASSERT_EQ(ReadSettings(session), SettingsResult::Done);
    const ProgramSettings& p = session.settings;
    EXPECT_EQ(p.QuickSaveCounter, 65000);
    EXPECT_EQ(p.UtOffsetHours, -7);
    EXPECT_TRUE(p.FastPar);
    EXPECT_EQ(p.ReservedModeA, -3);
    EXPECT_EQ(p.GuideStarMaskRadius, 13);
    EXPECT_EQ(p.ReservedModeB, 9);
    EXPECT_EQ(p.Port, CommPort::Com2);
    EXPECT_EQ(p.GuideTrainingSeconds, 4);
    EXPECT_EQ(p.Background, WindowBackground::Grey);
    EXPECT_FALSE(p.FocusDelayOneSecond);
    EXPECT_EQ(p.RaPixelsPerSecond, 5);
    EXPECT_EQ(p.DecPixelsPerSecond, -6);
    EXPECT_EQ(p.RaBacklash, 20);
    EXPECT_EQ(p.DecBacklash, 3);
    EXPECT_TRUE(p.IgnoreDriftBelowOnePixel);
    EXPECT_EQ(p.Telescope, TelescopeType::ControlBox);
    EXPECT_FALSE(p.DisableInterruptsDuringDownload);
    EXPECT_EQ(p.RaHysteresis, 10);
    EXPECT_EQ(p.DecHysteresis, 20);
    EXPECT_EQ(std::string({p.NorthLetter, p.SouthLetter, p.EastLetter, p.WestLetter}), "snwe");
    EXPECT_TRUE(p.ReservedFlagC);
    EXPECT_TRUE(p.BeepAfterExposure);
    EXPECT_TRUE(p.DirectionChangeDelay70Ms);
    EXPECT_TRUE(p.ControlBoxFound);
    EXPECT_EQ(p.AutoSaveSubDirectory, "night1");
    EXPECT_EQ(AutoSaveDirectory(p), "c:\\AUTOSAVE\\night1");
    EXPECT_TRUE(p.ControlBoxLongDelay);
    EXPECT_TRUE(p.DebugMode);
    EXPECT_TRUE(p.UnsignedFits);
    EXPECT_TRUE(session.state.UnsignedFits);  // the current image follows the file's texts
    EXPECT_EQ(session.state.Fits.object, "Kemble's Cascade");
    const FitsDetails& f = p.Fits;
    EXPECT_EQ(f.object, "Kemble's Cascade");
    EXPECT_EQ(f.telescope, "Newtonian 8in");
    EXPECT_EQ(f.instrument, "Zenka 237");
    EXPECT_EQ(f.observer, "A. Observer");
    EXPECT_EQ(f.origin, "Hill top");
    // Paragraphs come back as typed, without the blanks that fill their cards.
    EXPECT_EQ(f.history, std::string(100, 'h'));
    EXPECT_EQ(f.comment, "seeing 3/5");
    EXPECT_EQ(f.filter, "Red");
    EXPECT_EQ(f.apertureSquareInches, 50.25);
    EXPECT_EQ(f.focalLengthInches, 47.5);
    EXPECT_EQ(Bytes(), written);
}

TEST_F(SettingsFileTest, AFileOneByteShortLoadsAllButTheDebugFlag) {
    auto bytes = FileWith([](Session& s) {
        s.settings.DebugMode = true;
        s.settings.ControlBoxLongDelay = true;
        s.settings.Telescope = TelescopeType::MeadeLx200;
    });
    bytes.pop_back();
    Store(bytes);
    EXPECT_EQ(ReadSettings(session), SettingsResult::Unreadable);
    EXPECT_TRUE(session.settings.ControlBoxLongDelay);
    EXPECT_EQ(session.settings.Telescope, TelescopeType::MeadeLx200);
    EXPECT_FALSE(session.settings.DebugMode);
    EXPECT_EQ(Bytes().size(), kSettingsFileSize - 1);  // a short file is left for the caller
}

TEST_F(SettingsFileTest, OutOfRangeBacklashIsClampedAndEveryOtherFieldKept) {
    for (const auto& [bad, clamped] : {std::pair{int16_t{21}, 20}, std::pair{int16_t{-1}, 0}}) {
        auto bytes = FileWith([](Session& s) {
            s.settings.RaPixelsPerSecond = 7;
            s.settings.RaBacklash = 4;
            s.settings.Telescope = TelescopeType::MeadeLx200;
            s.settings.Fits.object = "M42";
            s.settings.AutoSaveSubDirectory = "night1";
            s.settings.DebugMode = true;
        });
        PutInt16(bytes, kRaBacklashAt, bad);
        Store(bytes);
        session.settings.RaBacklash = 2;
        EXPECT_EQ(ReadSettings(session), SettingsResult::Done) << bad;
        EXPECT_EQ(session.settings.RaBacklash, clamped);
        EXPECT_EQ(session.settings.RaPixelsPerSecond, 7);
        // The fields after the bad one are read from the file, not lost.
        EXPECT_EQ(session.settings.Telescope, TelescopeType::MeadeLx200);
        EXPECT_EQ(session.settings.Fits.object, "M42");
        EXPECT_EQ(session.settings.AutoSaveSubDirectory, "night1");
        EXPECT_TRUE(session.settings.DebugMode);
        const auto repaired = Bytes();
        ASSERT_EQ(repaired.size(), kSettingsFileSize);
        EXPECT_EQ(repaired[kRaBacklashAt], clamped);
        EXPECT_EQ(repaired[kTelescopeAt], 'l');
        EXPECT_EQ(
            std::string(repaired.begin() + kSubDirectoryAt, repaired.begin() + kSubDirectoryAt + 6),
            "night1");
    }
    auto bytes = FileWith([](Session&) {});
    PutInt16(bytes, kDecBacklashAt, -1);
    Store(bytes);
    EXPECT_EQ(ReadSettings(session), SettingsResult::Done);
    EXPECT_EQ(session.settings.DecBacklash, 0);
    EXPECT_EQ(Bytes()[kDecBacklashAt], 0);
}

TEST_F(SettingsFileTest, UnknownLettersKeepTheirPreviousValueAndTheRestIsRead) {
    const auto repairs = [this](std::size_t at, uint8_t value) {
        auto bytes = FileWith([](Session& s) {
            s.settings.GuideTrainingSeconds = 2;
            s.settings.DebugMode = true;
            s.settings.Fits.filter = "Red";
        });
        bytes[at] = value;
        Store(bytes);
        EXPECT_EQ(ReadSettings(session), SettingsResult::Done);
        EXPECT_EQ(session.settings.GuideTrainingSeconds, 2);
        EXPECT_TRUE(session.settings.DebugMode);
        EXPECT_EQ(session.settings.Fits.filter, "Red");
        // Rewritten with the value held before in place of the unknown letter.
        return Bytes().back() == 'y' && Bytes()[at] != value;
    };
    session.settings.Telescope = TelescopeType::ControlBox;
    EXPECT_TRUE(repairs(kTelescopeAt, 'z'));
    EXPECT_EQ(session.settings.Telescope, TelescopeType::None);  // the reset session's value
    EXPECT_TRUE(repairs(kIgnoreDriftAt, 'x'));
    EXPECT_TRUE(repairs(kTelescopeAt + 1, '2'));
    auto bytes = FileWith([](Session&) {});
    bytes[kDirectionsAt + 2] = 'q';
    bytes[kDirectionsAt + 3] = 'q';
    Store(bytes);
    EXPECT_EQ(ReadSettings(session), SettingsResult::Done);
    EXPECT_EQ(Bytes()[kDirectionsAt + 2], 'e');
}

TEST_F(SettingsFileTest, AnOpenedOrEditedImageKeepsItsOwnTextsWhenTheFileIsRead) {
    FileWith([](Session& s) {
        s.settings.Fits.object = "from settings";
        s.settings.Fits.apertureSquareInches = 12;
        s.settings.UnsignedFits = true;
    });
    for (const HeaderTextsOrigin own : {HeaderTextsOrigin::File, HeaderTextsOrigin::Edited}) {
        session.state.TextsOrigin = own;
        session.state.Fits.object = "Barnard's Star";
        session.state.Fits.apertureSquareInches = 3;
        session.state.UnsignedFits = false;
        ASSERT_EQ(ReadSettings(session), SettingsResult::Done);
        EXPECT_EQ(session.settings.Fits.object, "from settings");
        EXPECT_EQ(session.state.Fits.object, "Barnard's Star");
        EXPECT_EQ(session.state.Fits.apertureSquareInches, 3);
        EXPECT_FALSE(session.state.UnsignedFits);
        // And writing the settings writes the settings' texts, not the image's.
        ASSERT_EQ(WriteSettings(session), SettingsResult::Done);
        const auto bytes = Bytes();
        EXPECT_EQ(std::string(bytes.begin() + 36, bytes.begin() + 36 + 25),
                  "OBJECT  = 'from settings'");
    }
}

TEST_F(SettingsFileTest, QuickSaveWritesOnlyItsCounter) {
    const auto stored = FileWith([](Session& s) {
        s.settings.Fits.object = "M42";
        s.settings.UtOffsetHours = 1;
    });
    // Changes that stay in memory: Program Defaults left with Cancel, the current image's
    // details.
    session.settings.Telescope = TelescopeType::MeadeLx200;
    session.settings.UtOffsetHours = 5;
    session.settings.Fits.object = "not saved";
    session.settings.QuickSaveCounter = 513;
    ASSERT_EQ(WriteQuickSaveCounter(session), SettingsResult::Done);
    auto expected = stored;
    PutInt16(expected, 0, 513);
    EXPECT_EQ(Bytes(), expected);
    // Without a whole file to amend, the file is written from the values in memory.
    std::filesystem::remove(File());
    ASSERT_EQ(WriteQuickSaveCounter(session), SettingsResult::Done);
    EXPECT_EQ(Bytes().size(), kSettingsFileSize);
    EXPECT_EQ(Bytes()[kTelescopeAt], 'l');
}

TEST_F(SettingsFileTest, DriveCalibrationWritesOnlyItsFourValues) {
    const auto stored = FileWith([](Session& s) {
        s.settings.Fits.observer = "Ana";
        s.settings.GuideTrainingSeconds = 12;
    });
    session.settings.UtOffsetHours = 5;
    session.settings.Fits.observer = "not saved";
    session.settings.RaPixelsPerSecond = 3;
    session.settings.DecPixelsPerSecond = 2;
    session.settings.RaBacklash = 4;
    session.settings.DecBacklash = 20;
    ASSERT_EQ(WriteDriveCalibration(session), SettingsResult::Done);
    auto expected = stored;
    PutInt16(expected, kRaBacklashAt - 4, 3);
    PutInt16(expected, kRaBacklashAt - 2, 2);
    PutInt16(expected, kRaBacklashAt, 4);
    PutInt16(expected, kDecBacklashAt, 20);
    EXPECT_EQ(Bytes(), expected);
    // Read back, the file holds the calibration and the values it held before.
    ASSERT_EQ(ReadSettings(session), SettingsResult::Done);
    EXPECT_EQ(session.settings.RaPixelsPerSecond, 3);
    EXPECT_EQ(session.settings.DecPixelsPerSecond, 2);
    EXPECT_EQ(session.settings.RaBacklash, 4);
    EXPECT_EQ(session.settings.DecBacklash, 20);
    EXPECT_EQ(session.settings.GuideTrainingSeconds, 12);
    EXPECT_EQ(session.settings.Fits.observer, "Ana");
}

TEST_F(SettingsFileTest, ASubDirectoryThatIsNotOneFolderIsNotTaken) {
    auto bytes = FileWith([](Session&) {});
    const std::string name = "2026/12/07";
    std::copy(name.begin(), name.end(), bytes.begin() + kSubDirectoryAt);
    bytes[kSubDirectoryAt + name.size()] = 0;
    Store(bytes);
    EXPECT_EQ(ReadSettings(session), SettingsResult::Done);
    EXPECT_EQ(AutoSaveDirectory(session.settings), "c:\\AUTOSAVE");
    EXPECT_TRUE(IsSubDirectoryName("night 1"));
    EXPECT_TRUE(IsSubDirectoryName(""));
    for (const char* bad : {"a/b", "a\\b", "..", ".", "it's"}) {
        EXPECT_FALSE(IsSubDirectoryName(bad)) << bad;
    }
}

TEST_F(SettingsFileTest, LenientFieldsTakeTheirFallbacks) {
    auto bytes = FileWith([](Session&) {});
    bytes[kBackgroundAt] = 'x';
    bytes[4] = '?';  // fast_par
    bytes[11] = 7;   // comm port value 7 selects COM2
    bytes[12] = 0;
    std::string name = "night1";
    std::copy(name.begin(), name.end(), bytes.begin() + kSubDirectoryAt);
    bytes[kSubDirectoryAt + name.size()] = 0;
    Store(bytes);
    session.settings.FastPar = true;
    EXPECT_EQ(ReadSettings(session), SettingsResult::Done);
    EXPECT_EQ(session.settings.Background, WindowBackground::Red);
    EXPECT_TRUE(session.settings.FastPar);
    ASSERT_EQ(ui.errorBoxes.size(), 1u);
    EXPECT_EQ(ui.errorBoxes[0], "TALVOR: Failed to read fast_par value");
    EXPECT_EQ(session.settings.Port, CommPort::Com2);
    EXPECT_EQ(AutoSaveDirectory(session.settings), "c:\\AUTOSAVE\\night1");
}

TEST_F(SettingsFileTest, AMaskRadiusTheDefaultsDoNotOfferIsNotTakenOver) {
    // A damaged file: the star searches would size their masks by this and read off the frame.
    for (const int16_t radius : {int16_t{-21317}, int16_t{0}, int16_t{10}, int16_t{400}}) {
        auto bytes = FileWith([](Session&) {});
        bytes[kMaskRadiusAt] = static_cast<uint8_t>(radius & 0xff);
        bytes[kMaskRadiusAt + 1] = static_cast<uint8_t>((radius >> 8) & 0xff);
        Store(bytes);
        session.settings.GuideStarMaskRadius = 13;
        EXPECT_EQ(ReadSettings(session), SettingsResult::Done);
        EXPECT_EQ(session.settings.GuideStarMaskRadius, 13) << radius;
    }
    auto bytes = FileWith([](Session& s) { s.settings.GuideStarMaskRadius = 15; });
    Store(bytes);
    EXPECT_EQ(ReadSettings(session), SettingsResult::Done);
    EXPECT_EQ(session.settings.GuideStarMaskRadius, 15);
}

TEST_F(SettingsFileTest, ALongerFileReadsItsKnownFields) {
    auto bytes = FileWith([](Session& s) { s.settings.DebugMode = true; });
    bytes.resize(4000, 'z');
    Store(bytes);
    EXPECT_EQ(ReadSettings(session), SettingsResult::Done);
    EXPECT_TRUE(session.settings.DebugMode);
}

TEST_F(SettingsFileTest, MissingFileAndUnwritableFolder) {
    std::filesystem::create_directories(File().parent_path());
    EXPECT_EQ(ReadSettings(session), SettingsResult::Unreadable);
    std::filesystem::create_directory(File());  // a folder where the file should be
    EXPECT_EQ(WriteSettings(session), SettingsResult::NotWritten);
    EXPECT_TRUE(std::filesystem::is_directory(File()));
}

}  // namespace
}  // namespace talvor
