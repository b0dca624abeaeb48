// The shell's plain rules: numbered messages, the interruptible wait and the progress window.

#include <gtest/gtest.h>

#include "core/messages.h"
#include "core/progress.h"
#include "core/pump_messages.h"
#include "support/session_fixture.h"

namespace talvor {
namespace {

TEST(MessagesTest, CallerTextIsCutTo498Characters) {
    const std::string longText(600, 'x');
    EXPECT_EQ(MessageBoxText(50, longText).size(), 498u);
    EXPECT_EQ(MessageBoxText(50, "short"), "short");
}

TEST(MessagesTest, FixedTextsIgnoreTheCallerTextAndUnknownCodesAreEmpty) {
    EXPECT_EQ(MessageBoxText(1, "ignored"), "Warning!\nNo INI file found, please set defaults...");
    EXPECT_EQ(MessageBoxText(32, ""), "Cannot open bitmap file");
    EXPECT_EQ(MessageBoxText(23, ""), MessageBoxText(20, ""));
    EXPECT_EQ(MessageBoxText(99, "anything"), "");
    EXPECT_EQ(MessageBoxText(0, "anything"), "");
    EXPECT_FALSE(MessageText(57).empty());
}

using PumpMessagesTest = testing::SessionTest;

TEST_F(PumpMessagesTest, RunsOutAfterTheFullTime) {
    clock.Set(5000);
    EXPECT_FALSE(PumpMessages(session, 1));
    EXPECT_GE(clock.Milliseconds(), 6000u);
    EXPECT_LT(clock.Milliseconds(), 6020u);
    EXPECT_EQ(ui.beeps, 0);
}

TEST_F(PumpMessagesTest, APressEndsTheWaitAtOnceWithOneBeepAndStopsGuiding) {
    session.guiding.GuidingRunning = true;
    clock.Set(0);
    ui.PressAt(500);
    EXPECT_TRUE(PumpMessages(session, 10));
    EXPECT_LT(clock.Milliseconds(), 520u);
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_FALSE(session.guiding.GuidingRunning);
}

TEST_F(PumpMessagesTest, ADeadlinePastTheWrapStillLastsTheFullTime) {
    // The millisecond count wraps every 49.7 days; an unsigned comparison would end at once.
    const uint32_t start = 0xFFFFFE00u;
    clock.Set(start);
    EXPECT_FALSE(PumpMessages(session, 1));
    EXPECT_GE(static_cast<uint32_t>(clock.Milliseconds() - start), 1000u);
    EXPECT_LT(static_cast<uint32_t>(clock.Milliseconds() - start), 1020u);
}

TEST(DeadlineTest, SignedDifferenceDecides) {
    EXPECT_TRUE(DeadlineReached(100, 100));
    EXPECT_FALSE(DeadlineReached(99, 100));
    EXPECT_FALSE(DeadlineReached(0xFFFFFFF0u, 0x10u));
    EXPECT_TRUE(DeadlineReached(0x10u, 0xFFFFFFF0u));
}

using ProgressTest = testing::SessionTest;

TEST_F(ProgressTest, OpensAtZeroClampsAndClosesWhenTheStepEnds) {
    session.progress.ProgressTitle = "Filter Progress";
    {
        ProgressWindow window(ui, session.progress);
        EXPECT_TRUE(ui.progressOpen);
        window.SetPosition(300);
        window.SetPosition(-5);
    }
    EXPECT_FALSE(ui.progressOpen);
    EXPECT_EQ(ui.progressCaptions, std::vector<std::string>{"Filter Progress"});
    EXPECT_EQ(ui.progressPositions, (std::vector<int>{0, 256, 0}));
}

TEST_F(ProgressTest, NewTitleShowsOnlyWithTheFlagAtTheNextPosition) {
    ProgressWindow window(ui, session.progress);
    session.progress.ProgressTitle = "EXPOSURE UNDERWAY";
    window.SetPosition(10);
    EXPECT_EQ(ui.progressCaptions.size(), 1u);
    ChangeProgressTitle(session.progress, "READ Zenka CAMERA");
    EXPECT_EQ(ui.progressCaptions.size(), 1u);
    window.SetPosition(20);
    EXPECT_EQ(ui.progressCaptions.back(), "READ Zenka CAMERA");
    EXPECT_FALSE(session.progress.ProgressTitleChanged);
}

TEST(ProgressTitleTest, LongStatusTextsAreHeldWhole) {
    ProgressState state;
    ChangeProgressTitle(state, "READ Zenka CAMERA - takes 2 - 3 seconds");
    EXPECT_EQ(state.ProgressTitle, "READ Zenka CAMERA - takes 2 - 3 seconds");
    EXPECT_TRUE(state.ProgressTitleChanged);
}

}  // namespace
}  // namespace talvor
