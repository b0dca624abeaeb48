// The LX200 command set as other programs use it: the handshake, positions in both
// precisions, go-to with the distance bar, sync, pulses, the site and clock, identity, and
// commands the mount does not know.

#include <gtest/gtest.h>

#include <vector>

#include "simulator/mount_protocol.h"
#include "simulator/mount_protocol_fixture.h"

namespace talvor {
namespace {

class MountCommandSetTest : public testing::MountProtocolFixture {
  protected:
    MountCommandSetTest() {
        protocol.SetEventSink([this](const MountEvent& event) { events.push_back(event); });
    }

    std::vector<MountEvent> events;
};

TEST_F(MountCommandSetTest, AckGivesTheAlignmentMode) {
    EXPECT_EQ(Send("\x06"), "P");
    EXPECT_EQ(Send(":AL#\x06"), "L");
    EXPECT_FALSE(mount.Tracking());
    EXPECT_EQ(Send(":AP#\x06"), "P");
    EXPECT_TRUE(mount.Tracking());
    EXPECT_EQ(Send(":GW#"), "PT1#");
}

TEST_F(MountCommandSetTest, PositionInLowThenHighPrecision) {
    EXPECT_EQ(Send(":GR#:GD#"), "02:00.0#+30*00#");
    Send(":U#");
    EXPECT_TRUE(protocol.HighPrecision());
    EXPECT_EQ(Send(":GR#:GD#"), "02:00:00#+30*00'00#");
    EXPECT_EQ(Send(":GZ#"), "180*00'00#");
    EXPECT_EQ(Send(":GA#"), "+68*30'00#");
    Send(":U#");
    EXPECT_EQ(Send(":GA#"), "+68*30#");
}

TEST_F(MountCommandSetTest, GoToWithSecondsReportsTheSlewUntilItEnds) {
    Send(":U#");
    EXPECT_EQ(Send(":Sr 03:47:24#:Sd +22*00:53#"), "11");
    EXPECT_EQ(Send(":Gr#:Gd#"), "03:47:24#+22*00'53#");
    EXPECT_EQ(Send(":MS#", 1000), "0");
    ASSERT_TRUE(protocol.NextEventMs());
    const uint32_t end = *protocol.NextEventMs();
    EXPECT_EQ(Send(":D#", 2000), "\x7f#");
    EXPECT_EQ(Send(":D#", end), "#");
    EXPECT_EQ(Send(":GR#:GD#", end + 10), "03:47:24#+22*00'53#");
    ASSERT_EQ(events.size(), 2U);
    EXPECT_EQ(events[0].milliseconds, 1000U);
    EXPECT_NE(events[0].text.find("slew to RA 03:47:24 Dec +22*00'53 (RA 03:47:24 Dec "
                                  "+22*00'53) started"),
              std::string::npos)
        << events[0].text;
    EXPECT_EQ(events[1].milliseconds, end);
    EXPECT_EQ(events[1].text, "slew ended at RA 03:47:24 Dec +22*00'53");
    EXPECT_FALSE(protocol.NextEventMs());
}

TEST_F(MountCommandSetTest, CatalogueGoToAndAbort) {
    EXPECT_EQ(Send(":LM42#:MS#", 0), "0");
    Send(":Q#", 1000);
    EXPECT_EQ(Send(":D#", 1001), "#");
    ASSERT_EQ(events.size(), 2U);
    EXPECT_NE(events[0].text.find("slew to M42"), std::string::npos);
    EXPECT_EQ(events[1].text.rfind("slew stopped at", 0), 0U) << events[1].text;
    // Below the horizon: refused with the reason, nothing moves.
    EXPECT_EQ(Send(":LM7#:MS#", 2000), "1Object below the horizon#");
    EXPECT_EQ(events.back().text, "go-to to M7 refused: below the horizon");
}

TEST_F(MountCommandSetTest, SyncAnswersWithTheObjectAndChangesTheReadout) {
    Send(":U#");
    EXPECT_EQ(Send(":Sr 02:10:00#:Sd +31*00:00#:CM#"), "11Coordinates matched#");
    EXPECT_EQ(Send(":GR#:GD#"), "02:10:00#+31*00'00#");
    EXPECT_EQ(Send(":LM31#:CM#"), "M31 Galaxy mag 3.4#");
    EXPECT_EQ(events.back().text, "synced to RA 00:42:42 Dec +41*16'00");
}

TEST_F(MountCommandSetTest, PulsesAndMovesAtTheFourRates) {
    Send(":U#");
    Send(":Mgn2000#", 0);
    EXPECT_EQ(events.back().text, "guide pulse n 2000 ms");
    // 2 seconds at 3 pixels of 2.5 arc-seconds: 15 arc-seconds north.
    EXPECT_EQ(Send(":GD#", 5000), "+30*00'15#");
    Send(":RC#:Ms#", 5000);
    Send(":Qs#", 6000);
    EXPECT_EQ(Send(":GD#", 7000), "+29*59'15#");  // a second at 8 times the guide rate
    Send(":R9#:Mw#", 7000);
    EXPECT_EQ(protocol.Rate(), MoveRate::Slew);
    Send(":Q#", 7100);
    EXPECT_EQ(mount.RaMotion(), '\0');
    // A pulse of no direction or an unreadable time is not a pulse.
    Send(":Mgx0100#:Mgn12x#");
    EXPECT_EQ(events.back().text, "ignored unknown command :Mgn12x#");
}

TEST_F(MountCommandSetTest, SiteAndClockAreSetAndReadBack) {
    EXPECT_EQ(Send(":St+48:12:30#"), "1");
    EXPECT_EQ(Send(":Gt#"), "+48*13#");  // read back to the arc-minute
    EXPECT_EQ(Send(":Sg350*00#"), "1");  // ten degrees east, counted westward
    EXPECT_EQ(Send(":Gg#"), "-010*00#");
    EXPECT_NEAR(mount.Site().Longitude(), 10, 1e-9);
    EXPECT_EQ(Send(":SG -01#"), "1");
    EXPECT_EQ(Send(":GG#"), "-01#");
    EXPECT_EQ(Send(":SL 22:10:05#"), "1");
    EXPECT_EQ(Send(":SC 03/01/26#"), "1Updating Planetary Data#                              #");
    EXPECT_EQ(Send(":GL#:GC#", 1000), "22:10:06#03/01/26#");
    EXPECT_EQ(Send(":Ga#", 1000), "10:10:06#");
    EXPECT_EQ(Send(":SC 13/01/26#:SL 25:00:00#:St+95*00#:SG +30#"), "0000");
    EXPECT_EQ(Send(":Gc#"), "24#");
    EXPECT_EQ(Send(":GT#"), "60.1#");
}

TEST_F(MountCommandSetTest, IdentityAndGotoRate) {
    EXPECT_EQ(Send(":GVP#:GVN#"), "Talvor Mountsim#1.0#");
    EXPECT_EQ(Send(":Sw4#"), "1");
    EXPECT_DOUBLE_EQ(mount.GotoRate(), 4);
    EXPECT_EQ(Send(":Sw9#"), "0");
}

TEST_F(MountCommandSetTest, UnknownCommandsAreIgnoredAndReported) {
    EXPECT_EQ(Send(":XY#:GQ#:S#:Z#", 300), "");
    ASSERT_EQ(events.size(), 4U);
    EXPECT_EQ(events[0].text, "ignored unknown command :XY#");
    EXPECT_EQ(events[1].text, "ignored unknown command :GQ#");
    EXPECT_EQ(events[0].milliseconds, 300U);
    // The mount still answers what follows.
    EXPECT_EQ(Send(":GR#"), "02:00.0#");
}

}  // namespace
}  // namespace talvor
