#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace talvor {

struct Session;
class SerialPort;

enum class PortOpenResult { Failed = 0, Opened = 1 };

// The answer of a go-to when the mount sent no slew status at all.
inline constexpr char kNoSlewStatus = '\0';

// The only code that touches the serial port: a Meade LX200 through its command set, or a guider
// control box through single bytes and the modem lines, as the telescope type setting says. It
// works on the session's telescope state and settings; every timed wait is a wait on the
// session's clock in the calling thread. Failures are shown to the user where they happen and
// the operation goes on, as the mount's own hand controller would.
class TelescopeLink {
  public:
    explicit TelescopeLink(Session& session) : session_(session) {}

    // Opens the link once per run: reads the settings file (writing a fresh one when it cannot
    // be read), then opens the port for the control box or the LX200. A failed LX200 open sets
    // the telescope type to none. Callers test the link-open flag afterwards.
    void ConnectTelescope();
    PortOpenResult OpenTelescopePort();
    // Also sets the link-open and control-box-found flags when it succeeds.
    PortOpenResult OpenControlBoxPort();
    // Passes a result of 0 or more back. A negative one is shown as "ERROR %d ", closes the port
    // and clears the link-open flag, and gives -1.
    int CheckSerialResult(int result);
    void CloseTelescopePort();

    // One timed pulse in the pulse direction for the pulse length: LX200 commands at the guide
    // rate, or the control-box pulse when the telescope type is the control box.
    void SendGuidePulse();
    void SendControlBoxPulse();
    // Starts the box drive in the pulse direction and leaves it running until StopControlBoxMove.
    void StartControlBoxMove();
    void StopControlBoxMove();
    // Drops and raises the modem lines, wakes the box and sets the control-box-found flag.
    void ResetControlBox();

    // Selects an object (kind 'm' Messier, 's' LX200 star number, anything else CNGC) and slews
    // to it. Returns the mount's slew status: '0' when it slews, kNoSlewStatus when it did not
    // answer, any other character when it refused; the refusal's reason is then the reply text.
    char GotoCatalogueObject(char kind, int number);
    // Slews to coordinates. The declination is south when the degrees are negative, or when
    // they were written "-0" (minusZeroDegrees), for declinations between 0 and -1 degree.
    char GotoCoordinates(int hours, int minutes, int degrees, int arcMinutes,
                         bool minusZeroDegrees = false);
    // Reads the mount's information on the selected object into the reply text.
    void ReadObjectInfo();

    // Manual slew with the chosen rate and move commands; StopSlew stops all four directions.
    void StartSlew();
    void StopSlew();
    // Focuser run with the chosen speed and direction commands, and its stop.
    void StartFocus();
    void StopFocus();

  private:
    SerialPort& Ports();
    int Port() const;
    // Queues LX200 characters; as with the hand controller, nothing is read back.
    void Send(std::string_view command);
    // Queues one control-box byte through the error check.
    void Put(uint8_t byte);
    void WaitUntil(uint32_t deadline);
    void Wait(int milliseconds);
    // One answer of the mount: up to 33 characters, ending with the '#' that closes it.
    std::string ReadReply();
    // The answer to "#:MS#" after the object information: the status and, when the mount
    // refused, its reason in the reply text.
    char ReadSlewAnswer();

    Session& session_;
};

}  // namespace talvor
