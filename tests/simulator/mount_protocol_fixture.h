#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "simulator/mount_protocol.h"

namespace talvor::testing {

// A simulated mount without drift, periodic error or backlash, spoken to byte by byte.
class MountProtocolFixture : public ::testing::Test {
  protected:
    static MountConfig Config() {
        MountConfig config;
        config.driftX = config.driftY = config.periodicAmplitude = 0;
        config.backlashX = config.backlashY = 0;
        return config;
    }

    // Sends the bytes at one moment; what the mount answered.
    std::string Send(const std::string& bytes, uint32_t milliseconds = 0) {
        std::string answer;
        for (const char byte : bytes) {
            answer += protocol.Receive(static_cast<uint8_t>(byte), milliseconds);
        }
        return answer;
    }

    MountModel mount{Config(), 0};
    FocuserModel focuser;
    MountProtocol protocol{mount, focuser};
};

}  // namespace talvor::testing
