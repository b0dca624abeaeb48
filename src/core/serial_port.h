#pragma once

#include <cstdint>
#include <string>

namespace talvor {

// Results of the serial-port operations below the error line. Every operation returns one of
// these or a count or 0 for success.
enum SerialError : int {
    kSerialBadPort = -2,       // a port number other than 0 (COM1) or 1 (COM2)
    kSerialNotOpen = -3,       // the port has not been opened, or was closed
    kSerialCannotOpen = -4,    // the device is missing, busy or not ours to open
    kSerialNotTerminal = -5,   // the device is not a serial line
    kSerialBadParameter = -6,  // an unknown baud code, line setting or line command
    kSerialLineError = -7,     // the line settings or a modem line could not be set
    kSerialWriteError = -8,    // the bytes could not be handed to the device in time
    kSerialReadError = -9,     // receiving failed: the device hung up or went away
};

// Baud-rate codes of Baud: 0 110, 1 300, 2 1200, 3 2400, 4 4800, 5 9600, 6 19200, 7 38400,
// 8 57600, 9 115200.
inline constexpr int kBaud300 = 1;
inline constexpr int kBaud9600 = 5;
// Line settings of Parms: parity 0 none, 1 odd, 2 even; stop bits 0 one, 1 two; 5..8 data bits.
inline constexpr int kNoParity = 0;
inline constexpr int kOneStopBit = 0;
inline constexpr int kEightDataBits = 8;
// Commands of Dtr and Rts.
inline constexpr char kSetLine = 'S';
inline constexpr char kClearLine = 'C';

// The machine's serial ports, addressed by number: 0 is COM1, 1 is COM2. These are the only
// operations the telescope link uses. A negative result is one of the SerialError codes.
class SerialPort {
  public:
    virtual ~SerialPort() = default;

    // Opens the port (closing it first when it is open) with transmit and receive queues of
    // the given sizes, and empties both queues.
    virtual int Reset(int port, int receiveQueue, int transmitQueue) = 0;
    virtual int Baud(int port, int baudCode) = 0;
    virtual int Parms(int port, int parity, int stopBits, int dataBits) = 0;
    // Sets ('S') or clears ('C') a modem line. A line the device has no control of (a
    // pseudo-terminal) succeeds without effect.
    virtual int Dtr(int port, char command) = 0;
    virtual int Rts(int port, char command) = 0;
    // Queues bytes for sending; the count queued.
    virtual int Putc(int port, uint8_t byte) = 0;
    virtual int Puts(int port, const char* bytes, int count) = 0;
    // Takes up to maxCount received bytes; the count taken, 0 when none arrived. When nothing
    // is waiting it waits a short while for the first byte, and keeps taking bytes while they
    // follow each other closely.
    virtual int Gets(int port, char* buffer, int maxCount) = 0;
    // Takes up to maxCount bytes that have arrived, without waiting for any; 0 when none are
    // waiting. A device that hung up gives kSerialReadError. Ports that never keep a caller
    // waiting take their bytes with Gets.
    virtual int TakeReceived(int port, char* buffer, int maxCount) {
        return Gets(port, buffer, maxCount);
    }
    // Discards every byte received and not yet taken.
    virtual int RxClear(int port) = 0;
    virtual int Done(int port) = 0;

    // For the person at the screen: the device behind a port ("/dev/ttyUSB0"), and why the last
    // failed operation on it failed ("the device is busy - another program is using it").
    // Empty where the port cannot tell.
    virtual std::string DeviceName(int) const { return {}; }
    virtual std::string FailureReason(int) const { return {}; }
};

}  // namespace talvor
