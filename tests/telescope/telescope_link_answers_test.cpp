// The mount's answers as real mounts give them: late, without their closing '#', a byte at a
// time, or not at all; and mounts that vanish in the middle. All on the test clock, which the
// link's waits move on instead of sleeping.

#include <gtest/gtest.h>

#include "support/session_fixture.h"
#include "telescope/lx200_commands.h"
#include "telescope/telescope_link.h"
#include "telescope/timed_mount_port.h"

namespace talvor::testing {
namespace {

using Strings = std::vector<std::string>;

constexpr const char* kNoAnswer =
    "No answer from the telescope on COM1 (/dev/ttyFAKE0).\n\nCheck that it is switched on and "
    "that its cable is plugged in.";

class MountAnswers : public SessionTest {
  protected:
    MountAnswers() {
        auto owned = std::make_unique<TimedMountPort>(clock);
        mount = owned.get();
        session.telescope.Ports = std::move(owned);
        session.settings.Telescope = TelescopeType::MeadeLx200;
        link.ConnectTelescope();
        mount->answers = {{"#:LI#", "M31 Galaxy mag 3.4#"}, {"#:MS#", "0"}};
    }

    // The time of the first write of these bytes.
    uint32_t WrittenAt(const std::string& bytes) const {
        for (const TimedMountPort::Write& write : mount->writes) {
            if (write.bytes == bytes) {
                return write.milliseconds;
            }
        }
        ADD_FAILURE() << bytes << " was not written";
        return 0;
    }

    TimedMountPort* mount = nullptr;
    TelescopeLink link{session};
};

TEST_F(MountAnswers, ASlowDescriptionIsNotTakenForTheSlewStatus) {
    mount->answerDelayMs = 400;
    const uint32_t start = clock.Milliseconds();
    const SlewAnswer answer = link.GotoCatalogueObject('m', 31);
    EXPECT_EQ(answer.status, '0');
    EXPECT_EQ(answer.link, LinkStatus::Done);
    EXPECT_EQ(session.telescope.ReplyText, "M31 Galaxy mag 3.4#");
    EXPECT_EQ(mount->Written(), "#:LM 0031##:LI##:MS##:LI#");
    // The slew is asked for once the description has come.
    EXPECT_GE(WrittenAt("#:MS#") - start, 400U);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MountAnswers, ADescriptionWithoutItsHashKeepsTheStatusApart) {
    mount->answers["#:LI#"] = "M31 Galaxy";
    mount->byteGapMs = 5;
    const SlewAnswer answer = link.GotoCatalogueObject('m', 31);
    EXPECT_EQ(answer.status, '0');
    EXPECT_EQ(session.telescope.ReplyText, "M31 Galaxy");

    // The same for coordinates, where each coordinate is acknowledged before the description.
    mount->answers["#:Sr 05:03.0"] = "1";
    mount->answers["#:Sd -05*30"] = "1";
    mount->answers["#:LI#"] = "RA 05:03.0 DEC -05*30";
    EXPECT_EQ(link.GotoCoordinates(5, 3, -5, 30).status, '0');
    EXPECT_EQ(session.telescope.ReplyText, "RA 05:03.0 DEC -05*30");
}

TEST_F(MountAnswers, ARefusedCoordinateAsksForNoSlew) {
    mount->answers["#:Sr 05:03.0"] = "1";
    mount->answers["#:Sd -95*30"] = "0";
    mount->answers["#:LI#"] = "RA 05:03.0 DEC +10*00#";
    const SlewAnswer answer = link.GotoCoordinates(5, 3, -95, 30);
    EXPECT_EQ(answer.status, kCoordinatesRefused);
    EXPECT_EQ(answer.link, LinkStatus::Done);
    EXPECT_EQ(session.telescope.ReplyText, kCoordinatesRefusedText);
    // The mount's old target stays where it was: the slew is never asked for.
    EXPECT_EQ(mount->Written(), "#:Sr 05:03.0#:Sd -95*30#:LI#");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MountAnswers, AMountThatAnswersNoCoordinateKeepsItsWholeDescription) {
    mount->answers["#:LI#"] = "RA 05:03.0 DEC -05*30#";
    EXPECT_EQ(link.GotoCoordinates(5, 3, -5, 30).status, '0');
    EXPECT_EQ(session.telescope.ReplyText, "RA 05:03.0 DEC -05*30#");
    EXPECT_EQ(mount->Written(), "#:Sr 05:03.0#:Sd -05*30#:LI##:MS#");

    // Nor does an empty description wait for more.
    mount->answers["#:LI#"] = "#";
    const uint32_t start = clock.Milliseconds();
    EXPECT_EQ(link.GotoCoordinates(5, 3, -5, 30).status, '0');
    EXPECT_EQ(session.telescope.ReplyText, "#");
    EXPECT_LT(clock.Milliseconds() - start, 100U);
}

TEST_F(MountAnswers, AnswersThatDripAreTimedWholeNotByteByByte) {
    mount->answerDelayMs = 100;
    mount->byteGapMs = 60;
    const uint32_t start = clock.Milliseconds();
    const SlewAnswer answer = link.GotoCatalogueObject('m', 31);
    EXPECT_EQ(answer.status, '0');
    EXPECT_EQ(session.telescope.ReplyText, "M31 Galaxy mag 3.4#");
    // Two descriptions of 19 bytes, 60 ms apart, and a status: the go-to lasts as long as the
    // mount takes to send them, not a timeout per byte.
    EXPECT_LT(clock.Milliseconds() - start, 2 * (100 + 18 * 60) + 100 + 50U);
}

TEST_F(MountAnswers, ALongDescriptionIsCutAndItsRestIsNotTakenForTheStatus) {
    mount->answers["#:LI#"] = std::string(40, 'x') + "#";
    const SlewAnswer answer = link.GotoCoordinates(1, 0, 0, 0);
    EXPECT_EQ(answer.status, '0');
    EXPECT_EQ(session.telescope.ReplyText, std::string(33, 'x'));
}

TEST_F(MountAnswers, ARefusalWithoutHashKeepsItsReason) {
    mount->answers["#:MS#"] = "1Object below the horizon";
    const SlewAnswer answer = link.GotoCatalogueObject('m', 7);
    EXPECT_EQ(answer.status, '1');
    EXPECT_EQ(answer.link, LinkStatus::Done);
    EXPECT_EQ(session.telescope.ReplyText, "Object below the horizon");
    EXPECT_EQ(mount->Written(), "#:LM 0007##:LI##:MS#");
}

TEST_F(MountAnswers, ASilentMountIsToldWhileTheWindowKeepsAnswering) {
    mount->answers.clear();
    const uint32_t start = clock.Milliseconds();
    const SlewAnswer answer = link.GotoCatalogueObject('m', 31);
    EXPECT_EQ(answer.status, kNoSlewStatus);
    EXPECT_EQ(answer.link, LinkStatus::NoAnswer);
    EXPECT_EQ(ui.messages, Strings{kNoAnswer});
    // Nothing more is asked of a mount that said nothing.
    EXPECT_EQ(mount->Written(), "#:LM 0031##:LI##:MS#");
    // Two answers waited for, each two seconds at most, with the window's events dispatched
    // all the while.
    EXPECT_LE(clock.Milliseconds() - start, 4100U);
    EXPECT_GT(ui.dispatches, 1000);
}

TEST_F(MountAnswers, AKeyPressStopsTheWaitBeforeTheSlewIsAskedFor) {
    mount->answers.clear();
    const uint32_t start = clock.Milliseconds();
    ui.PressAt(start + 300);
    const SlewAnswer answer = link.GotoCatalogueObject('m', 31);
    EXPECT_EQ(answer.link, LinkStatus::Stopped);
    EXPECT_EQ(answer.status, kNoSlewStatus);
    EXPECT_EQ(mount->Written(), "#:LM 0031##:LI#");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_LT(clock.Milliseconds() - start, 310U);
}

TEST_F(MountAnswers, AMountThatVanishesInAGoToIsToldOnce) {
    mount->hangUpAfterWrites = 1;
    const SlewAnswer answer = link.GotoCatalogueObject('m', 31);
    EXPECT_EQ(answer.link, LinkStatus::Lost);
    EXPECT_EQ(ui.messages,
              Strings{"Communication with telescope failed\n\nCOM1 (/dev/ttyFAKE0) stopped "
                      "answering: the device hung up\nERROR -8 "});
    EXPECT_FALSE(session.telescope.PortOpen);
    // The closed port fails quietly; the next connect says the device is gone.
    EXPECT_EQ(link.GotoCatalogueObject('m', 42).link, LinkStatus::Lost);
    EXPECT_EQ(link.StopSlew(), LinkStatus::Lost);
    EXPECT_EQ(ui.messages.size(), 1U);
    link.ConnectTelescope();
    ASSERT_EQ(ui.messages.size(), 2U);
    EXPECT_EQ(ui.messages[1].rfind("Sorry. No Connection to Telescope", 0), 0U);
}

TEST_F(MountAnswers, AMountThatHangsUpWhileItIsAwaitedIsToldOnce) {
    mount->answerDelayMs = 1000;
    mount->hangUpAtMs = clock.Milliseconds() + 500;
    EXPECT_EQ(link.GotoCatalogueObject('m', 31).link, LinkStatus::Lost);
    EXPECT_EQ(ui.messages,
              Strings{"Communication with telescope failed\n\nCOM1 (/dev/ttyFAKE0) stopped "
                      "answering: the device hung up\nERROR -9 "});
    EXPECT_EQ(mount->Written(), "#:LM 0031##:LI#");
}

TEST_F(MountAnswers, ALongPulseOnTheTestClockStopsOnTime) {
    session.telescope.PulseDirection = 'w';
    session.telescope.PulseLength = 9999;
    EXPECT_EQ(link.SendGuidePulse(), LinkStatus::Done);
    EXPECT_EQ(mount->Written(), "#:RG##:Mw##:Qw#");
    EXPECT_EQ(WrittenAt("#:Mw#") - WrittenAt("#:RG#"), 20U);
    EXPECT_EQ(WrittenAt("#:Qw#") - WrittenAt("#:Mw#"), 9999U);
}

TEST_F(MountAnswers, AStopRequestEndsAPulseWithItsStop) {
    const uint32_t start = clock.Milliseconds();
    TelescopeLink stoppable(session, [&] { return clock.Milliseconds() - start >= 300; });
    session.telescope.PulseDirection = 'n';
    session.telescope.PulseLength = 5000;
    EXPECT_EQ(stoppable.SendGuidePulse(), LinkStatus::Stopped);
    EXPECT_EQ(mount->Written(), "#:RG##:Mn##:Qn#");
    EXPECT_LE(WrittenAt("#:Qn#") - start, 305U);

    // Asked before the drive starts, it starts nothing.
    TelescopeLink stopped(session, [] { return true; });
    mount->writes.clear();
    EXPECT_EQ(stopped.SendGuidePulse(), LinkStatus::Stopped);
    EXPECT_EQ(mount->Written(), "#:RG#");

    session.settings.Telescope = TelescopeType::ControlBox;
    mount->writes.clear();
    EXPECT_EQ(TelescopeLink(session, [&] { return clock.Milliseconds() - start >= 1000; })
                  .SendGuidePulse(),
              LinkStatus::Stopped);
    EXPECT_EQ(mount->Written(), std::string("\x02\x12\x00", 3));
}

TEST_F(MountAnswers, AMountThatHangsUpDuringAPulseIsToldOnce) {
    mount->hangUpAfterWrites = 2;  // "#:RG#" and "#:Me#" go out, the stop cannot
    session.telescope.PulseDirection = 'e';
    session.telescope.PulseLength = 500;
    EXPECT_EQ(link.SendGuidePulse(), LinkStatus::Lost);
    EXPECT_EQ(link.SendGuidePulse(), LinkStatus::Lost);
    EXPECT_EQ(ui.messages.size(), 1U);
}

TEST_F(MountAnswers, AStalledLineIsToldOnce) {
    mount->stalled = true;
    session.telescope.PulseDirection = 's';
    EXPECT_EQ(link.SendGuidePulse(), LinkStatus::Lost);
    EXPECT_EQ(ui.messages, Strings{"Communication with telescope failed\n\nCOM1 (/dev/ttyFAKE0) "
                                   "stopped answering: the line is held back\nERROR -8 "});
}

}  // namespace
}  // namespace talvor::testing
