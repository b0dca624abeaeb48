#pragma once

#include <gtest/gtest.h>

#include <cstdint>
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
class SteppingClock final : public Clock {
  public:
    uint32_t Milliseconds() override {
        const uint32_t now = now_;
        now_ += step_;
        ++reads_;
        return now;
    }
    CalendarTime LocalTime() override { return {}; }

    void Set(uint32_t milliseconds) { now_ = milliseconds; }
    void SetStep(uint32_t step) { step_ = step; }
    uint32_t Now() const { return now_; }
    int Reads() const { return reads_; }

  private:
    uint32_t now_ = 0;
    uint32_t step_ = 0;
    int reads_ = 0;
};

// Records every command a routine sends and answers each block read with a prepared block.
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
        std::copy(block.begin(), block.end(), session_.camera.ReceiveBuffer.begin());
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
    std::unique_ptr<ImageStore> images;
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
