#include "telescope/telescope_link.h"

#include <cstdio>
#include <cstdlib>

#include "core/clock.h"
#include "core/messages.h"
#include "core/session.h"
#include "core/user_interface.h"
#include "image/settings_file.h"
#include "telescope/lx200_commands.h"
#include "telescope/posix_serial_port.h"

namespace talvor {
namespace {

constexpr int kQueueSize = 1024;
constexpr std::size_t kReplyLength = 33;
constexpr int kMessageIniUnreadable = 23;
constexpr int kMessageNoConnection = 36;
constexpr int kMessageCommunicationFailed = 54;
constexpr std::string_view kOpenFailed = "Open Communications Failed";
constexpr SerialLineParameters kLx200Line{kBaud9600, kNoParity, kOneStopBit, kEightDataBits};
constexpr SerialLineParameters kControlBoxLine{kBaud300, kNoParity, kOneStopBit, kEightDataBits};

// A whole answer may take this long from its command: slow mounts think for a few hundred
// milliseconds before they answer, and then send at 9600 baud.
constexpr uint32_t kAnswerMs = 2000;
// An answer that has begun and closes with no '#' has ended after this long without a byte.
constexpr uint32_t kQuietMs = 500;
// How often a wait for an answer looks at the port and the window.
constexpr uint32_t kAnswerPollMs = 2;
// The longest text read after the kept 33 characters of an answer, in pieces of 33.
constexpr int kMostDroppedPieces = 8;
// How often a pulse asks the stop request.
constexpr uint32_t kStopPollMs = 5;

std::string ErrorText(int result) {
    char text[32];
    std::snprintf(text, sizeof text, "ERROR %d ", result);
    return text;
}

// What a failed operation means when the port gives no reason of its own.
std::string_view CodeWords(int result) {
    switch (result) {
        case kSerialBadPort:
            return "there is no such port";
        case kSerialCannotOpen:
            return "the device cannot be opened";
        case kSerialNotTerminal:
            return "it is not a serial port";
        case kSerialBadParameter:
            return "it does not take the line settings";
        case kSerialLineError:
            return "the line settings could not be set";
        case kSerialWriteError:
            return "the bytes could not be sent";
        case kSerialReadError:
            return "nothing could be received";
        default:
            return "the port failed";
    }
}

}  // namespace

SerialPort& TelescopeLink::Ports() {
    if (!session_.telescope.Ports) {
        session_.telescope.Ports = MakeComPorts(session_.dataDirectory);
    }
    return *session_.telescope.Ports;
}

int TelescopeLink::Port() const {
    return session_.telescope.PortNumber;
}

std::string TelescopeLink::PortWords() {
    const std::string device = Ports().DeviceName(Port());
    const std::string port = Port() == 0 ? "COM1" : "COM2";
    return device.empty() ? port : port + " (" + device + ")";
}

void TelescopeLink::ConnectTelescope() {
    TelescopeState& link = session_.telescope;
    if (link.PortOpen) {
        return;
    }
    if (ReadSettings(session_) != SettingsResult::Done) {
        ReportMessage(session_.ui, kMessageIniUnreadable);
        WriteSettings(session_);
    }
    if (session_.settings.Telescope == TelescopeType::ControlBox) {
        // A failed open has shown its message; the box's later operations fail quietly.
        OpenControlBoxPort();
        link.PortOpen = true;
        return;
    }
    const std::string problem = OpenLine(kLx200Line, true);
    if (!problem.empty()) {
        session_.settings.Telescope = TelescopeType::None;
        ReportMessage(session_.ui, kCallerText,
                      std::string(MessageText(kMessageNoConnection)) + "\n\n" + problem);
        return;
    }
    link.PortOpen = true;
}

std::string TelescopeLink::OpenLine(const SerialLineParameters& line, bool raiseModemLines) {
    TelescopeState& link = session_.telescope;
    link.PortNumber = session_.settings.Port == CommPort::Com1 ? 0 : 1;
    link.Line = line;
    SerialPort& ports = Ports();
    const int reset = ports.Reset(Port(), kQueueSize, kQueueSize);
    int result = reset;
    // The first failure decides: every later step would only fail on the port that is not open.
    if (result >= 0) {
        result = ports.Baud(Port(), line.baudCode);
    }
    if (result >= 0 && raiseModemLines) {
        result = ports.Dtr(Port(), kSetLine);
    }
    if (result >= 0 && raiseModemLines) {
        result = ports.Rts(Port(), kSetLine);
    }
    if (result >= 0) {
        result = ports.Parms(Port(), line.parity, line.stopBits, line.dataBits);
    }
    if (result >= 0) {
        return {};
    }
    std::string reason = ports.FailureReason(Port());
    if (reason.empty()) {
        reason = CodeWords(result);
    }
    if (reset >= 0) {
        ports.Done(Port());
    }
    return std::string(kOpenFailed) + "\n\n" + PortWords() + ": " + reason + "\n" +
           ErrorText(result);
}

PortOpenResult TelescopeLink::OpenTelescopePort() {
    const std::string problem = OpenLine(kLx200Line, true);
    if (!problem.empty()) {
        ReportMessage(session_.ui, kCallerText, problem);
        return PortOpenResult::Failed;
    }
    return PortOpenResult::Opened;
}

PortOpenResult TelescopeLink::OpenControlBoxPort() {
    const std::string problem = OpenLine(kControlBoxLine, false);
    if (!problem.empty()) {
        ReportMessage(session_.ui, kCallerText, problem);
        return PortOpenResult::Failed;
    }
    session_.telescope.PortOpen = true;
    session_.settings.ControlBoxFound = true;
    return PortOpenResult::Opened;
}

int TelescopeLink::CheckSerialResult(int result) {
    if (result >= 0) {
        return result;
    }
    // A port that is not open failed to open or was closed by an earlier failure, and the user
    // was told then: a guide loop must not raise a box for every pulse.
    if (result != kSerialNotOpen) {
        std::string reason = Ports().FailureReason(Port());
        if (reason.empty()) {
            reason = CodeWords(result);
        }
        ReportMessage(session_.ui, kCallerText,
                      std::string(MessageText(kMessageCommunicationFailed)) + "\n\n" + PortWords() +
                          " stopped answering: " + reason + "\n" + ErrorText(result));
    }
    Ports().Done(Port());
    // The port is closed now: the next telescope command must open it again rather than
    // believe the link is still there.
    session_.telescope.PortOpen = false;
    return -1;
}

void TelescopeLink::CloseTelescopePort() {
    Ports().Done(Port());
    session_.telescope.PortOpen = false;
}

LinkStatus TelescopeLink::Send(std::string_view command) {
    const int result = Ports().Puts(Port(), command.data(), static_cast<int>(command.size()));
    return CheckSerialResult(result) < 0 ? LinkStatus::Lost : LinkStatus::Done;
}

LinkStatus TelescopeLink::Put(uint8_t byte) {
    return CheckSerialResult(Ports().Putc(Port(), byte)) < 0 ? LinkStatus::Lost : LinkStatus::Done;
}

void TelescopeLink::WaitUntil(uint32_t deadline) {
    session_.clock.WaitUntil(deadline);
}

void TelescopeLink::Wait(int milliseconds) {
    WaitUntil(session_.clock.Milliseconds() + static_cast<uint32_t>(milliseconds));
}

bool TelescopeLink::WaitUnlessStopped(uint32_t deadline) {
    if (!stopRequested_) {
        WaitUntil(deadline);
        return true;
    }
    for (;;) {
        if (stopRequested_()) {
            return false;
        }
        const uint32_t now = session_.clock.Milliseconds();
        if (DeadlineReached(now, deadline)) {
            return true;
        }
        const uint32_t nap = now + kStopPollMs;
        WaitUntil(DeadlineReached(nap, deadline) ? deadline : nap);
    }
}

bool TelescopeLink::StopWanted() {
    return session_.ui.DispatchPendingEvents().key || (stopRequested_ && stopRequested_());
}

LinkStatus TelescopeLink::SendGuidePulse() {
    if (session_.settings.Telescope == TelescopeType::ControlBox) {
        return SendControlBoxPulse();
    }
    const TelescopeState& link = session_.telescope;
    const uint32_t deadline = session_.clock.Milliseconds() + 20;
    const char direction = link.PulseDirection;
    if (IsDirection(direction)) {
        if (Send(kSlewRateGuide) == LinkStatus::Lost) {
            return LinkStatus::Lost;
        }
        if (!WaitUnlessStopped(deadline)) {
            return LinkStatus::Stopped;
        }
        const uint32_t moveStart = session_.clock.Milliseconds();
        if (Send(MoveCommand(direction)) == LinkStatus::Lost) {
            return LinkStatus::Lost;
        }
        // The stop goes out however the wait ended.
        const bool ranFull = WaitUnlessStopped(moveStart + static_cast<uint32_t>(link.PulseLength));
        if (Send(StopCommand(direction)) == LinkStatus::Lost) {
            return LinkStatus::Lost;
        }
        if (!ranFull) {
            return LinkStatus::Stopped;
        }
    }
    Wait(4);
    return LinkStatus::Done;
}

LinkStatus TelescopeLink::SendControlBoxPulse() {
    const TelescopeState& link = session_.telescope;
    const uint32_t deadline = session_.clock.Milliseconds() + 1;
    const uint8_t code = ControlBoxCode(link.PulseDirection);
    if (code != 0) {
        if (Put(code) == LinkStatus::Lost) {
            return LinkStatus::Lost;
        }
        if (!WaitUnlessStopped(deadline)) {
            return LinkStatus::Stopped;
        }
        const uint32_t driveStart = session_.clock.Milliseconds();
        if (Put(code + kBoxDriveOn) == LinkStatus::Lost) {
            return LinkStatus::Lost;
        }
        const bool ranFull =
            WaitUnlessStopped(driveStart + static_cast<uint32_t>(link.PulseLength));
        if (Put(kBoxAllOff) == LinkStatus::Lost) {
            return LinkStatus::Lost;
        }
        if (!ranFull) {
            return LinkStatus::Stopped;
        }
    }
    Wait(4);
    return LinkStatus::Done;
}

LinkStatus TelescopeLink::StartControlBoxMove() {
    const uint32_t deadline = session_.clock.Milliseconds() + 1;
    const uint8_t code = ControlBoxCode(session_.telescope.PulseDirection);
    if (code == 0) {
        return LinkStatus::Done;
    }
    if (Put(code) == LinkStatus::Lost) {
        return LinkStatus::Lost;
    }
    WaitUntil(deadline);
    return Put(code + kBoxDriveOn);
}

LinkStatus TelescopeLink::StopControlBoxMove() {
    return Put(kBoxAllOff);
}

LinkStatus TelescopeLink::ResetControlBox() {
    // A port that is not open has no lines to drop: its failure was told, and nothing is waited
    // for in vain.
    if (const int cleared = Ports().RxClear(Port()); cleared == kSerialNotOpen) {
        CheckSerialResult(cleared);
        session_.settings.ControlBoxFound = true;
        return LinkStatus::Lost;
    }
    Ports().Rts(Port(), kClearLine);
    Ports().Dtr(Port(), kClearLine);
    Wait(300);
    Ports().Rts(Port(), kSetLine);
    Ports().Dtr(Port(), kSetLine);
    Wait(400);
    LinkStatus status = Put(kBoxWakeUp);
    for (int i = 0; i < 2 && status == LinkStatus::Done; ++i) {
        status = Put(kBoxAllOff);
    }
    session_.settings.ControlBoxFound = true;
    return status;
}

LinkStatus TelescopeLink::ReadAnswer(std::string& answer, std::size_t maxLength) {
    answer.clear();
    Clock& clock = session_.clock;
    const uint32_t start = clock.Milliseconds();
    uint32_t lastByte = start;
    while (answer.size() < maxLength) {
        char character = 0;
        const int got = Ports().TakeReceived(Port(), &character, 1);
        if (got < 0) {
            CheckSerialResult(got);
            return LinkStatus::Lost;
        }
        const uint32_t now = clock.Milliseconds();
        if (got > 0) {
            answer += character;
            lastByte = now;
            if (character == '#') {
                break;
            }
            continue;
        }
        if (!answer.empty() && DeadlineReached(now, lastByte + kQuietMs)) {
            break;
        }
        if (DeadlineReached(now, start + kAnswerMs)) {
            return answer.empty() ? LinkStatus::NoAnswer : LinkStatus::Done;
        }
        if (StopWanted()) {
            return LinkStatus::Stopped;
        }
        clock.WaitUntil(now + kAnswerPollMs);
    }
    return LinkStatus::Done;
}

LinkStatus TelescopeLink::ReadTextAnswer(std::string& answer, std::string_view begun) {
    if (!begun.empty() && begun.back() == '#') {
        answer = begun;
        return LinkStatus::Done;
    }
    LinkStatus status = ReadAnswer(answer, kReplyLength - begun.size());
    if (!begun.empty()) {
        answer.insert(0, begun);
        status = status == LinkStatus::NoAnswer ? LinkStatus::Done : status;
    }
    if (status != LinkStatus::Done || answer.size() < kReplyLength || answer.back() == '#') {
        return status;
    }
    // The rest of a long text is read and dropped, or it would be taken for the next answer; a
    // device that never stops talking is not listened to for ever.
    std::string rest;
    for (int piece = 0; piece < kMostDroppedPieces; ++piece) {
        const LinkStatus more = ReadAnswer(rest, kReplyLength);
        if (more == LinkStatus::Lost || more == LinkStatus::Stopped) {
            return more;
        }
        if (rest.size() < kReplyLength || rest.back() == '#') {
            break;
        }
    }
    return LinkStatus::Done;
}

void TelescopeLink::ReportNoAnswer() {
    ReportMessage(session_.ui, kCallerText,
                  "No answer from the telescope on " + PortWords() +
                      ".\n\nCheck that it is switched on and that its cable is plugged in.");
}

SlewAnswer TelescopeLink::SlewToSelectedObject(uint32_t start, std::string_view begun) {
    TelescopeState& link = session_.telescope;
    // The description is read to its end before the slew is asked for: a slow mount's text then
    // cannot be taken for the slew status, nor a status for the end of a text without '#'.
    std::string description;
    LinkStatus read = ReadTextAnswer(description, begun);
    if (read == LinkStatus::Lost || read == LinkStatus::Stopped) {
        return {kNoSlewStatus, read};
    }
    link.ReplyText = description;
    WaitUntil(start + 1);
    session_.ui.Beep();
    if (Send(kSlewToObject) == LinkStatus::Lost) {
        return {kNoSlewStatus, LinkStatus::Lost};
    }
    Wait(1);
    std::string status;
    read = ReadAnswer(status, 1);
    if (read == LinkStatus::NoAnswer) {
        ReportNoAnswer();
    }
    if (read != LinkStatus::Done) {
        return {kNoSlewStatus, read};
    }
    if (status[0] != kSlewAccepted) {
        std::string reason;
        read = ReadTextAnswer(reason);
        link.ReplyText = reason;
        Ports().RxClear(Port());
        if (read == LinkStatus::Lost || read == LinkStatus::Stopped) {
            return {status[0], read};
        }
    }
    return {status[0], LinkStatus::Done};
}

SlewAnswer TelescopeLink::GotoCatalogueObject(char kind, int number) {
    TelescopeState& link = session_.telescope;
    link.ReplyText.clear();
    Ports().RxClear(Port());
    const uint32_t start = session_.clock.Milliseconds();
    if (Send(CatalogueCommand(kind, number)) == LinkStatus::Lost ||
        Send(kObjectInfo) == LinkStatus::Lost) {
        return {kNoSlewStatus, LinkStatus::Lost};
    }
    const SlewAnswer answer = SlewToSelectedObject(start);
    // A refusal's reason stays in the reply text for the user to read; otherwise the reply
    // becomes the mount's description of the object.
    if (answer.link == LinkStatus::Done &&
        (answer.status == kSlewAccepted || link.ReplyText.empty())) {
        const LinkStatus info = ReadObjectInfo();
        if (info == LinkStatus::Lost || info == LinkStatus::Stopped) {
            return {answer.status, info};
        }
    }
    return answer;
}

SlewAnswer TelescopeLink::GotoCoordinates(int hours, int minutes, int degrees, int arcMinutes,
                                          bool minusZeroDegrees) {
    session_.telescope.ReplyText.clear();
    Ports().RxClear(Port());
    const uint32_t start = session_.clock.Milliseconds();
    const bool south = degrees < 0 || (degrees == 0 && minusZeroDegrees);
    if (Send(RightAscensionCommand(hours, minutes)) == LinkStatus::Lost ||
        Send(DeclinationCommand(south, std::abs(degrees), arcMinutes)) == LinkStatus::Lost ||
        Send(kObjectInfo) == LinkStatus::Lost) {
        return {kNoSlewStatus, LinkStatus::Lost};
    }
    // Each coordinate is answered '1' (taken) or '0' (refused) ahead of the description. A
    // refused one leaves the mount's old target in place, so no slew is asked for; a mount that
    // answers neither has begun its description, or says nothing (and the slew is asked for as
    // to any mount, to be told once when no status comes).
    std::string begun;
    for (int coordinate = 0; coordinate < 2 && begun.empty(); ++coordinate) {
        std::string answer;
        const LinkStatus read = ReadAnswer(answer, 1);
        if (read == LinkStatus::NoAnswer) {
            break;
        }
        if (read != LinkStatus::Done) {
            return {kNoSlewStatus, read};
        }
        if (answer == "0") {
            std::string rest;
            const LinkStatus drained = ReadTextAnswer(rest);
            Ports().RxClear(Port());
            session_.telescope.ReplyText = kCoordinatesRefusedText;
            return {kCoordinatesRefused,
                    drained == LinkStatus::NoAnswer ? LinkStatus::Done : drained};
        }
        if (answer != "1") {
            begun = answer;
        }
    }
    return SlewToSelectedObject(start, begun);
}

LinkStatus TelescopeLink::ReadObjectInfo() {
    TelescopeState& link = session_.telescope;
    link.ReplyText.clear();
    if (Send(kObjectInfo) == LinkStatus::Lost) {
        return LinkStatus::Lost;
    }
    std::string text;
    LinkStatus read = ReadAnswer(text, kReplyLength);
    link.ReplyText = text;
    if (read != LinkStatus::Done || text.size() < kReplyLength || text.back() == '#') {
        return read;
    }
    // A description longer than the reply text: when more follows, its next piece replaces it.
    std::string further;
    read = ReadAnswer(further, 1);
    if (read != LinkStatus::Done || further[0] == '\0') {
        return read == LinkStatus::NoAnswer ? LinkStatus::Done : read;
    }
    read = ReadAnswer(text, kReplyLength);
    link.ReplyText = text;
    Ports().RxClear(Port());
    return read == LinkStatus::NoAnswer ? LinkStatus::Done : read;
}

LinkStatus TelescopeLink::StartSlew() {
    Ports().RxClear(Port());
    if (Send(session_.telescope.SlewRateCommand) == LinkStatus::Lost) {
        return LinkStatus::Lost;
    }
    Ports().RxClear(Port());
    return Send(session_.telescope.MoveCommand);
}

LinkStatus TelescopeLink::StopSlew() {
    Ports().RxClear(Port());
    for (const char direction : {'n', 's', 'e', 'w'}) {
        if (Send(StopCommand(direction)) == LinkStatus::Lost) {
            return LinkStatus::Lost;
        }
    }
    return LinkStatus::Done;
}

LinkStatus TelescopeLink::StartFocus() {
    Ports().RxClear(Port());
    if (Send(session_.telescope.FocusSpeedCommand) == LinkStatus::Lost) {
        return LinkStatus::Lost;
    }
    Ports().RxClear(Port());
    return Send(session_.telescope.FocusDirectionCommand);
}

LinkStatus TelescopeLink::StopFocus() {
    Ports().RxClear(Port());
    return Send(kFocusStop);
}

}  // namespace talvor
