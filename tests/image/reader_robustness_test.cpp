// The readers of outside data on every cut of a valid file and on noise: they report, never read
// past the bytes they were given.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

#include "image/fits_file.h"
#include "image/native_file.h"
#include "image/settings_file.h"
#include "support/session_fixture.h"

namespace talvor {
namespace {

TEST(ReaderRobustnessTest, FitsCutAnywhereInTheHeaderEndsEarly) {
    WorkingState written;
    ImageBuffer frame{};
    const auto bytes = EncodeFitsFile(frame, written.Fits, written, false);
    for (std::size_t length = 0; length < 5760 + 1024; length += 7) {
        const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(length));
        for (int layout = 1; layout <= 3; ++layout) {
            WorkingState state;
            ASSERT_EQ(DecodeFitsFile(cut, layout, frame, state), FitsReadResult::EndedEarly)
                << length << " " << layout;
        }
        WorkingState state;
        ASSERT_EQ(DecodeFitsOperand(cut, frame, state), FitsReadResult::EndedEarly) << length;
    }
}

TEST(ReaderRobustnessTest, NoiseIsRefusedOrReadWithinItsLength) {
    std::mt19937 random(7);
    ImageBuffer frame{};
    for (int round = 0; round < 200; ++round) {
        std::vector<uint8_t> noise(random() % 310000);
        for (uint8_t& byte : noise) {
            byte = static_cast<uint8_t>(random());
        }
        WorkingState state;
        EXPECT_NE(DecodeFitsFile(noise, 3, frame, state), FitsReadResult::Read);
        DecodeNativeFile(noise, round % 2 == 0, frame);
    }
}

using SettingsRobustnessTest = testing::SessionTest;

TEST_F(SettingsRobustnessTest, EveryCutOfASettingsFileEndsEarlyUntilItIsWhole) {
    ASSERT_EQ(WriteSettings(session), SettingsResult::Done);
    std::ifstream in(folder.Path() / "autosave" / "talvor.ini", std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>()};
    ASSERT_EQ(bytes.size(), kSettingsFileSize);
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(length));
        ASSERT_EQ(DecodeSettings(cut, session), SettingsDecoding::EndedEarly) << length;
    }
    EXPECT_EQ(DecodeSettings(bytes, session), SettingsDecoding::Complete);
}

}  // namespace
}  // namespace talvor
