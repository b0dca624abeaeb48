#include "image/program_defaults.h"

#include <gtest/gtest.h>

#include <functional>

#include "image/settings_file.h"
#include "support/session_fixture.h"

namespace talvor {
namespace {

class ProgramDefaultsTest : public testing::SessionTest {
  protected:
    // The fields as the dialog shows them for the current values.
    DefaultsFields Shown() { return ShownDefaultsFields(session.settings); }
};

TEST(ReadIntegerFieldTest, ReadsTheLeadingSignedNumberAndZeroForAnythingElse) {
    EXPECT_EQ(ReadIntegerField("17"), 17);
    EXPECT_EQ(ReadIntegerField("  -4"), -4);
    EXPECT_EQ(ReadIntegerField("+6"), 6);
    EXPECT_EQ(ReadIntegerField("12abc"), 12);
    EXPECT_EQ(ReadIntegerField("abc"), 0);
    EXPECT_EQ(ReadIntegerField(""), 0);
    EXPECT_EQ(ReadIntegerField("-"), 0);
    EXPECT_EQ(ReadIntegerField("3.9"), 3);
    // Held within what the settings file stores.
    EXPECT_EQ(ReadIntegerField("99999999999999999999"), 32767);
    EXPECT_EQ(ReadIntegerField("-40000"), -32768);
}

TEST_F(ProgramDefaultsTest, SlewFieldsLimitHysteresisAndBacklash) {
    DefaultsFields fields = Shown();
    fields.raPixelsPerSecond = "7";
    fields.decPixelsPerSecond = "x";
    fields.raHysteresis = "35";
    fields.decHysteresis = "-3";
    fields.raBacklash = "25";
    fields.decBacklash = "-1";
    ReadSlewFields(session.settings, fields);
    EXPECT_EQ(session.settings.RaPixelsPerSecond, 7);
    EXPECT_EQ(session.settings.DecPixelsPerSecond, 0);
    EXPECT_EQ(session.settings.RaHysteresis, 20);
    EXPECT_EQ(session.settings.DecHysteresis, -3);
    EXPECT_EQ(session.settings.RaBacklash, 20);
    EXPECT_EQ(session.settings.DecBacklash, 0);
}

TEST_F(ProgramDefaultsTest, ABacklashTakenByTheDialogSurvivesTheSettingsFile) {
    DefaultsFields fields = Shown();
    fields.raBacklash = "50";
    session.settings.Fits.object = "M42";
    UseDefaultsControl(session, DefaultsControl::SetSlewValues, fields);
    ASSERT_EQ(WriteSettings(session), SettingsResult::Done);
    session.settings = ProgramSettings{};
    session.state.Fits = FitsDetails{};
    EXPECT_EQ(ReadSettings(session), SettingsResult::Done);
    EXPECT_EQ(session.settings.RaBacklash, 20);
    EXPECT_EQ(session.state.Fits.object, "M42");
}

TEST_F(ProgramDefaultsTest, SaveChangesTakesTheFieldsOnlyWithinTheirRanges) {
    DefaultsFields fields = Shown();
    fields.raPixelsPerSecond = "5";
    fields.raBacklash = " 25 ";
    EXPECT_EQ(SlewFieldsProblem(fields), "\"RA Backlash\" must be a whole number from 0 to 20.");
    fields.raBacklash = "20";
    fields.decHysteresis = "fast";
    EXPECT_EQ(SlewFieldsProblem(fields),
              "\"Hysteresis in Dec\" must be a whole number from 0 to 20.");
    fields.decHysteresis = "-1";
    EXPECT_TRUE(SlewFieldsProblem(fields).has_value());
    fields.decHysteresis = "+3";
    EXPECT_EQ(SlewFieldsProblem(fields), std::nullopt);
}

TEST_F(ProgramDefaultsTest, ASubDirectoryOfMoreThanOneFolderIsRefusedWhenSet) {
    DefaultsFields fields = Shown();
    fields.subDirectory = "night1";
    UseDefaultsControl(session, DefaultsControl::SetSubDirectory, fields);
    EXPECT_EQ(session.settings.AutoSaveSubDirectory, "night1");
    fields.subDirectory = "2026/12/07";
    UseDefaultsControl(session, DefaultsControl::SetSubDirectory, fields);
    EXPECT_EQ(session.settings.AutoSaveSubDirectory, "night1");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], kSubDirectoryRefused);
}

TEST_F(ProgramDefaultsTest, UnsignedIsTheSettingsChoiceAndAnOpenedImageKeepsItsOwn) {
    UseDefaultsControl(session, DefaultsControl::UnsignedFits, Shown());
    EXPECT_TRUE(session.settings.UnsignedFits);
    EXPECT_TRUE(session.state.UnsignedFits);
    EXPECT_TRUE(DefaultsControlChecked(session, DefaultsControl::UnsignedFits));
    session.state.TextsOrigin = HeaderTextsOrigin::File;
    UseDefaultsControl(session, DefaultsControl::UnsignedFits, Shown());
    EXPECT_FALSE(session.settings.UnsignedFits);
    EXPECT_TRUE(session.state.UnsignedFits);
}

TEST_F(ProgramDefaultsTest, EveryControlButThreeTakesTheNumberFieldsFirst) {
    for (const DefaultsControl control :
         {DefaultsControl::DebugMode, DefaultsControl::BeepAfterExposure,
          DefaultsControl::ControlBoxLongDelay}) {
        DefaultsFields fields = Shown();
        fields.raHysteresis = "9";
        UseDefaultsControl(session, control, fields);
        EXPECT_EQ(session.settings.RaHysteresis, 0);
    }
    for (const DefaultsControl control :
         {DefaultsControl::MaskRadius13, DefaultsControl::Com2, DefaultsControl::SwapEastWest,
          DefaultsControl::UnsignedFits, DefaultsControl::SetSubDirectory,
          DefaultsControl::BackgroundGrey, DefaultsControl::SetSlewValues}) {
        session.settings.RaHysteresis = 0;
        DefaultsFields fields = Shown();
        fields.raHysteresis = "35";
        UseDefaultsControl(session, control, fields);
        EXPECT_EQ(session.settings.RaHysteresis, 20) << static_cast<int>(control);
    }
}

TEST_F(ProgramDefaultsTest, RadioButtonsSetTheirValueAndShowChecked) {
    struct Case {
        DefaultsControl control;
        std::function<bool(const ProgramSettings&)> holds;
    };
    const Case cases[] = {
        {DefaultsControl::MaskRadius15, [](auto& s) { return s.GuideStarMaskRadius == 15; }},
        {DefaultsControl::MaskRadius7, [](auto& s) { return s.GuideStarMaskRadius == 7; }},
        {DefaultsControl::TelescopeControlBox,
         [](auto& s) { return s.Telescope == TelescopeType::ControlBox; }},
        {DefaultsControl::TelescopeMeadeLx200,
         [](auto& s) { return s.Telescope == TelescopeType::MeadeLx200; }},
        {DefaultsControl::Com2, [](auto& s) { return s.Port == CommPort::Com2; }},
        {DefaultsControl::TrainingFourSeconds, [](auto& s) { return s.GuideTrainingSeconds == 4; }},
    };
    for (const Case& c : cases) {
        UseDefaultsControl(session, c.control, Shown());
        EXPECT_TRUE(c.holds(session.settings)) << static_cast<int>(c.control);
        EXPECT_TRUE(DefaultsControlChecked(session, c.control));
    }
    EXPECT_FALSE(DefaultsControlChecked(session, DefaultsControl::MaskRadius15));
    // A radius that no button offers leaves the whole group unchecked.
    session.settings.GuideStarMaskRadius = 10;
    for (const DefaultsControl control :
         {DefaultsControl::MaskRadius7, DefaultsControl::MaskRadius8, DefaultsControl::MaskRadius9,
          DefaultsControl::MaskRadius11, DefaultsControl::MaskRadius13,
          DefaultsControl::MaskRadius15}) {
        EXPECT_FALSE(DefaultsControlChecked(session, control));
    }
}

TEST_F(ProgramDefaultsTest, BackgroundButtonsMarkTheBackgroundChanged) {
    UseDefaultsControl(session, DefaultsControl::BackgroundRed, Shown());
    EXPECT_EQ(session.settings.Background, WindowBackground::Red);
    EXPECT_TRUE(session.display.BackgroundChanged);
    session.display.BackgroundChanged = false;
    UseDefaultsControl(session, DefaultsControl::Com1, Shown());
    EXPECT_FALSE(session.display.BackgroundChanged);
}

TEST_F(ProgramDefaultsTest, CheckBoxesToggleTheirFlags) {
    const std::pair<DefaultsControl, bool ProgramSettings::*> flags[] = {
        {DefaultsControl::IgnoreDrift, &ProgramSettings::IgnoreDriftBelowOnePixel},
        {DefaultsControl::DirectionChangeDelay, &ProgramSettings::DirectionChangeDelay70Ms},
        {DefaultsControl::FocusDelay, &ProgramSettings::FocusDelayOneSecond},
        {DefaultsControl::DisableInterrupts, &ProgramSettings::DisableInterruptsDuringDownload},
        {DefaultsControl::ControlBoxLongDelay, &ProgramSettings::ControlBoxLongDelay},
        {DefaultsControl::BeepAfterExposure, &ProgramSettings::BeepAfterExposure},
        {DefaultsControl::DebugMode, &ProgramSettings::DebugMode},
    };
    for (const auto& [control, flag] : flags) {
        const bool before = session.settings.*flag;
        UseDefaultsControl(session, control, Shown());
        EXPECT_NE(session.settings.*flag, before) << static_cast<int>(control);
        EXPECT_EQ(DefaultsControlChecked(session, control), !before);
        UseDefaultsControl(session, control, Shown());
        EXPECT_EQ(session.settings.*flag, before);
    }
    UseDefaultsControl(session, DefaultsControl::UnsignedFits, Shown());
    EXPECT_TRUE(session.state.UnsignedFits);
    EXPECT_TRUE(DefaultsControlChecked(session, DefaultsControl::UnsignedFits));
}

TEST_F(ProgramDefaultsTest, SwapsExchangeTheLetterPairsAndShowByTheFirstLetter) {
    UseDefaultsControl(session, DefaultsControl::SwapNorthSouth, Shown());
    EXPECT_EQ(session.settings.NorthLetter, 's');
    EXPECT_EQ(session.settings.SouthLetter, 'n');
    EXPECT_TRUE(DefaultsControlChecked(session, DefaultsControl::SwapNorthSouth));
    EXPECT_FALSE(DefaultsControlChecked(session, DefaultsControl::SwapEastWest));
    UseDefaultsControl(session, DefaultsControl::SwapEastWest, Shown());
    EXPECT_EQ(session.settings.EastLetter, 'w');
    EXPECT_EQ(session.settings.WestLetter, 'e');
    EXPECT_TRUE(DefaultsControlChecked(session, DefaultsControl::SwapEastWest));
    UseDefaultsControl(session, DefaultsControl::SwapNorthSouth, Shown());
    EXPECT_EQ(session.settings.NorthLetter, 'n');
    EXPECT_FALSE(DefaultsControlChecked(session, DefaultsControl::SwapNorthSouth));
}

TEST_F(ProgramDefaultsTest, SetSubDirTakesAtMost59CharactersAndEmptyClears) {
    DefaultsFields fields = Shown();
    fields.subDirectory = "night1";
    UseDefaultsControl(session, DefaultsControl::SetSubDirectory, fields);
    EXPECT_EQ(AutoSaveDirectory(session.settings), "c:\\AUTOSAVE\\night1");
    fields.subDirectory = std::string(70, 'a');
    UseDefaultsControl(session, DefaultsControl::SetSubDirectory, fields);
    EXPECT_EQ(session.settings.AutoSaveSubDirectory, std::string(59, 'a'));
    fields.subDirectory.clear();
    UseDefaultsControl(session, DefaultsControl::SetSubDirectory, fields);
    EXPECT_EQ(AutoSaveDirectory(session.settings), "c:\\AUTOSAVE");
    // Only the button takes the name.
    fields.subDirectory = "night2";
    UseDefaultsControl(session, DefaultsControl::SetSlewValues, fields);
    EXPECT_TRUE(session.settings.AutoSaveSubDirectory.empty());
}

}  // namespace
}  // namespace talvor
