#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/clock.h"
#include "core/image_store.h"
#include "core/session.h"
#include "simulator/mount_simulator_server.h"
#include "support/recording_ui.h"
#include "support/session_fixture.h"
#include "telescope/posix_serial_port.h"
#include "telescope/telescope_link.h"

namespace talvor::testing {

// A session on the real millisecond clock, as the link's timed waits need, with a recording user
// interface and a temporary data directory.
class RealTimeSessionTest : public ::testing::Test {
  protected:
    RealTimeSessionTest()
        : images(CreateImageStore()),
          ui(uiClock),
          session(*images, DataDirectory(folder.Path()), clock, ui) {}

    TemporaryDirectory folder;
    ImageStoreOwner images;
    SystemClock clock;
    TestClock uiClock;
    RecordingUi ui;
    Session session;
};

// The link talking to the simulated mount over a real pseudo-terminal. The mount holds still
// (no drift, no periodic error, no backlash) unless a test configures it otherwise.
class SimulatedMountTest : public RealTimeSessionTest {
  protected:
    static MountConfig StillMount() {
        MountConfig config;
        config.driftX = config.driftY = 0;
        config.periodicAmplitude = 0;
        config.backlashX = config.backlashY = 0;
        return config;
    }

    explicit SimulatedMountTest(const MountConfig& config = StillMount()) {
        MountSimulatorStart started = StartMountSimulator(clock, config);
        server = std::move(started.server);
        if (!server) {
            ADD_FAILURE() << "the simulated mount did not start: " << started.error;
            return;
        }
        session.telescope.Ports = MakePortsLeadingTo(server->DevicePath());
        session.settings.Telescope = TelescopeType::MeadeLx200;
    }

    // Connects and forgets the bytes so far.
    void Connect(TelescopeType type = TelescopeType::MeadeLx200) {
        session.settings.Telescope = type;
        link.ConnectTelescope();
        ASSERT_TRUE(session.telescope.PortOpen);
        server->ClearReceived();
    }

    // The bytes the mount has received, once `count` have arrived and no more follow.
    std::string Received(std::size_t count) {
        server->WaitForReceived(count, 2000);
        server->WaitForReceived(count + 1, 30);
        std::string bytes;
        for (const ReceivedByte& received : server->ReceivedBytes()) {
            bytes += static_cast<char>(received.byte);
        }
        return bytes;
    }

    // The arrival time of the first byte at or after `from` that starts `text` in the log.
    uint32_t ArrivalOf(const std::string& text, std::size_t from = 0) {
        const std::string bytes = Received(0);
        const std::size_t at = bytes.find(text, from);
        EXPECT_NE(at, std::string::npos) << text;
        return at == std::string::npos ? 0 : server->ReceivedBytes()[at].milliseconds;
    }

    std::unique_ptr<MountSimulatorServer> server;
    TelescopeLink link{session};
};

}  // namespace talvor::testing
