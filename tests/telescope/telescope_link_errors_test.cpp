// Opening the link, its error check and what the user is told when the port fails.

#include <gtest/gtest.h>

#include <fstream>

#include "image/settings_file.h"
#include "telescope/posix_serial_port.h"
#include "telescope/recording_serial_port.h"
#include "telescope/telescope_fixture.h"

namespace talvor::testing {
namespace {

using Strings = std::vector<std::string>;

class LinkOpening : public RealTimeSessionTest {
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

TEST_F(LinkOpening, FailedResetIsReportedAndTheLaterStepsStillRun) {
    port->failing["Reset"] = kSerialCannotOpen;
    link.ConnectTelescope();
    EXPECT_EQ(ui.messages, Strings{"ERROR -4 "});
    EXPECT_EQ(port->Setup(), (Strings{"Reset 0 1024 1024", "Done 0", "Baud 0 5", "Dtr 0 S",
                                      "Rts 0 S", "Parms 0 0 0 8"}));
    // Only the line settings decide whether the open succeeded.
    EXPECT_TRUE(session.telescope.PortOpen);
}

TEST_F(LinkOpening, FailedLineSettingsLeaveNoTelescope) {
    port->failing["Parms"] = kSerialLineError;
    link.ConnectTelescope();
    EXPECT_EQ(ui.messages, (Strings{"ERROR -7 ", "Open Communications Failed",
                                    "Sorry. No Connection to Telescope"}));
    EXPECT_FALSE(session.telescope.PortOpen);
    EXPECT_EQ(session.settings.Telescope, TelescopeType::None);
}

TEST_F(LinkOpening, FailedControlBoxOpenStillMarksTheLinkOpen) {
    session.settings.Telescope = TelescopeType::ControlBox;
    port->failing["Parms"] = kSerialLineError;
    link.ConnectTelescope();
    EXPECT_EQ(ui.messages, (Strings{"ERROR -7 ", "Open Communications Failed"}));
    EXPECT_TRUE(session.telescope.PortOpen);
    EXPECT_EQ(session.settings.Telescope, TelescopeType::ControlBox);
}

TEST_F(LinkOpening, AFailedByteClosesThePortAndTheNextCommandReopensIt) {
    session.settings.Telescope = TelescopeType::ControlBox;
    link.ConnectTelescope();
    port->failing["Putc"] = kSerialWriteError;
    port->calls.clear();
    session.telescope.PulseDirection = 'e';
    link.StartControlBoxMove();
    EXPECT_EQ(ui.messages, (Strings{"ERROR -8 ", "ERROR -8 "}));
    EXPECT_FALSE(session.telescope.PortOpen);

    port->failing.clear();
    port->calls.clear();
    link.ConnectTelescope();
    EXPECT_TRUE(session.telescope.PortOpen);
    EXPECT_EQ(port->Setup().front(), "Reset 0 1024 1024");
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
    EXPECT_EQ(link.GotoCatalogueObject('m', 31), '0');
    EXPECT_EQ(session.telescope.ReplyText, "M31 Galaxy#");
    EXPECT_EQ(port->written, "#:LM 0031##:LI##:MS##:LI#");
}

TEST_F(LinkOpening, SilentMountLeavesTheReplyEmptyAndGivesNoStatus) {
    link.ConnectTelescope();
    EXPECT_EQ(link.GotoCoordinates(12, 0, 10, 0), kNoSlewStatus);
    EXPECT_EQ(session.telescope.ReplyText, "");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LinkOpening, LongDescriptionIsReadInPiecesOf33) {
    link.ConnectTelescope();
    port->incoming = std::string(33, 'a') + "bcd#";
    link.ReadObjectInfo();
    // The first 33 characters, then the further one, then the rest replaces them.
    EXPECT_EQ(session.telescope.ReplyText, "cd#");
}

// The real serial code on a device that is not there.
class MissingPort : public RealTimeSessionTest {};

TEST_F(MissingPort, Lx200OpenFailsWithEveryStepReportedAndNoTelescope) {
    std::filesystem::create_symlink(folder.Path() / "nowhere", folder.Path() / "com1");
    session.settings.Telescope = TelescopeType::MeadeLx200;
    TelescopeLink link(session);
    link.ConnectTelescope();
    EXPECT_EQ(ui.messages,
              (Strings{"ERROR -4 ", "ERROR -3 ", "ERROR -3 ", "ERROR -3 ", "ERROR -3 ",
                       "Open Communications Failed", "Sorry. No Connection to Telescope"}));
    EXPECT_FALSE(session.telescope.PortOpen);
    EXPECT_EQ(session.settings.Telescope, TelescopeType::None);
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
