// The camera's command bytes and the copy of received blocks into frame stores.

#include "camera/camera_commands.h"

#include <gtest/gtest.h>

#include "camera_test_support.h"
#include "core/camera_state.h"

namespace talvor {
namespace {

using Bytes = std::vector<uint8_t>;
using CommandsTest = testing::CameraTest;

TEST_F(CommandsTest, ControlCommandsClearTheWholeBufferFirst) {
    testing::RecordingLink link(session);
    const std::pair<void (*)(Session&, CameraLink&), uint8_t> commands[] = {
        {StartCommand, 1},   {ClearCommand, 2},   {EndCommand, 3},
        {EndCommandAlt4, 4}, {EndCommandAlt5, 5},
    };
    for (const auto& [command, code] : commands) {
        session.readout.CommandBuffer = {4, 9, 9, 9, 9, 9, 9, 1};  // left by a readout
        command(session, link);
        EXPECT_EQ(link.sent.back(), (Bytes{2, code, 0, 0, 0, 0, 0, 0}));
    }
    EXPECT_EQ(link.sent.size(), 5u);
}

CommandBytes ReadoutTime(int32_t exposureMs) {
    CommandBytes command{};
    command[1] = 0xEE;
    command[2] = 0xEE;
    SetReadoutTime(command, exposureMs);
    return command;
}

TEST(ReadoutTimeTest, TheCameraTimesOnlyExposuresUnderHalfASecond) {
    const std::tuple<int32_t, uint8_t, uint8_t> cases[] = {
        {0, 0, 0},     {1, 1, 0},     {255, 255, 0}, {256, 0, 1}, {300, 44, 1},
        {450, 194, 1}, {499, 243, 1}, {500, 0, 0},   {601, 0, 0}, {300000, 0, 0},
    };
    for (const auto& [milliseconds, low, high] : cases) {
        const CommandBytes command = ReadoutTime(milliseconds);
        EXPECT_EQ(command[1], low) << milliseconds;
        EXPECT_EQ(command[2], high) << milliseconds;
    }
}

TEST(WindowBytesTest, RowAndColumnParametersForTheWindowCorner) {
    const std::tuple<WindowOrigin, Bytes> cases[] = {
        {{184, 65}, {65, 161, 69, 181}},    // the default window
        {{376, 160}, {160, 66, 133, 117}},  // the far corner of the allowed range
        {{3, 1}, {1, 225, 9, 241}},         // the near corner
        {{185, 65}, {65, 161, 69, 181}},    // integer division: 184..186 share a column
    };
    for (const auto& [origin, expected] : cases) {
        CommandBytes command{};
        SetWindowBytes(command, origin);
        EXPECT_EQ(Bytes(command.begin() + 3, command.begin() + 7), expected)
            << origin.x << "," << origin.y;
        EXPECT_EQ(command[0], 0);
        EXPECT_EQ(command[7], 0);
    }
}

// Word at (row, pixel) of a whole-frame block: distinct, with both bytes significant.
uint16_t BlockWord(int row, int pixel) {
    return static_cast<uint16_t>(row * 601 + pixel * 7 + 0x100);
}

std::vector<uint8_t> NumberedFullBlock() {
    std::vector<uint16_t> words;
    for (int row = 0; row < kBlockRows; ++row) {
        for (int pixel = 0; pixel < kBlockColumns; ++pixel) {
            words.push_back(BlockWord(row, pixel));
        }
    }
    return testing::BlockOfWords(words);
}

TEST_F(CommandsTest, FullFrameReadoutSendsItsBytesAndCopiesThePicture) {
    testing::RecordingLink link(session);
    link.block = NumberedFullBlock();
    ImageBuffer& frame = images->SecondImage;
    frame.fill(0xABCD);
    session.readout.FrameDestination = &frame;
    session.readout.ExposureMs = 300;

    EndCommand(session, link);
    ReadFullFrame(session, link);

    EXPECT_EQ(link.sent.back(), (Bytes{4, 44, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(link.requestedBytes, std::vector<std::size_t>{343296});
    for (const auto& [x, y] : {std::pair{0, 0}, {509, 0}, {0, 289}, {509, 289}, {250, 131}}) {
        EXPECT_EQ(PixelAt(frame, x, y), BlockWord(7 + y, 19 + x)) << x << "," << y;
    }
    for (int y = 0; y < kFrameRows; ++y) {
        ASSERT_EQ(PixelAt(frame, 510, y), 0xABCD);
        ASSERT_EQ(PixelAt(frame, 511, y), 0xABCD);
    }
    EXPECT_EQ(frame[kFramePixels], 0xABCD);  // beyond the frame area
    EXPECT_EQ(images->CurrentImage[0], CreateImageStore()->CurrentImage[0]);
}

TEST_F(CommandsTest, WithoutADestinationTheReadoutFillsTheCurrentImage) {
    testing::RecordingLink link(session);
    link.block = NumberedFullBlock();
    ReadFullFrame(session, link);
    EXPECT_EQ(PixelAt(images->CurrentImage, 3, 4), BlockWord(11, 22));
}

TEST_F(CommandsTest, WindowReadoutSendsTheWindowBytesAndCopiesRowsContiguously) {
    testing::RecordingLink link(session);
    std::vector<uint16_t> words(kSmallFramePixels);
    for (std::size_t i = 0; i < words.size(); ++i) {
        words[i] = static_cast<uint16_t>(i * 3 + 0x0102);
    }
    link.block = testing::BlockOfWords(words);
    ImageBuffer& frame = images->SecondImage;
    frame.fill(7);
    session.readout.FrameDestination = &frame;
    session.readout.ExposureMs = 2000;

    ClearCommand(session, link);
    ReadFocusWindow(session, link);

    EXPECT_EQ(link.sent.back(), (Bytes{4, 0, 0, 65, 161, 69, 181, 1}));
    EXPECT_EQ(link.requestedBytes, std::vector<std::size_t>{32768});
    EXPECT_EQ(frame[0], 0x0102);
    EXPECT_EQ(frame[128], words[128]);  // row 1 follows row 0 directly
    EXPECT_EQ(frame[16383], words[16383]);
    EXPECT_EQ(frame[16384], 7);

    session.readout.FocusWindowOrigin = {376, 160};
    session.readout.ExposureMs = 120;
    ReadFocusWindow(session, link);
    EXPECT_EQ(link.sent.back(), (Bytes{4, 120, 0, 160, 66, 133, 117, 1}));
}

}  // namespace
}  // namespace talvor
