// The rules of the telescope control windows, run without a window.

#include <gtest/gtest.h>

#include "support/session_fixture.h"
#include "telescope/recording_serial_port.h"
#include "telescope/telescope_commands.h"
#include "telescope/telescope_control.h"
#include "telescope/telescope_fixture.h"

namespace talvor::testing {
namespace {

TEST(TelescopeControlRules, FieldsReadAsSignedWholeNumbers) {
    EXPECT_EQ(ReadNumberField("  42 ").value, 42);
    EXPECT_EQ(ReadNumberField("-7").value, -7);
    EXPECT_EQ(ReadNumberField("+7").value, 7);
    EXPECT_EQ(ReadNumberField("").value, 0);
    EXPECT_EQ(ReadNumberField("M31").value, 0);
    EXPECT_EQ(ReadNumberField("12abc").value, 0);
    EXPECT_EQ(ReadNumberField("99999999999").value, 0);
    EXPECT_TRUE(ReadNumberField("-0").minus);
    EXPECT_FALSE(ReadNumberField("0").minus);
}

TEST(TelescopeControlRules, MessierWinsAndCngcNeedsAnEmptyMessier) {
    using Choice = std::pair<char, int>;
    auto choose = [](int messier, int cngc) -> std::optional<Choice> {
        const auto choice = ChooseCatalogueObject(messier, cngc);
        return choice ? std::optional<Choice>(Choice{choice->kind, choice->number}) : std::nullopt;
    };
    EXPECT_EQ(choose(0, 7000), Choice('c', 7000));
    EXPECT_EQ(choose(110, 7000), Choice('m', 110));
    EXPECT_EQ(choose(111, 7000), Choice('c', 7000));
    EXPECT_EQ(choose(111, 0), std::nullopt);
    EXPECT_EQ(choose(0, 7815), Choice('c', 7815));
    EXPECT_EQ(choose(0, 7816), std::nullopt);
    EXPECT_EQ(choose(-3, -1), std::nullopt);
}

TEST(TelescopeControlRules, CoordinateRanges) {
    EXPECT_TRUE(CoordinatesInRange(23, 59, 89, 59));
    EXPECT_TRUE(CoordinatesInRange(0, 0, -89, 59));
    EXPECT_FALSE(CoordinatesInRange(0, 0, 90, 0));
    EXPECT_FALSE(CoordinatesInRange(0, 0, -90, 0));
    EXPECT_FALSE(CoordinatesInRange(24, 0, 0, 0));
    EXPECT_FALSE(CoordinatesInRange(0, -1, 0, 0));
    EXPECT_FALSE(CoordinatesInRange(0, 0, 0, -1));
    EXPECT_FALSE(CoordinatesInRange(0, 60, 0, 0));
}

TEST(TelescopeControlRules, RateAndSpeedButtonsFollowTheCommands) {
    TelescopeState telescope;
    EXPECT_EQ(ShownSlewRate(telescope), SlewRate::Slew);
    EXPECT_EQ(ShownFocusSpeed(telescope), FocusSpeed::Fast);
    ChooseSlewRate(telescope, SlewRate::Find);
    EXPECT_EQ(telescope.SlewRateCommand, "#:RM#");
    EXPECT_EQ(ShownSlewRate(telescope), SlewRate::Find);
    ChooseSlewRate(telescope, SlewRate::Centre);
    EXPECT_EQ(telescope.SlewRateCommand, "#:RC#");
    ChooseSlewRate(telescope, SlewRate::Guide);
    EXPECT_EQ(ShownSlewRate(telescope), SlewRate::Guide);
    ChooseFocusSpeed(telescope, FocusSpeed::Slow);
    EXPECT_EQ(telescope.FocusSpeedCommand, "#:FS#");
    EXPECT_EQ(ShownFocusSpeed(telescope), FocusSpeed::Slow);
}

class ControlWindowRules : public SessionTest {
  protected:
    ControlWindowRules() {
        auto recording = std::make_unique<RecordingSerialPort>();
        port = recording.get();
        session.telescope.Ports = std::move(recording);
        session.telescope.PortOpen = true;
        session.settings.Telescope = TelescopeType::MeadeLx200;
    }
    RecordingSerialPort* port;
};

TEST_F(ControlWindowRules, GoToObjectSendsOnlyNumbersInRange) {
    port->incoming = "CNGC7000#0CNGC7000#";
    EXPECT_EQ(GoToObject(session, "0", "7000"), EntryResult::Sent);
    EXPECT_EQ(port->written, "#:LC 7000##:LI##:MS##:LI#");
    port->written.clear();
    EXPECT_EQ(GoToObject(session, "111", ""), EntryResult::OutOfRange);
    EXPECT_EQ(GoToObject(session, "abc", "7816"), EntryResult::OutOfRange);
    EXPECT_EQ(port->written, "");
}

TEST_F(ControlWindowRules, GoToCoordinatesKeepsTheSignOfMinusZero) {
    EXPECT_EQ(GoToCoordinates(session, "5", "3", "-0", "30"), EntryResult::Sent);
    EXPECT_EQ(port->written, "#:Sr 05:03.0#:Sd -00*30#:LI##:MS#");
    port->written.clear();
    EXPECT_EQ(GoToCoordinates(session, "5", "3", "0", "30"), EntryResult::Sent);
    EXPECT_EQ(port->written, "#:Sr 05:03.0#:Sd +00*30#:LI##:MS#");
    port->written.clear();
    EXPECT_EQ(GoToCoordinates(session, "12", "0", "90", "0"), EntryResult::OutOfRange);
    EXPECT_EQ(GoToCoordinates(session, "12", "-1", "0", "0"), EntryResult::OutOfRange);
    EXPECT_EQ(port->written, "");
}

TEST_F(ControlWindowRules, HeldArrowStartsOnceAndStopsOnRelease) {
    Lx200ArrowNotice(session, ArrowBar::Horizontal, ArrowNotice::LineUpOrLeft);
    Lx200ArrowNotice(session, ArrowBar::Horizontal, ArrowNotice::LineUpOrLeft);
    Lx200ArrowNotice(session, ArrowBar::Horizontal, ArrowNotice::LineUpOrLeft);
    EXPECT_EQ(port->written, "#:RS##:Mw#");
    EXPECT_TRUE(session.telescope.Moving);
    Lx200ArrowNotice(session, ArrowBar::Horizontal, ArrowNotice::EndOfScroll);
    Lx200ArrowNotice(session, ArrowBar::Horizontal, ArrowNotice::EndOfScroll);
    EXPECT_EQ(port->written, "#:RS##:Mw##:Qn##:Qs##:Qe##:Qw#");
    EXPECT_FALSE(session.telescope.Moving);
}

TEST_F(ControlWindowRules, SwappedAxesSendTheOppositeMoves) {
    session.settings.EastLetter = 'w';
    session.settings.WestLetter = 'e';
    session.settings.NorthLetter = 's';
    session.settings.SouthLetter = 'n';
    Lx200ArrowNotice(session, ArrowBar::Horizontal, ArrowNotice::LineUpOrLeft);
    Lx200ArrowNotice(session, ArrowBar::Horizontal, ArrowNotice::EndOfScroll);
    Lx200ArrowNotice(session, ArrowBar::Vertical, ArrowNotice::LineDownOrRight);
    EXPECT_EQ(port->written, "#:RS##:Me##:Qn##:Qs##:Qe##:Qw##:RS##:Mn#");
}

TEST_F(ControlWindowRules, FocusBarRunsTheFocuserWhileHeld) {
    Lx200ArrowNotice(session, ArrowBar::Focus, ArrowNotice::LineDownOrRight);
    Lx200ArrowNotice(session, ArrowBar::Focus, ArrowNotice::LineUpOrLeft);
    Lx200ArrowNotice(session, ArrowBar::Focus, ArrowNotice::EndOfScroll);
    Lx200ArrowNotice(session, ArrowBar::Focus, ArrowNotice::LineUpOrLeft);
    EXPECT_EQ(port->written, "#:FF##:F-##:FQ##:FF##:F+#");
    EXPECT_TRUE(session.telescope.Focusing);
    EXPECT_FALSE(session.telescope.Moving);
}

TEST_F(ControlWindowRules, ControlBoxBarsDriveTheBox) {
    session.settings.Telescope = TelescopeType::ControlBox;
    ControlBoxArrowNotice(session, ArrowBar::Vertical, ArrowNotice::LineUpOrLeft);
    ControlBoxArrowNotice(session, ArrowBar::Horizontal, ArrowNotice::LineDownOrRight);
    ControlBoxArrowNotice(session, ArrowBar::Vertical, ArrowNotice::EndOfScroll);
    ControlBoxArrowNotice(session, ArrowBar::Focus, ArrowNotice::LineUpOrLeft);
    EXPECT_EQ(port->written, std::string("\x02\x12\x00", 3));
    EXPECT_FALSE(session.telescope.Moving);
}

TEST_F(ControlWindowRules, OpeningPicksTheWindowOfTheTelescopeType) {
    EXPECT_EQ(PrepareTelescopeControl(session), ControlWindow::Lx200);
    EXPECT_EQ(port->written, "");
    session.settings.Telescope = TelescopeType::ControlBox;
    EXPECT_EQ(PrepareTelescopeControl(session), ControlWindow::ControlBox);
    EXPECT_EQ(port->written, std::string("\x0D\x00\x00", 3));

    session.telescope.PortOpen = false;
    session.settings.Telescope = TelescopeType::MeadeLx200;
    port->failing["Parms"] = kSerialLineError;
    EXPECT_EQ(PrepareTelescopeControl(session), ControlWindow::None);
    EXPECT_EQ(ui.messages.back().rfind("Sorry. No Connection to Telescope\n\n", 0), 0U);
}

TEST_F(ControlWindowRules, BatchCommandsCheckTheirArgumentsAndUseTheDirectionMap) {
    EXPECT_EQ(GotoMessier(session, 111).result, TelescopeCommandResult::OutOfRange);
    EXPECT_EQ(GotoPlanet(session, "Vulcan").result, TelescopeCommandResult::OutOfRange);
    EXPECT_EQ(GotoRaDec(session, 5, 3, "-90", 0).result, TelescopeCommandResult::OutOfRange);
    EXPECT_EQ(port->written, "");
    port->incoming = "Saturn#0Saturn#";
    const SlewOutcome saturn = GotoPlanet(session, "saturn");
    EXPECT_EQ(saturn.status, '0');
    EXPECT_EQ(saturn.reply, "Saturn#");
    port->written.clear();
    session.settings.EastLetter = 'w';
    EXPECT_EQ(PulseTelescope(session, 'e', 0), TelescopeCommandResult::Done);
    EXPECT_EQ(port->written, "#:RG##:Mw##:Qw#");
}

TEST_F(ControlWindowRules, HeldArrowsOnAVanishedMountNeedNoStop) {
    port->failing["Puts"] = kSerialWriteError;
    Lx200ArrowNotice(session, ArrowBar::Vertical, ArrowNotice::LineUpOrLeft);
    Lx200ArrowNotice(session, ArrowBar::Vertical, ArrowNotice::LineUpOrLeft);
    EXPECT_FALSE(session.telescope.Moving);
    Lx200ArrowNotice(session, ArrowBar::Focus, ArrowNotice::LineUpOrLeft);
    EXPECT_FALSE(session.telescope.Focusing);
    EXPECT_EQ(ui.messages.size(), 1U);
}

TEST_F(ControlWindowRules, BatchPulsesAreBoundedAndStopEarlyWithTheirStop) {
    EXPECT_EQ(PulseTelescope(session, 'n', kLongestGuidePulseMs + 1),
              TelescopeCommandResult::OutOfRange);
    EXPECT_EQ(PulseTelescope(session, 'n', 2147483647), TelescopeCommandResult::OutOfRange);
    EXPECT_EQ(PulseTelescope(session, 'n', -1), TelescopeCommandResult::OutOfRange);
    EXPECT_EQ(port->written, "");

    const uint32_t start = clock.Milliseconds();
    EXPECT_EQ(PulseTelescope(session, 's', kLongestGuidePulseMs,
                             [&] { return clock.Milliseconds() - start >= 1000; }),
              TelescopeCommandResult::Stopped);
    EXPECT_EQ(port->written, "#:RG##:Ms##:Qs#");
    EXPECT_LT(clock.Milliseconds() - start, 1100U);
}

TEST_F(ControlWindowRules, BatchCommandsFailWhenThePortFails) {
    port->failing["Puts"] = kSerialWriteError;
    EXPECT_EQ(PulseTelescope(session, 'e', 100), TelescopeCommandResult::Failed);
    EXPECT_EQ(ui.messages.size(), 1U);

    // A control box whose port cannot be opened: the open is told, the reset fails.
    session.telescope.PortOpen = false;
    session.settings.Telescope = TelescopeType::ControlBox;
    port->failing = {{"Reset", kSerialCannotOpen}};
    EXPECT_EQ(ResetBox(session), TelescopeCommandResult::Failed);
    ASSERT_EQ(ui.messages.size(), 2U);
    EXPECT_EQ(ui.messages[1].rfind("Open Communications Failed", 0), 0U);
    // The next command tries the port again, and tells again why it failed.
    EXPECT_EQ(PulseTelescope(session, 'e', 100), TelescopeCommandResult::Failed);
    EXPECT_EQ(ui.messages.size(), 3U);
    EXPECT_EQ(port->written, "");
}

}  // namespace
}  // namespace talvor::testing
