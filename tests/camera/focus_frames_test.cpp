// Focus and guide frames: the host-timed wait, the gain and the peak search.

#include "camera/focus_frames.h"

#include <gtest/gtest.h>

#include "camera/camera_commands.h"
#include "camera_test_support.h"

namespace talvor {
namespace {

using Bytes = std::vector<uint8_t>;
using FocusFramesTest = testing::CameraTest;

const Bytes kClear{2, 2, 0, 0, 0, 0, 0, 0};

TEST(FrameExposureTest, UnitLettersScaleTheValue) {
    EXPECT_EQ(FrameExposureMs(150, 'q'), 150);
    EXPECT_EQ(FrameExposureMs(45, 'h'), 450);
    EXPECT_EQ(FrameExposureMs(7, 't'), 700);
    EXPECT_EQ(FrameExposureMs(3, 's'), 3000);
    EXPECT_EQ(FrameExposureMs(2, 'm'), 2000);  // the focus loop never runs in minutes
}

TEST_F(FocusFramesTest, NoWaitUnderHalfASecond) {
    testing::RecordingLink link(session);
    clock.SetStep(1);
    KeepClearWait(session, link, 499);
    EXPECT_LE(clock.Reads(), 1);
    EXPECT_TRUE(link.sent.empty());
}

TEST_F(FocusFramesTest, WaitsTheFullTimeAndClearsOnlyOverSixHundred) {
    for (const int32_t duration : {500, 550, 600, 601, 1000}) {
        testing::RecordingLink link(session);
        clock.Set(10000);
        clock.SetStep(1);
        KeepClearWait(session, link, duration);
        // The last read is the one that reached the end.
        EXPECT_EQ(clock.Now() - 1, 10000u + static_cast<uint32_t>(duration)) << duration;
        const std::size_t passes = static_cast<std::size_t>(duration);
        EXPECT_EQ(link.sent.size(), duration > 600 ? passes : 0u) << duration;
        for (const Bytes& command : link.sent) {
            ASSERT_EQ(command, kClear);
        }
    }
}

TEST_F(FocusFramesTest, AWaitAcrossTheClockWrapLastsItsFullTime) {
    testing::RecordingLink link(session);
    clock.Set(0xFFFFFF00u);
    clock.SetStep(10);
    KeepClearWait(session, link, 1000);
    EXPECT_EQ(clock.Now() - 10, 0xFFFFFF00u + 1000u);
    EXPECT_EQ(link.sent.size(), 100u);
}

TEST(FrameGainTest, MultipliesAndSaturatesTheWindowPixels) {
    auto store = CreateImageStore();
    ImageBuffer& frame = store->SecondImage;
    frame.fill(1000);
    frame[1] = 20000;
    frame[2] = 16383;
    frame[3] = 16384;  // 65536 saturates
    ApplyFrameGain(frame, 14, false);
    EXPECT_EQ(frame[0], 4000);
    EXPECT_EQ(frame[1], 65535);
    EXPECT_EQ(frame[2], 65532);
    EXPECT_EQ(frame[3], 65535);
    EXPECT_EQ(frame[16383], 4000);
    EXPECT_EQ(frame[16384], 1000);  // outside the window frame

    for (const auto& [bits, expected] : {std::pair{12, 16000}, {13, 8000}, {15, 2000}}) {
        frame.fill(1000);
        ApplyFrameGain(frame, bits, false);
        EXPECT_EQ(frame[100], expected) << bits;
    }
}

TEST(FrameGainTest, SixteenBitsOrStretchForAllImagesKeepTheCounts) {
    auto store = CreateImageStore();
    ImageBuffer& frame = store->SecondImage;
    frame.fill(1000);
    ApplyFrameGain(frame, 16, false);
    EXPECT_EQ(frame[0], 1000);
    ApplyFrameGain(frame, 12, true);
    EXPECT_EQ(frame[0], 1000);
}

uint16_t& WindowPixel(ImageBuffer& frame, int column, int row) {
    return frame[row * kSmallFrameSide + column];
}

TEST(FocusPeakTest, APixelCountsOnlyWithABrightPixelAboveIt) {
    auto store = CreateImageStore();
    ImageBuffer& frame = store->SecondImage;
    frame.fill(400);                     // background: 100 in units of 4
    WindowPixel(frame, 60, 60) = 60000;  // a lone hot pixel: the pixel above is dark
    EXPECT_EQ(FindFocusPeak(frame), 100);

    // A star: the lower of the two pixels sets the peak, even though the upper is fainter.
    WindowPixel(frame, 30, 40) = 2000;
    WindowPixel(frame, 30, 41) = 4003;
    EXPECT_EQ(FindFocusPeak(frame), 1000);
}

TEST(FocusPeakTest, SearchesRowsTwelveToOneTwentyFiveAndColumnsFiveToOneTwentyFive) {
    auto store = CreateImageStore();
    ImageBuffer& frame = store->SecondImage;
    const auto pairAt = [&](int column, int row, uint16_t value) {
        frame.fill(0);
        WindowPixel(frame, column, row - 1) = value;
        WindowPixel(frame, column, row) = value;
        return FindFocusPeak(frame);
    };
    EXPECT_EQ(pairAt(50, 12, 800), 200);
    EXPECT_EQ(pairAt(50, 11, 800), 0);
    EXPECT_EQ(pairAt(50, 125, 800), 200);
    EXPECT_EQ(pairAt(50, 126, 800), 0);
    EXPECT_EQ(pairAt(5, 50, 800), 200);
    EXPECT_EQ(pairAt(4, 50, 800), 0);
    EXPECT_EQ(pairAt(125, 50, 800), 200);
    EXPECT_EQ(pairAt(126, 50, 800), 0);
    EXPECT_EQ(pairAt(50, 50, 3), 0);  // under 4 counts rounds to nothing
}

std::vector<uint8_t> StarWindowBlock() {
    std::vector<uint16_t> words(kSmallFramePixels, 400);
    words[40 * 128 + 30] = 3000;
    words[41 * 128 + 30] = 20000;
    return testing::BlockOfWords(words);
}

TEST_F(FocusFramesTest, AFocusFrameExposesReadsAndReturnsThePeakBeforeTheGain) {
    testing::RecordingLink link(session);
    link.block = StarWindowBlock();
    session.readout.FrameDestination = &images->SecondImage;
    clock.SetStep(5);
    const FrameRequest request{.ExposureValue = 7, .ExposureUnit = 't'};

    EXPECT_EQ(TakeFocusFrame(session, link, request), 5000);

    EXPECT_EQ(session.readout.ExposureMs, 700);
    EXPECT_EQ(link.sent.front(), kClear);
    EXPECT_EQ(link.sent[1], (Bytes{2, 1, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(link.Count(2, 2), 1 + 140);  // 700 ms of passes 5 ms apart keep clearing
    EXPECT_EQ(link.sent[link.sent.size() - 2], (Bytes{2, 3, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(link.sent.back(), (Bytes{4, 0, 0, 65, 161, 69, 181, 1}));
    EXPECT_EQ(images->SecondImage[41 * 128 + 30], 65535);  // gain 4 at 14 bits
    EXPECT_EQ(images->SecondImage[0], 1600);
}

TEST_F(FocusFramesTest, AGuideFrameIsAFocusFrameWithoutThePeak) {
    testing::RecordingLink link(session);
    link.block = StarWindowBlock();
    session.readout.FrameDestination = &images->SecondImage;
    session.readout.StretchBits = 16;
    TakeGuideFrame(session, link, FrameRequest{.ExposureValue = 30, .ExposureUnit = 'h'});
    EXPECT_EQ(session.readout.ExposureMs, 300);
    const std::vector<Bytes> expected{kClear,
                                      {2, 1, 0, 0, 0, 0, 0, 0},
                                      {2, 3, 0, 0, 0, 0, 0, 0},
                                      {4, 44, 1, 65, 161, 69, 181, 1}};
    EXPECT_EQ(link.sent, expected);
    EXPECT_EQ(images->SecondImage[41 * 128 + 30], 20000);
}

TEST_F(FocusFramesTest, AShortGuideFrameEndsByTheMidReadoutAndKeepsTheMainTime) {
    for (const bool midReadoutDone : {false, true}) {
        testing::RecordingLink link(session);
        link.block = StarWindowBlock();
        session.readout.FrameDestination = &images->SecondImage;
        session.readout.ExposureMs = 8000;
        clock.SetStep(10);
        const FrameRequest request{.GuideExposureMs = 550, .MidReadoutDone = midReadoutDone};

        TakeGuideFrameShort(session, link, request);

        const uint8_t end = midReadoutDone ? 5 : 4;
        const std::vector<Bytes> expected{
            kClear, {2, end, 0, 0, 0, 0, 0, 0}, {4, 0, 0, 65, 161, 69, 181, 1}};
        EXPECT_EQ(link.sent, expected);  // no start; 550 ms is no reason to keep clearing
        EXPECT_EQ(session.readout.ExposureMs, 8000);
        EXPECT_EQ(images->SecondImage[0], 1600);
    }
}

}  // namespace
}  // namespace talvor
