// The termios serial port on a pseudo-terminal whose other end the test holds.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include <chrono>
#include <string>
#include <thread>

#include "telescope/posix_serial_port.h"
#include "telescope/unique_descriptor.h"

namespace talvor {
namespace {

class PosixSerialPortTest : public ::testing::Test {
  protected:
    PosixSerialPortTest() : master_(posix_openpt(O_RDWR | O_NOCTTY)) {
        grantpt(master_.Get());
        unlockpt(master_.Get());
        char name[128] = {};
        ptsname_r(master_.Get(), name, sizeof name);
        device_ = name;
    }

    // What the port sent, as the far end reads it.
    std::string Far(std::size_t count) {
        std::string bytes;
        while (bytes.size() < count) {
            pollfd ready{master_.Get(), POLLIN, 0};
            if (poll(&ready, 1, 1000) <= 0) {
                break;
            }
            char chunk[64];
            const ssize_t got = read(master_.Get(), chunk, sizeof chunk);
            if (got <= 0) {
                break;
            }
            bytes.append(chunk, got);
        }
        return bytes;
    }
    void FarSends(const std::string& bytes) {
        ASSERT_EQ(write(master_.Get(), bytes.data(), bytes.size()),
                  static_cast<ssize_t>(bytes.size()));
    }

    UniqueDescriptor master_;
    std::string device_;
    PosixSerialPort port_{[this](int) { return std::filesystem::path(device_); },
                          PortTimeouts{100, 20, 300}};
};

TEST_F(PosixSerialPortTest, OpensRawAt9600With8N1AndModemLinesWithoutEffect) {
    ASSERT_EQ(port_.Reset(0, 1024, 1024), 0);
    EXPECT_EQ(port_.Baud(0, kBaud9600), 0);
    EXPECT_EQ(port_.Dtr(0, kSetLine), 0);
    EXPECT_EQ(port_.Rts(0, kClearLine), 0);
    EXPECT_EQ(port_.Parms(0, kNoParity, kOneStopBit, kEightDataBits), 0);
    termios settings{};
    ASSERT_EQ(tcgetattr(master_.Get(), &settings), 0);
    EXPECT_EQ(cfgetospeed(&settings), B9600);
    EXPECT_EQ(settings.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(settings.c_cflag & (PARENB | CSTOPB), 0U);
    EXPECT_EQ(settings.c_lflag & (ECHO | ICANON), 0U);
    EXPECT_EQ(port_.Baud(0, kBaud300), 0);
    ASSERT_EQ(tcgetattr(master_.Get(), &settings), 0);
    EXPECT_EQ(cfgetospeed(&settings), B300);
}

TEST_F(PosixSerialPortTest, BytesPassUnchanged) {
    ASSERT_EQ(port_.Reset(1, 1024, 1024), 0);
    EXPECT_EQ(port_.Putc(1, 0x0D), 1);
    EXPECT_EQ(port_.Putc(1, 0x00), 1);
    EXPECT_EQ(port_.Puts(1, "#:Mn#\n", 6), 6);
    EXPECT_EQ(Far(8), std::string("\x0D\x00#:Mn#\n", 8));
    FarSends(std::string("a\rb\n\x00", 5));
    char buffer[16] = {};
    EXPECT_EQ(port_.Gets(1, buffer, sizeof buffer), 5);
    EXPECT_EQ(std::string(buffer, 5), std::string("a\rb\n\x00", 5));
}

TEST_F(PosixSerialPortTest, GetsWaitsBrieflyForAReplyAndTakesWhatFollows) {
    ASSERT_EQ(port_.Reset(0, 1024, 1024), 0);
    char buffer[8] = {};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port_.Gets(0, buffer, 8), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(95));

    std::thread far([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        FarSends("ab");
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        FarSends("cd");
    });
    EXPECT_EQ(port_.Gets(0, buffer, 3), 3);
    far.join();
    EXPECT_EQ(std::string(buffer, 3), "abc");
    EXPECT_EQ(port_.Gets(0, buffer, 8), 1);
    EXPECT_EQ(buffer[0], 'd');
}

TEST_F(PosixSerialPortTest, ReceiveClearDiscardsWaitingBytes) {
    ASSERT_EQ(port_.Reset(0, 1024, 1024), 0);
    FarSends("stale");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(port_.RxClear(0), 0);
    FarSends("new");
    char buffer[8] = {};
    EXPECT_EQ(port_.Gets(0, buffer, 8), 3);
    EXPECT_EQ(std::string(buffer, 3), "new");
}

TEST_F(PosixSerialPortTest, ErrorsAreNegativeCodes) {
    char buffer[4];
    EXPECT_EQ(port_.Baud(0, kBaud9600), kSerialNotOpen);
    EXPECT_EQ(port_.Putc(0, 1), kSerialNotOpen);
    EXPECT_EQ(port_.Gets(0, buffer, 4), kSerialNotOpen);
    EXPECT_EQ(port_.Done(0), kSerialNotOpen);
    EXPECT_EQ(port_.Reset(2, 1024, 1024), kSerialBadPort);
    EXPECT_EQ(port_.Reset(0, 0, 1024), kSerialBadParameter);
    ASSERT_EQ(port_.Reset(0, 1024, 1024), 0);
    EXPECT_EQ(port_.Baud(0, 10), kSerialBadParameter);
    EXPECT_EQ(port_.Parms(0, 3, 0, 8), kSerialBadParameter);
    EXPECT_EQ(port_.Parms(0, 0, 0, 9), kSerialBadParameter);
    EXPECT_EQ(port_.Dtr(0, 'X'), kSerialBadParameter);
    EXPECT_EQ(port_.Done(0), 0);
    EXPECT_EQ(port_.Putc(0, 1), kSerialNotOpen);

    PosixSerialPort missing([](int) { return std::filesystem::path("/nonexistent/tty"); });
    EXPECT_EQ(missing.Reset(0, 1024, 1024), kSerialCannotOpen);
    PosixSerialPort plainFile([](int) { return std::filesystem::path("/dev/null"); });
    EXPECT_EQ(plainFile.Reset(0, 1024, 1024), kSerialNotTerminal);
}

TEST_F(PosixSerialPortTest, FlowControlAnotherProgramLeftOnIsSwitchedOff) {
    {
        // Another program's settings stay with the line after it closed it.
        const UniqueDescriptor other(open(device_.c_str(), O_RDWR | O_NOCTTY));
        termios settings{};
        ASSERT_EQ(tcgetattr(other.Get(), &settings), 0);
        settings.c_cflag |= CRTSCTS | CSTOPB | PARENB;
        settings.c_iflag |= IXON | IXOFF | IXANY;
        ASSERT_EQ(tcsetattr(other.Get(), TCSANOW, &settings), 0);
    }
    ASSERT_EQ(port_.Reset(0, 1024, 1024), 0);
    termios settings{};
    ASSERT_EQ(tcgetattr(master_.Get(), &settings), 0);
    EXPECT_EQ(settings.c_cflag & CRTSCTS, 0U);
    EXPECT_EQ(settings.c_iflag & (IXON | IXOFF | IXANY), 0U);
    EXPECT_EQ(settings.c_cflag & (CSIZE | PARENB | CSTOPB), static_cast<tcflag_t>(CS8));
}

TEST_F(PosixSerialPortTest, TakeReceivedNeverWaits) {
    ASSERT_EQ(port_.Reset(0, 1024, 1024), 0);
    char buffer[8] = {};
    EXPECT_EQ(port_.TakeReceived(0, buffer, 8), 0);
    FarSends("ab#");
    pollfd ready{-1, 0, 0};
    for (int tries = 0; tries < 100 && port_.TakeReceived(0, buffer, 1) == 0; ++tries) {
        poll(&ready, 0, 5);
    }
    EXPECT_EQ(buffer[0], 'a');
    EXPECT_EQ(port_.TakeReceived(0, buffer, 8), 2);
    EXPECT_EQ(std::string(buffer, 2), "b#");
    EXPECT_EQ(port_.TakeReceived(0, buffer, 8), 0);
}

TEST_F(PosixSerialPortTest, AHungUpLineIsAReadAndWriteErrorWithItsReason) {
    ASSERT_EQ(port_.Reset(0, 1024, 1024), 0);
    master_.Reset();
    char buffer[4];
    EXPECT_EQ(port_.TakeReceived(0, buffer, 4), kSerialReadError);
    EXPECT_EQ(port_.FailureReason(0), "the device hung up (unplugged or switched off)");
    EXPECT_EQ(port_.Gets(0, buffer, 4), kSerialReadError);
    EXPECT_EQ(port_.Puts(0, "#:Qn#", 5), kSerialWriteError);
    EXPECT_EQ(port_.FailureReason(0), "the device hung up (unplugged or switched off)");
    // Gone for good: the terminal is no more.
    EXPECT_EQ(port_.Reset(0, 1024, 1024), kSerialCannotOpen);
    EXPECT_EQ(port_.FailureReason(0), "the device is not there - is the cable plugged in?");
}

TEST_F(PosixSerialPortTest, ALineThatTakesNoBytesFailsTheWrite) {
    ASSERT_EQ(port_.Reset(0, 1024, 1024), 0);
    // Nobody reads the far end: the queues fill up, then the write times out.
    const std::vector<char> block(1 << 20, 'x');
    EXPECT_EQ(port_.Puts(0, block.data(), static_cast<int>(block.size())), kSerialWriteError);
    EXPECT_EQ(port_.FailureReason(0).rfind("it took no bytes", 0), 0U);
}

TEST_F(PosixSerialPortTest, ALineAnotherProgramHoldsIsBusyAndOursIsHeldToo) {
    {
        const UniqueDescriptor other(open(device_.c_str(), O_RDWR | O_NOCTTY));
        ASSERT_EQ(flock(other.Get(), LOCK_EX | LOCK_NB), 0);
        EXPECT_EQ(port_.Reset(0, 1024, 1024), kSerialCannotOpen);
        EXPECT_EQ(port_.FailureReason(0), "the device is busy - another program is using it");
    }
    ASSERT_EQ(port_.Reset(0, 1024, 1024), 0);
    const UniqueDescriptor other(open(device_.c_str(), O_RDWR | O_NOCTTY));
    EXPECT_NE(flock(other.Get(), LOCK_EX | LOCK_NB), 0);
}

TEST_F(PosixSerialPortTest, DevicesAreNamedWithWhereTheirLinkLeads) {
    EXPECT_EQ(port_.DeviceName(0), device_);
    const std::filesystem::path link =
        std::filesystem::temp_directory_path() / ("talvor-com-" + std::to_string(getpid()));
    std::filesystem::create_symlink("/dev/ttyUSB9", link);
    PosixSerialPort linked([&](int) { return link; });
    EXPECT_EQ(linked.DeviceName(1), link.string() + " -> /dev/ttyUSB9");
    EXPECT_EQ(linked.Reset(1, 1024, 1024), kSerialCannotOpen);
    std::filesystem::remove(link);
}

TEST(SerialErrorWords, NameTheFixForEachReason) {
    EXPECT_EQ(SerialErrorText(EACCES), "permission denied - add yourself to the dialout group");
    EXPECT_EQ(SerialErrorText(EPERM), SerialErrorText(EACCES));
    EXPECT_EQ(SerialErrorText(EBUSY), "the device is busy - another program is using it");
    EXPECT_EQ(SerialErrorText(ENOENT), "the device is not there - is the cable plugged in?");
    EXPECT_EQ(SerialErrorText(ENXIO), SerialErrorText(ENOENT));
    EXPECT_EQ(SerialErrorText(EIO), "the device hung up (unplugged or switched off)");
}

}  // namespace
}  // namespace talvor
