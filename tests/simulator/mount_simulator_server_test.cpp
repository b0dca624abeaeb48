// The simulated mount served on a pseudo-terminal: reachable through the program's serial port,
// logging what it receives, and telling the simulated camera where it points.

#include <gtest/gtest.h>

#include <thread>

#include "telescope/telescope_fixture.h"

namespace talvor::testing {
namespace {

class ServedMount : public SimulatedMountTest {
  protected:
    static MountConfig Drifting() {
        MountConfig config = StillMount();
        config.driftX = 2.0;
        return config;
    }
    ServedMount() : SimulatedMountTest(Drifting()) {}
};

TEST_F(ServedMount, AnswersThroughTheProgramsSerialPortAndLogsEveryByte) {
    SerialPort& ports = *session.telescope.Ports;
    ASSERT_EQ(ports.Reset(0, 1024, 1024), 0);
    const uint32_t before = clock.Milliseconds();
    ASSERT_EQ(ports.Puts(0, "#:LM 0031##:LI#", 15), 15);
    char reply[40] = {};
    const int got = ports.Gets(0, reply, 19);
    EXPECT_EQ(std::string(reply, got), "M31 Galaxy mag 3.4#");
    const std::vector<ReceivedByte> log = server->ReceivedBytes();
    ASSERT_EQ(log.size(), 15U);
    EXPECT_EQ(log.front().byte, '#');
    EXPECT_LE(log.back().milliseconds - before, 100U);
    ports.Done(0);

    // The terminal stays up for the next open.
    ASSERT_EQ(ports.Reset(0, 1024, 1024), 0);
    ASSERT_EQ(ports.Putc(0, 0x0D), 1);
    EXPECT_EQ(Received(16).back(), '\x0D');
}

TEST_F(ServedMount, ObserverSeesBytesAsTheyArrive) {
    std::vector<uint8_t> seen;
    server->SetObserver([&seen](const ReceivedByte& received) { seen.push_back(received.byte); });
    SerialPort& ports = *session.telescope.Ports;
    ASSERT_EQ(ports.Reset(0, 1024, 1024), 0);
    ports.Puts(0, "#:Q#", 4);
    Received(4);
    server->SetObserver(nullptr);
    EXPECT_EQ(seen, (std::vector<uint8_t>{'#', ':', 'Q', '#'}));
}

TEST_F(ServedMount, PointingSourceFollowsDriftAndMovesFromAnyThread) {
    PointingSource& pointing = *server;
    const uint32_t now = clock.Milliseconds();
    const PointingOffset later = pointing.OffsetAt(now + 1000);
    const PointingOffset start = pointing.OffsetAt(now);
    EXPECT_NEAR(later.x - start.x, 2.0, 1e-9);

    Connect();
    std::thread camera([&] {
        for (int i = 0; i < 200; ++i) {
            pointing.OffsetAt(clock.Milliseconds());
        }
    });
    session.telescope.PulseDirection = 'n';
    session.telescope.PulseLength = 100;
    link.SendGuidePulse();
    camera.join();
    EXPECT_NEAR(pointing.OffsetAt(clock.Milliseconds()).y, 0.3, 0.03);
}

}  // namespace
}  // namespace talvor::testing
