#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/camera_link.h"
#include "core/clock.h"
#include "core/readout_state.h"
#include "core/session.h"
#include "support/recording_ui.h"
#include "support/session_fixture.h"
#include "support/test_clock.h"

namespace talvor::testing {

// A clock that runs on by a fixed step every time it is read, so busy waits end by themselves.
// Its calendar follows the count: 2026-12-07 21:00:00 plus the whole seconds counted.
class SteppingClock final : public Clock {
  public:
    uint32_t Milliseconds() override {
        const uint32_t now = now_;
        now_ += step_;
        ++reads_;
        return now;
    }
    CalendarTime LocalTime() override {
        const uint32_t seconds = now_ / 1000;
        return {2026,
                12,
                7,
                21 + static_cast<int>(seconds / 3600),
                static_cast<int>(seconds / 60 % 60),
                static_cast<int>(seconds % 60)};
    }

    void Set(uint32_t milliseconds) { now_ = milliseconds; }
    void SetStep(uint32_t step) { step_ = step; }
    uint32_t Now() const { return now_; }
    int Reads() const { return reads_; }

  private:
    uint32_t now_ = 0;
    uint32_t step_ = 0;
    int reads_ = 0;
};

// Records every command a routine sends and answers each block read with a prepared block, or
// with every pixel set to 1000 times the number of the readout when stampReadouts is set.
class RecordingLink final : public CameraLink {
  public:
    explicit RecordingLink(Session& session) : session_(session) {}

    bool FindCamera() override { return true; }
    void SendCommand(std::span<const uint8_t> bytes) override {
        sent.emplace_back(bytes.begin(), bytes.end());
    }
    void ReadBlock() override {
        CommandBytes& command = session_.readout.CommandBuffer;
        command[0] = 4;
        SendCommand(command);
        requestedBytes.push_back(session_.camera.BlockByteCount);
        if (stampReadouts) {
            const auto stamp = static_cast<uint16_t>(1000 * requestedBytes.size());
            for (std::size_t i = 0; i + 1 < session_.camera.ReceiveBuffer.size(); i += 2) {
                session_.camera.ReceiveBuffer[i] = static_cast<uint8_t>(stamp & 0xFF);
                session_.camera.ReceiveBuffer[i + 1] = static_cast<uint8_t>(stamp >> 8);
            }
        } else {
            std::copy(block.begin(), block.end(), session_.camera.ReceiveBuffer.begin());
        }
        session_.camera.BytesRead = session_.camera.BlockByteCount;
        if (onReadBlock) {
            onReadBlock();
        }
    }

    // The sent commands with this first two bytes.
    int Count(uint8_t first, uint8_t second) const {
        int count = 0;
        for (const auto& command : sent) {
            count += command.size() >= 2 && command[0] == first && command[1] == second;
        }
        return count;
    }

    std::vector<std::vector<uint8_t>> sent;
    std::vector<std::size_t> requestedBytes;
    std::vector<uint8_t> block;
    bool stampReadouts = false;
    // Runs after every block read, as the time a readout takes or a press during it.
    std::function<void()> onReadBlock;

  private:
    Session& session_;
};

// A session whose clock steps on every read, with a recording interface.
class CameraTest : public ::testing::Test {
  protected:
    CameraTest()
        : images(CreateImageStore()),
          ui(uiClock),
          session(*images, DataDirectory(folder.Path()), clock, ui) {}

    TemporaryDirectory folder;
    ImageStoreOwner images;
    TestClock uiClock;
    SteppingClock clock;
    RecordingUi ui;
    Session session;
};

// Little-endian words as the camera delivers them.
inline std::vector<uint8_t> BlockOfWords(const std::vector<uint16_t>& words) {
    std::vector<uint8_t> bytes;
    bytes.reserve(words.size() * 2);
    for (const uint16_t word : words) {
        bytes.push_back(static_cast<uint8_t>(word & 0xFF));
        bytes.push_back(static_cast<uint8_t>(word >> 8));
    }
    return bytes;
}

}  // namespace talvor::testing
