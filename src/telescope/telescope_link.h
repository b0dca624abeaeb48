#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace talvor {

struct Session;
struct SerialLineParameters;
class SerialPort;

enum class PortOpenResult { Failed = 0, Opened = 1 };

// How an operation of the link ended.
enum class LinkStatus {
    Done,
    NoAnswer,  // the mount sent nothing in time
    Stopped,   // a key press or the stop request ended a wait early; a drive it had started
               // was stopped first
    Lost,      // the port failed: the user has been told once, and the port is closed
};

// The answer of a go-to when the mount sent no slew status at all.
inline constexpr char kNoSlewStatus = '\0';
// The answer of a go-to by coordinates when the mount refused a coordinate: no slew is asked for.
inline constexpr char kCoordinatesRefused = 'C';
inline constexpr std::string_view kCoordinatesRefusedText =
    "The telescope refused the co-ordinates";

struct SlewAnswer {
    // '0' when the mount slews, kNoSlewStatus when it sent none, any other character when it
    // refused; the refusal's reason is then the reply text.
    char status = kNoSlewStatus;
    LinkStatus link = LinkStatus::Done;
};

// The only code that touches the serial port: a Meade LX200 through its command set, or a guider
// control box through single bytes and the modem lines, as the telescope type setting says. It
// works on the session's telescope state and settings; every timed wait is a wait on the
// session's clock in the calling thread.
//
// Failures are told to the user once, where they happen: a port that cannot be opened in one box
// naming the device and the reason; a port that fails later (the mount unplugged, switched off,
// stalled) in one box saying the mount stopped answering, after which the port is closed and
// the operations on it fail quietly until the next connect opens it again.
class TelescopeLink {
  public:
    // A stop request, when given, is asked during the link's waits: pulses then end early (with
    // their stop sent) and answers are no longer waited for.
    explicit TelescopeLink(Session& session, std::function<bool()> stopRequested = {})
        : session_(session), stopRequested_(std::move(stopRequested)) {}

    // Opens the link once per run: reads the settings file (writing a fresh one when it cannot
    // be read), then opens the port for the control box or the LX200. A failed LX200 open sets
    // the telescope type to none. Callers test the link-open flag afterwards.
    void ConnectTelescope();
    PortOpenResult OpenTelescopePort();
    // Also sets the link-open and control-box-found flags when it succeeds.
    PortOpenResult OpenControlBoxPort();
    // Passes a result of 0 or more back. A negative one closes the port, clears the link-open
    // flag and gives -1; unless the port was already closed (the user was told then), the user
    // is told that the mount stopped answering, with the device, the reason and "ERROR %d ".
    int CheckSerialResult(int result);
    void CloseTelescopePort();

    // One timed pulse in the pulse direction for the pulse length: LX200 commands at the guide
    // rate, or the control-box pulse when the telescope type is the control box.
    LinkStatus SendGuidePulse();
    LinkStatus SendControlBoxPulse();
    // Starts the box drive in the pulse direction and leaves it running until StopControlBoxMove.
    LinkStatus StartControlBoxMove();
    LinkStatus StopControlBoxMove();
    // Drops and raises the modem lines, wakes the box and sets the control-box-found flag.
    LinkStatus ResetControlBox();

    // Selects an object (kind 'm' Messier, 's' LX200 star number, anything else CNGC) and slews
    // to it. The window keeps answering while the mount's answers are awaited, and a key press
    // stops waiting; a mount that does not answer at all is reported.
    SlewAnswer GotoCatalogueObject(char kind, int number);
    // Slews to coordinates. The declination is south when the degrees are negative, or when
    // they were written "-0" (minusZeroDegrees), for declinations between 0 and -1 degree.
    SlewAnswer GotoCoordinates(int hours, int minutes, int degrees, int arcMinutes,
                               bool minusZeroDegrees = false);
    // Reads the mount's information on the selected object into the reply text.
    LinkStatus ReadObjectInfo();

    // Manual slew with the chosen rate and move commands; StopSlew stops all four directions.
    LinkStatus StartSlew();
    LinkStatus StopSlew();
    // Focuser run with the chosen speed and direction commands, and its stop.
    LinkStatus StartFocus();
    LinkStatus StopFocus();

  private:
    SerialPort& Ports();
    int Port() const;
    // "COM1 (/dev/ttyUSB0)": the port as the user knows it, and its device where known.
    std::string PortWords();
    // Opens the port with the given line; empty when it opened, else the text telling why not.
    std::string OpenLine(const SerialLineParameters& line, bool raiseModemLines);
    // Queues LX200 characters, or one control-box byte, through the error check.
    LinkStatus Send(std::string_view command);
    LinkStatus Put(uint8_t byte);
    void WaitUntil(uint32_t deadline);
    void Wait(int milliseconds);
    // Waits until the deadline; false when the stop request ended the wait first.
    bool WaitUnlessStopped(uint32_t deadline);
    // A key press in the window, or the stop request.
    bool StopWanted();
    // One answer of the mount, read as it arrives, up to maxLength characters: it ends with its
    // closing '#', after a pause once it began (for mounts that close no answer), or when the
    // whole answer has taken too long.
    LinkStatus ReadAnswer(std::string& answer, std::size_t maxLength);
    // A text answer, of which the reply text keeps the first 33 characters; `begun` holds its
    // first characters when they were read already.
    LinkStatus ReadTextAnswer(std::string& answer, std::string_view begun = {});
    // After the selection and "#:LI#": reads the description (of which `begun` may have been
    // read), asks for the slew and reads its status and, when refused, the reason.
    SlewAnswer SlewToSelectedObject(uint32_t start, std::string_view begun = {});
    void ReportNoAnswer();

    Session& session_;
    std::function<bool()> stopRequested_;
};

}  // namespace talvor
