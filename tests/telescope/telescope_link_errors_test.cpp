// Opening the link, its error check and what the user is told when the port fails: one box that
// names the device and the reason, never one per step or per pulse.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>

#include <fstream>

#include "guiding/guide_correction.h"
#include "image/settings_file.h"
#include "support/session_fixture.h"
#include "telescope/posix_serial_port.h"
#include "telescope/recording_serial_port.h"
#include "telescope/telescope_fixture.h"
#include "telescope/unique_descriptor.h"

namespace talvor::testing {
namespace {

using Strings = std::vector<std::string>;

class LinkOpening : public SessionTest {
  protected:
    LinkOpening() {
        auto recording = std::make_unique<RecordingSerialPort>();
        port = recording.get();
        session.telescope.Ports = std::move(recording);
        session.settings.Telescope = TelescopeType::MeadeLx200;
    }

    RecordingSerialPort* port;
    TelescopeLink link{session};
};

TEST_F(LinkOpening, Lx200OpensAt9600With8N1AndRaisedLines) {
    link.ConnectTelescope();
    EXPECT_TRUE(session.telescope.PortOpen);
    EXPECT_EQ(port->Setup(),
              (Strings{"Reset 0 1024 1024", "Baud 0 5", "Dtr 0 S", "Rts 0 S", "Parms 0 0 0 8"}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LinkOpening, ControlBoxOpensAt300WithoutTouchingTheLines) {
    session.settings.Telescope = TelescopeType::ControlBox;
    session.settings.Port = CommPort::Com2;
    link.ConnectTelescope();
    EXPECT_EQ(port->Setup(), (Strings{"Reset 1 1024 1024", "Baud 1 1", "Parms 1 0 0 8"}));
    EXPECT_TRUE(session.telescope.PortOpen);
    EXPECT_TRUE(session.settings.ControlBoxFound);
}

TEST_F(LinkOpening, FailedResetIsOneBoxAndNoFurtherStep) {
    port->failing["Reset"] = kSerialCannotOpen;
    link.ConnectTelescope();
    // The steps after a failed open would only fail on a port that is not open.
    EXPECT_EQ(port->Setup(), Strings{"Reset 0 1024 1024"});
    EXPECT_EQ(ui.messages, Strings{"Sorry. No Connection to Telescope\n\nOpen Communications "
                                   "Failed\n\nCOM1 (/dev/ttyREC0): the device cannot be "
                                   "opened\nERROR -4 "});
    EXPECT_FALSE(session.telescope.PortOpen);
    EXPECT_EQ(session.settings.Telescope, TelescopeType::None);
}

TEST_F(LinkOpening, FailedLineSettingsLeaveNoTelescope) {
    port->failing["Parms"] = kSerialLineError;
    link.ConnectTelescope();
    EXPECT_EQ(ui.messages, Strings{"Sorry. No Connection to Telescope\n\nOpen Communications "
                                   "Failed\n\nCOM1 (/dev/ttyREC0): the line settings could not "
                                   "be set\nERROR -7 "});
    EXPECT_EQ(port->Setup().back(), "Done 0");
    EXPECT_FALSE(session.telescope.PortOpen);
    EXPECT_EQ(session.settings.Telescope, TelescopeType::None);
}

TEST_F(LinkOpening, FailedControlBoxOpenStillMarksTheLinkOpenAndItsBytesFailQuietly) {
    session.settings.Telescope = TelescopeType::ControlBox;
    session.settings.Port = CommPort::Com2;
    port->failing["Reset"] = kSerialCannotOpen;
    link.ConnectTelescope();
    EXPECT_EQ(ui.messages, Strings{"Open Communications Failed\n\nCOM2 (/dev/ttyREC0): the "
                                   "device cannot be opened\nERROR -4 "});
    EXPECT_TRUE(session.telescope.PortOpen);
    EXPECT_EQ(session.settings.Telescope, TelescopeType::ControlBox);
    // The box's operations fail without a box of their own: the user knows why. The reset does
    // not wait for lines it cannot drop.
    const uint32_t before = clock.Milliseconds();
    EXPECT_EQ(link.ResetControlBox(), LinkStatus::Lost);
    EXPECT_EQ(clock.Milliseconds(), before);
    session.telescope.PulseDirection = 'n';
    EXPECT_EQ(link.SendGuidePulse(), LinkStatus::Lost);
    EXPECT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(port->written, "");
}

TEST_F(LinkOpening, AFailedByteIsToldOnceClosesThePortAndTheNextCommandReopensIt) {
    session.settings.Telescope = TelescopeType::ControlBox;
    link.ConnectTelescope();
    port->failing["Putc"] = kSerialWriteError;
    port->calls.clear();
    session.telescope.PulseDirection = 'e';
    EXPECT_EQ(link.StartControlBoxMove(), LinkStatus::Lost);
    EXPECT_EQ(ui.messages, Strings{"Communication with telescope failed\n\nCOM1 (/dev/ttyREC0) "
                                   "stopped answering: the bytes could not be sent\nERROR -8 "});
    EXPECT_FALSE(session.telescope.PortOpen);

    port->failing.clear();
    port->calls.clear();
    link.ConnectTelescope();
    EXPECT_TRUE(session.telescope.PortOpen);
    EXPECT_EQ(port->Setup().front(), "Reset 0 1024 1024");
}

TEST_F(LinkOpening, AControlBoxThatStopsTakingBytesIsToldOnceWhilePulsesGoOn) {
    session.settings.Telescope = TelescopeType::ControlBox;
    link.ConnectTelescope();
    session.telescope.PulseDirection = 's';
    session.telescope.PulseLength = 200;
    EXPECT_EQ(link.SendGuidePulse(), LinkStatus::Done);
    port->failing["Putc"] = kSerialWriteError;
    // A pulse a second for a minute, as guiding would send without the check of its result.
    for (int second = 0; second < 60; ++second) {
        EXPECT_EQ(link.SendGuidePulse(), LinkStatus::Lost);
        clock.Advance(1000);
    }
    EXPECT_EQ(ui.messages.size(), 1U);
    EXPECT_NE(ui.messages[0].find("ERROR -8 "), std::string::npos);
}

TEST_F(LinkOpening, AnLx200WriteThatFailsIsToldOnceAndEndsGuiding) {
    link.ConnectTelescope();
    port->failing["Puts"] = kSerialWriteError;
    session.capture.Run.ContinuousRunning = true;
    session.settings.RaPixelsPerSecond = 1;
    session.settings.DecPixelsPerSecond = 1;
    // Both axes need a correction: the first pulse finds the mount gone, the second stays quiet.
    CorrectGuideOffset(session, {2000, -2000});
    EXPECT_FALSE(session.capture.Run.ContinuousRunning);
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].rfind("Communication with telescope failed", 0), 0U);
    EXPECT_FALSE(session.telescope.PortOpen);
}

TEST_F(LinkOpening, UnreadableSettingsAreReportedAndWrittenAfresh) {
    std::filesystem::create_directories(folder.Path() / "autosave");
    std::ofstream(folder.Path() / "autosave" / "talvor.ini") << "short";
    link.ConnectTelescope();
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.front(), "Unable to load INI file, please delete and try again");
    EXPECT_EQ(std::filesystem::file_size(folder.Path() / "autosave" / "talvor.ini"),
              kSettingsFileSize);
}

TEST_F(LinkOpening, GotoReadsTheStatusAfterTheObjectsDescription) {
    link.ConnectTelescope();
    port->incoming = "M31 Galaxy#0M31 Galaxy#";
    EXPECT_EQ(link.GotoCatalogueObject('m', 31).status, '0');
    EXPECT_EQ(session.telescope.ReplyText, "M31 Galaxy#");
    EXPECT_EQ(port->written, "#:LM 0031##:LI##:MS##:LI#");
}

TEST_F(LinkOpening, SilentMountLeavesTheReplyEmptyAndIsTold) {
    link.ConnectTelescope();
    const SlewAnswer answer = link.GotoCoordinates(12, 0, 10, 0);
    EXPECT_EQ(answer.status, kNoSlewStatus);
    EXPECT_EQ(answer.link, LinkStatus::NoAnswer);
    EXPECT_EQ(session.telescope.ReplyText, "");
    EXPECT_EQ(ui.messages, Strings{"No answer from the telescope on COM1 (/dev/ttyREC0).\n\nCheck "
                                   "that it is switched on and that its cable is plugged in."});
}

TEST_F(LinkOpening, LongDescriptionIsReadInPiecesOf33) {
    link.ConnectTelescope();
    port->incoming = std::string(33, 'a') + "bcd#";
    link.ReadObjectInfo();
    // The first 33 characters, then the further one, then the rest replaces them.
    EXPECT_EQ(session.telescope.ReplyText, "cd#");
}

// The real serial code on a device that is not there, or that another program holds.
class MissingPort : public SessionTest {};

TEST_F(MissingPort, Lx200OpenFailsInOneBoxNamingTheDeviceAndTheReason) {
    std::filesystem::create_symlink(folder.Path() / "nowhere", folder.Path() / "com1");
    session.settings.Telescope = TelescopeType::MeadeLx200;
    TelescopeLink link(session);
    link.ConnectTelescope();
    const std::string device =
        (folder.Path() / "com1").string() + " -> " + (folder.Path() / "nowhere").string();
    EXPECT_EQ(ui.messages,
              Strings{"Sorry. No Connection to Telescope\n\nOpen Communications Failed\n\nCOM1 (" +
                      device + "): the device is not there - is the cable plugged in?\nERROR -4 "});
    EXPECT_FALSE(session.telescope.PortOpen);
    EXPECT_EQ(session.settings.Telescope, TelescopeType::None);
}

TEST_F(MissingPort, APortAnotherProgramHoldsIsBusy) {
    const UniqueDescriptor master(posix_openpt(O_RDWR | O_NOCTTY));
    ASSERT_TRUE(master.IsOpen());
    grantpt(master.Get());
    unlockpt(master.Get());
    const std::string device = ptsname(master.Get());
    const UniqueDescriptor holder(open(device.c_str(), O_RDWR | O_NOCTTY));
    ASSERT_EQ(flock(holder.Get(), LOCK_EX | LOCK_NB), 0);
    session.telescope.Ports = MakePortsLeadingTo(device);
    session.settings.Telescope = TelescopeType::ControlBox;
    TelescopeLink(session).ConnectTelescope();
    EXPECT_EQ(ui.messages, Strings{"Open Communications Failed\n\nCOM1 (" + device +
                                   "): the device is busy - another program is using it\nERROR "
                                   "-4 "});
}

TEST_F(MissingPort, ComPortsMapToDataDirectoryEntriesOrTheFirstSerialLines) {
    const DataDirectory& data = session.dataDirectory;
    EXPECT_EQ(ComPortDevice(data, 0), "/dev/ttyS0");
    EXPECT_EQ(ComPortDevice(data, 1), "/dev/ttyS1");
    std::filesystem::create_symlink("/dev/ttyUSB7", folder.Path() / "Com1");
    EXPECT_EQ(ComPortDevice(data, 0), folder.Path() / "Com1");
    EXPECT_EQ(ComPortDevice(data, 1), "/dev/ttyS1");
}

}  // namespace
}  // namespace talvor::testing
