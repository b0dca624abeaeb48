// The LX200 commands and control-box codes as they go on the wire.

#include <gtest/gtest.h>

#include "telescope/lx200_commands.h"

namespace talvor {
namespace {

TEST(Lx200Commands, CatalogueSelectionHasFourDigitsAndItsPrefix) {
    EXPECT_EQ(CatalogueCommand('m', 31), "#:LM 0031#");
    EXPECT_EQ(CatalogueCommand('s', 905), "#:LS 0905#");
    EXPECT_EQ(CatalogueCommand('c', 7815), "#:LC 7815#");
    EXPECT_EQ(CatalogueCommand('x', 7), "#:LC 0007#");
    EXPECT_EQ(CatalogueCommand('m', 31).size(), 10U);
}

TEST(Lx200Commands, CoordinatesLeaveTheirClosingHashToTheNextCommand) {
    EXPECT_EQ(RightAscensionCommand(5, 3), "#:Sr 05:03.0");
    EXPECT_EQ(RightAscensionCommand(5, 3).size(), 12U);
    EXPECT_EQ(RightAscensionCommand(23, 59), "#:Sr 23:59.0");
    EXPECT_EQ(DeclinationCommand(true, 5, 30), "#:Sd -05*30");
    EXPECT_EQ(DeclinationCommand(true, 5, 30).size(), 11U);
    EXPECT_EQ(DeclinationCommand(false, 0, 30), "#:Sd +00*30");
    EXPECT_EQ(DeclinationCommand(false, 89, 59), "#:Sd +89*59");
    EXPECT_EQ(DeclinationCommand(true, -89, 59), "#:Sd -89*59");
}

TEST(Lx200Commands, MovesAndStopsCarryTheDirectionCharacter) {
    EXPECT_EQ(MoveCommand('n'), "#:Mn#");
    EXPECT_EQ(MoveCommand('w'), "#:Mw#");
    EXPECT_EQ(StopCommand('e'), "#:Qe#");
    EXPECT_EQ(StopCommand('s'), "#:Qs#");
    EXPECT_TRUE(IsDirection('s'));
    EXPECT_FALSE(IsDirection('S'));
}

TEST(Lx200Commands, ControlBoxCodesAndPlanets) {
    EXPECT_EQ(ControlBoxCode('e'), 0x01);
    EXPECT_EQ(ControlBoxCode('n'), 0x02);
    EXPECT_EQ(ControlBoxCode('s'), 0x04);
    EXPECT_EQ(ControlBoxCode('w'), 0x08);
    EXPECT_EQ(ControlBoxCode('x'), 0x00);
    EXPECT_EQ(PlanetByName("mercury"), 901);
    EXPECT_EQ(PlanetByName("Mars"), 904);
    EXPECT_EQ(PlanetByName("PLUTO"), 909);
    EXPECT_EQ(PlanetByName("Earth"), 0);
}

}  // namespace
}  // namespace talvor
