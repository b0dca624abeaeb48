// The simulated mount's answers to the bytes the program sends, and its sky.

#include <gtest/gtest.h>

#include "simulator/mount_protocol.h"
#include "simulator/mount_protocol_fixture.h"
#include "simulator/sky_catalogue.h"
#include "simulator/sky_geometry.h"

namespace talvor {
namespace {

class MountProtocolTest : public testing::MountProtocolFixture {};

TEST_F(MountProtocolTest, RatesMovesAndStops) {
    EXPECT_EQ(Send("#:RG##:Me#"), "");
    EXPECT_EQ(protocol.Rate(), MoveRate::Guide);
    EXPECT_EQ(mount.RaMotion(), 'e');
    Send("#:Qe#", 1000);
    EXPECT_NEAR(mount.OffsetAt(2000).x, 3.0, 1e-3);
    Send("#:RM##:Ms#", 2000);
    EXPECT_EQ(protocol.Rate(), MoveRate::Find);
    Send("#:Q#", 2100);
    EXPECT_NEAR(mount.OffsetAt(3000).y, -0.1 * 3 * 32, 1e-3);
}

TEST_F(MountProtocolTest, SelectionDescriptionAndSlew) {
    EXPECT_EQ(Send("#:LI#"), "#");
    EXPECT_EQ(Send("#:LM 0031##:LI##:MS#"), "M31 Galaxy mag 3.4#0");
    EXPECT_EQ(protocol.SlewsStarted(), 1);
    EXPECT_EQ(Send("#:LC 7000##:LI#"), "CNGC7000 Object mag 11.0#");
    EXPECT_EQ(Send("#:LS 0906##:LI#"), "Saturn Planet mag 0.8#");
    // A number the catalogue lacks keeps the last selection.
    EXPECT_EQ(Send("#:LM 0111##:LI#"), "Saturn Planet mag 0.8#");
}

TEST_F(MountProtocolTest, CoordinatesAreAcknowledgedAndDescribed) {
    EXPECT_EQ(Send("#:Sr 05:03.0#:Sd -05*30#:LI#"), "11RA 05:03.0 DEC -05*30#");
    EXPECT_EQ(Send("#:Sr 25:00.0#"), "0");
    EXPECT_EQ(Send("#:Sd +91*00#"), "0");
    EXPECT_EQ(Send("#:Sd 10*00#"), "0");
    EXPECT_EQ(Send("#:Sd -00*30#:LI#"), "1RA 05:03.0 DEC -00*30#");
    ASSERT_TRUE(protocol.Target());
    EXPECT_NEAR(protocol.Target()->decDegrees, -0.5, 1e-12);
}

TEST_F(MountProtocolTest, ObjectsBelowTheHorizonAreRefusedWithAReason) {
    EXPECT_EQ(Send("#:MS#"), "1No object selected#");
    EXPECT_EQ(Send("#:Sr 05:00.0#:Sd -80*00#:MS#"), "111Object below the horizon#");
    EXPECT_EQ(protocol.SlewsStarted(), 0);
}

TEST_F(MountProtocolTest, FocuserCommands) {
    Send("#:FS##:F+#", 0);
    EXPECT_TRUE(focuser.Running());
    Send("#:FQ#", 1000);
    EXPECT_DOUBLE_EQ(focuser.PositionAt(2000), FocuserModel::kSlowStepsPerSecond);
    Send("#:FF##:F-#", 2000);
    Send("#:FQ#", 2500);
    EXPECT_DOUBLE_EQ(focuser.PositionAt(3000), 20 - 100);
}

TEST_F(MountProtocolTest, ControlBoxBytesDriveAtTheGuideRate) {
    Send(std::string("\x0D\x00\x00", 3));
    EXPECT_EQ(protocol.BoxResets(), 1);
    Send("\x01", 0);  // selecting alone does not move
    EXPECT_EQ(mount.RaMotion(), '\0');
    Send("\x11", 0);
    Send("\x12", 0);
    EXPECT_EQ(protocol.BoxDrives(), 0x03);
    Send(std::string(1, '\0'), 2000);
    EXPECT_EQ(protocol.BoxDrives(), 0);
    EXPECT_NEAR(mount.OffsetAt(5000).x, 6.0, 1e-3);
    EXPECT_NEAR(mount.OffsetAt(5000).y, 6.0, 1e-3);
}

TEST_F(MountProtocolTest, BoxBytesBetweenCommandCharactersDoNotBreakCommands) {
    EXPECT_EQ(Send(std::string("#:L\x00I#", 6)), "#");
    EXPECT_EQ(Send(std::string(100, 'x') + "#:LM 0042##:LI#"), "M42 Nebula mag 4.0#");
}

TEST(SkyCatalogue, KnownObjectsAndTheHorizon) {
    const auto m31 = FindCatalogueObject('m', 31);
    ASSERT_TRUE(m31);
    EXPECT_NEAR(m31->raHours, 0.7117, 1e-3);
    EXPECT_NEAR(m31->decDegrees, 41.267, 1e-3);
    EXPECT_NEAR(FindCatalogueObject('m', 2)->decDegrees, -49 / 60.0, 1e-9);
    EXPECT_FALSE(FindCatalogueObject('m', 0));
    EXPECT_FALSE(FindCatalogueObject('s', 903));
    EXPECT_TRUE(FindCatalogueObject('c', 7815));
    EXPECT_EQ(FindCatalogueObject('m', 50)->name, "M50");

    // On the meridian an object culminates at 90 - latitude + declination.
    EXPECT_NEAR(AltitudeDegrees(6, 10, 50, 6), 50, 1e-9);
    EXPECT_NEAR(AltitudeDegrees(6, 10, 50, 18), -30, 1e-9);
    EXPECT_NEAR(AltitudeDegrees(0, 90, 51.5, 3), 51.5, 1e-9);
    EXPECT_LE(DescribeObject({"CNGC7815", "Object", 0, 0, 11}).size(), 31U);
}

}  // namespace
}  // namespace talvor
