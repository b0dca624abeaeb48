// The link against the simulated mount over a real pseudo-terminal: the bytes of every operation
// in their order, the timing of pulses from the mount's byte log, and the mount's answers.

#include <gtest/gtest.h>

#include "telescope/lx200_commands.h"
#include "telescope/telescope_fixture.h"

namespace talvor::testing {
namespace {

using LinkOverPty = SimulatedMountTest;

// How late a thread of a busy machine may run: less than any pulse a wrong unit or a doubled
// wait would give.
constexpr uint32_t kSchedulingSlackMs = 60;

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (const int value : values) {
        bytes += static_cast<char>(value);
    }
    return bytes;
}

TEST_F(LinkOverPty, ConnectOpensOnceAndSendsNothing) {
    Connect();
    link.ConnectTelescope();
    EXPECT_EQ(Received(0), "");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(session.telescope.Line.baudCode, 5);
}

TEST_F(LinkOverPty, GuidePulseSendsGuideRateMoveAndStopOnTime) {
    Connect();
    session.telescope.PulseDirection = 'e';
    session.telescope.PulseLength = 150;
    const uint32_t before = clock.Milliseconds();
    link.SendGuidePulse();
    const uint32_t took = clock.Milliseconds() - before;

    ASSERT_EQ(Received(15), "#:RG##:Me##:Qe#");
    const uint32_t rate = ArrivalOf("#:RG#");
    const uint32_t move = ArrivalOf("#:Me#");
    const uint32_t stop = ArrivalOf("#:Qe#");
    // The exact waits are pinned on the test clock (the mount answers tests); on the real clock
    // a loaded machine may add to them, so only the lower bounds are tight.
    EXPECT_GE(move - rate, 18U);
    EXPECT_LE(move - rate, 20U + kSchedulingSlackMs);
    EXPECT_GE(stop - move, 148U);
    EXPECT_LE(stop - move, 150U + kSchedulingSlackMs);
    EXPECT_GE(took, 150U + 20U + 4U - 2U);
    // At the simulated guide rate of 3 pixels per second the field moved 0.45 pixel east.
    EXPECT_NEAR(server->Snapshot(clock.Milliseconds()).offset.x, 3.0 * (stop - move) / 1000, 0.01);
}

TEST_F(LinkOverPty, EveryDirectionHasItsOwnCommands) {
    Connect();
    session.telescope.PulseLength = 1;
    for (const char direction : {'w', 'n', 's'}) {
        session.telescope.PulseDirection = direction;
        link.SendGuidePulse();
    }
    EXPECT_EQ(Received(45), "#:RG##:Mw##:Qw##:RG##:Mn##:Qn##:RG##:Ms##:Qs#");
}

TEST_F(LinkOverPty, PulsesOfNoLengthStillStartAndStop) {
    Connect();
    session.telescope.PulseDirection = 'n';
    session.telescope.PulseLength = 0;
    link.SendGuidePulse();
    session.telescope.PulseLength = -30;
    link.SendGuidePulse();
    ASSERT_EQ(Received(30), "#:RG##:Mn##:Qn##:RG##:Mn##:Qn#");
    EXPECT_LE(ArrivalOf("#:Qn#") - ArrivalOf("#:Mn#"), kSchedulingSlackMs);
}

TEST_F(LinkOverPty, UnknownPulseDirectionSendsNothing) {
    Connect();
    session.telescope.PulseDirection = 'x';
    session.telescope.PulseLength = 100;
    link.SendGuidePulse();
    link.SendControlBoxPulse();
    EXPECT_EQ(Received(0), "");
}

TEST_F(LinkOverPty, ControlBoxPulseSelectsDrivesAndStopsOnTime) {
    Connect(TelescopeType::ControlBox);
    EXPECT_EQ(session.telescope.Line.baudCode, 1);
    EXPECT_TRUE(session.settings.ControlBoxFound);
    session.telescope.PulseDirection = 'w';
    session.telescope.PulseLength = 120;
    // With the control box as telescope type the guide pulse is the box's pulse.
    link.SendGuidePulse();
    ASSERT_EQ(Received(3), Bytes({0x08, 0x18, 0x00}));
    const auto log = server->ReceivedBytes();
    EXPECT_GE(log[2].milliseconds - log[1].milliseconds, 118U);
    EXPECT_LE(log[2].milliseconds - log[1].milliseconds, 120U + kSchedulingSlackMs);
    EXPECT_NEAR(server->Snapshot(clock.Milliseconds()).offset.x,
                -3.0 * (log[2].milliseconds - log[1].milliseconds) / 1000, 0.01);

    server->ClearReceived();
    for (const char direction : {'n', 'e', 's'}) {
        session.telescope.PulseDirection = direction;
        session.telescope.PulseLength = 0;
        link.SendControlBoxPulse();
    }
    EXPECT_EQ(Received(9), Bytes({0x02, 0x12, 0x00, 0x01, 0x11, 0x00, 0x04, 0x14, 0x00}));
}

TEST_F(LinkOverPty, ControlBoxMoveRunsUntilStopped) {
    Connect(TelescopeType::ControlBox);
    session.telescope.PulseDirection = 's';
    link.StartControlBoxMove();
    ASSERT_EQ(Received(2), Bytes({0x04, 0x14}));
    EXPECT_EQ(server->Snapshot(clock.Milliseconds()).decMotion, 's');
    link.StopControlBoxMove();
    EXPECT_EQ(Received(3), Bytes({0x04, 0x14, 0x00}));
    EXPECT_EQ(server->Snapshot(clock.Milliseconds()).decMotion, '\0');
}

TEST_F(LinkOverPty, ControlBoxResetWaitsThenWakesTheBox) {
    Connect(TelescopeType::ControlBox);
    session.settings.ControlBoxFound = false;
    const uint32_t before = clock.Milliseconds();
    link.ResetControlBox();
    EXPECT_GE(clock.Milliseconds() - before, 700U);
    EXPECT_EQ(Received(3), Bytes({0x0D, 0x00, 0x00}));
    EXPECT_TRUE(session.settings.ControlBoxFound);
    EXPECT_EQ(server->Snapshot(clock.Milliseconds()).boxResets, 1);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LinkOverPty, GotoMessier31SelectsAsksAndSlews) {
    Connect();
    const char status = link.GotoCatalogueObject('m', 31).status;
    EXPECT_EQ(Received(25), "#:LM 0031##:LI##:MS##:LI#");
    EXPECT_EQ(status, '0');
    EXPECT_EQ(session.telescope.ReplyText, "M31 Galaxy mag 3.4#");
    EXPECT_EQ(ui.beeps, 1);
    const MountSnapshot mount = server->Snapshot(clock.Milliseconds());
    ASSERT_TRUE(mount.target);
    EXPECT_EQ(mount.target->name, "M31");
    EXPECT_EQ(mount.slewsStarted, 1);
}

TEST_F(LinkOverPty, PlanetsAndCngcObjectsUseTheirPrefixes) {
    Connect();
    EXPECT_EQ(link.GotoCatalogueObject('s', 905).status, '0');
    EXPECT_EQ(session.telescope.ReplyText, "Jupiter Planet mag -2.2#");
    EXPECT_EQ(link.GotoCatalogueObject('c', 7000).status, '0');
    EXPECT_EQ(Received(50), "#:LS 0905##:LI##:MS##:LI##:LC 7000##:LI##:MS##:LI#");
}

TEST_F(LinkOverPty, RefusedCatalogueSlewKeepsTheMountsReason) {
    Connect();
    // M7 lies far below the horizon of the simulated site at its starting sidereal time.
    const char status = link.GotoCatalogueObject('m', 7).status;
    EXPECT_EQ(status, '1');
    EXPECT_EQ(session.telescope.ReplyText, "Object below the horizon#");
    EXPECT_EQ(Received(20), "#:LM 0007##:LI##:MS#");
    EXPECT_EQ(server->Snapshot(clock.Milliseconds()).slewsStarted, 0);
}

TEST_F(LinkOverPty, CoordinatesGoOutWithoutTheirClosingHash) {
    Connect();
    const char status = link.GotoCoordinates(5, 3, -5, 30).status;
    EXPECT_EQ(Received(33), "#:Sr 05:03.0#:Sd -05*30#:LI##:MS#");
    EXPECT_EQ(status, '0');
    // The mount acknowledges each coordinate with '1' before it describes the target; the
    // acknowledgements are not part of the description.
    EXPECT_EQ(session.telescope.ReplyText, "RA 05:03.0 DEC -05*30#");
    const MountSnapshot mount = server->Snapshot(clock.Milliseconds());
    ASSERT_TRUE(mount.target);
    EXPECT_NEAR(mount.target->raHours, 5.05, 1e-9);
    EXPECT_NEAR(mount.target->decDegrees, -5.5, 1e-9);
}

TEST_F(LinkOverPty, DeclinationSignComesFromTheDegrees) {
    Connect();
    link.GotoCoordinates(0, 0, 0, 30);
    EXPECT_EQ(Received(33), "#:Sr 00:00.0#:Sd +00*30#:LI##:MS#");
    server->ClearReceived();
    link.GotoCoordinates(23, 59, 0, 30, true);
    EXPECT_EQ(Received(33), "#:Sr 23:59.0#:Sd -00*30#:LI##:MS#");
    EXPECT_NEAR(server->Snapshot(clock.Milliseconds()).target->decDegrees, -0.5, 1e-9);
}

TEST_F(LinkOverPty, RefusedCoordinatesShowTheReason) {
    Connect();
    EXPECT_EQ(link.GotoCoordinates(5, 0, -80, 0).status, '1');
    EXPECT_EQ(session.telescope.ReplyText, "Object below the horizon#");
}

TEST_F(LinkOverPty, ObjectInformationIsReadIntoTheReply) {
    Connect();
    link.GotoCatalogueObject('m', 42);
    server->ClearReceived();
    session.telescope.ReplyText = "old";
    link.ReadObjectInfo();
    EXPECT_EQ(Received(5), "#:LI#");
    EXPECT_EQ(session.telescope.ReplyText, "M42 Nebula mag 4.0#");
}

TEST_F(LinkOverPty, ManualSlewUsesTheChosenRateAndStopsEveryDirection) {
    Connect();
    session.telescope.SlewRateCommand = "#:RC#";
    session.telescope.MoveCommand = "#:Mw#";
    link.StartSlew();
    ASSERT_EQ(Received(10), "#:RC##:Mw#");
    MountSnapshot mount = server->Snapshot(clock.Milliseconds());
    EXPECT_EQ(mount.rate, MoveRate::Centre);
    EXPECT_EQ(mount.raMotion, 'w');
    link.StopSlew();
    EXPECT_EQ(Received(30), "#:RC##:Mw##:Qn##:Qs##:Qe##:Qw#");
    mount = server->Snapshot(clock.Milliseconds());
    EXPECT_EQ(mount.raMotion, '\0');
    EXPECT_LT(mount.offset.x, 0);
}

TEST_F(LinkOverPty, FocuserRunsAtTheChosenSpeedUntilStopped) {
    Connect();
    session.telescope.FocusSpeedCommand = "#:FS#";
    session.telescope.FocusDirectionCommand = "#:F-#";
    link.StartFocus();
    ASSERT_EQ(Received(10), "#:FS##:F-#");
    EXPECT_TRUE(server->Snapshot(clock.Milliseconds()).focuserRunning);
    link.StopFocus();
    EXPECT_EQ(Received(15), "#:FS##:F-##:FQ#");
    const MountSnapshot mount = server->Snapshot(clock.Milliseconds());
    EXPECT_FALSE(mount.focuserRunning);
    EXPECT_LT(mount.focuserPosition, 0);
}

TEST_F(LinkOverPty, SecondComPortIsReachedThroughItsDataDirectoryEntry) {
    session.telescope.Ports.reset();  // COM1 and COM2 as the data directory maps them
    std::filesystem::create_symlink(server->DevicePath(), folder.Path() / "COM2");
    session.settings.Port = CommPort::Com2;
    Connect();
    EXPECT_EQ(session.telescope.PortNumber, 1);
    link.GotoCatalogueObject('m', 31);
    EXPECT_EQ(Received(25), "#:LM 0031##:LI##:MS##:LI#");
}

}  // namespace
}  // namespace talvor::testing
