#include "telescope/telescope_link.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

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
constexpr int kReplyLength = 33;
constexpr int kMessageIniUnreadable = 23;
constexpr int kMessageNoConnection = 36;
constexpr std::string_view kOpenFailed = "Open Communications Failed";

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
        // A failed open has shown its message; the box's later operations report their own.
        OpenControlBoxPort();
        link.PortOpen = true;
        return;
    }
    if (OpenTelescopePort() == PortOpenResult::Failed) {
        session_.settings.Telescope = TelescopeType::None;
        ReportMessage(session_.ui, kMessageNoConnection);
        return;
    }
    link.PortOpen = true;
}

PortOpenResult TelescopeLink::OpenTelescopePort() {
    TelescopeState& link = session_.telescope;
    link.PortNumber = session_.settings.Port == CommPort::Com1 ? 0 : 1;
    CheckSerialResult(Ports().Reset(Port(), kQueueSize, kQueueSize));
    link.Line = SerialLineParameters{kBaud9600, kNoParity, kOneStopBit, kEightDataBits};
    CheckSerialResult(Ports().Baud(Port(), link.Line.baudCode));
    CheckSerialResult(Ports().Dtr(Port(), kSetLine));
    CheckSerialResult(Ports().Rts(Port(), kSetLine));
    if (CheckSerialResult(
            Ports().Parms(Port(), link.Line.parity, link.Line.stopBits, link.Line.dataBits)) < 0) {
        ReportMessage(session_.ui, kCallerText, kOpenFailed);
        return PortOpenResult::Failed;
    }
    return PortOpenResult::Opened;
}

PortOpenResult TelescopeLink::OpenControlBoxPort() {
    TelescopeState& link = session_.telescope;
    link.PortNumber = session_.settings.Port == CommPort::Com1 ? 0 : 1;
    CheckSerialResult(Ports().Reset(Port(), kQueueSize, kQueueSize));
    link.Line = SerialLineParameters{kBaud300, kNoParity, kOneStopBit, kEightDataBits};
    CheckSerialResult(Ports().Baud(Port(), link.Line.baudCode));
    if (CheckSerialResult(
            Ports().Parms(Port(), link.Line.parity, link.Line.stopBits, link.Line.dataBits)) < 0) {
        ReportMessage(session_.ui, kCallerText, kOpenFailed);
        return PortOpenResult::Failed;
    }
    link.PortOpen = true;
    session_.settings.ControlBoxFound = true;
    return PortOpenResult::Opened;
}

int TelescopeLink::CheckSerialResult(int result) {
    if (result >= 0) {
        return result;
    }
    char text[32];
    std::snprintf(text, sizeof text, "ERROR %d ", result);
    ReportMessage(session_.ui, kCallerText, text);
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

void TelescopeLink::Send(std::string_view command) {
    Ports().Puts(Port(), command.data(), static_cast<int>(command.size()));
}

void TelescopeLink::Put(uint8_t byte) {
    CheckSerialResult(Ports().Putc(Port(), byte));
}

void TelescopeLink::WaitUntil(uint32_t deadline) {
    while (!DeadlineReached(session_.clock.Milliseconds(), deadline)) {
        // Short naps keep the wait precise to the millisecond without spinning a core.
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
}

void TelescopeLink::Wait(int milliseconds) {
    WaitUntil(session_.clock.Milliseconds() + static_cast<uint32_t>(milliseconds));
}

void TelescopeLink::SendGuidePulse() {
    if (session_.settings.Telescope == TelescopeType::ControlBox) {
        SendControlBoxPulse();
        return;
    }
    const TelescopeState& link = session_.telescope;
    const uint32_t deadline = session_.clock.Milliseconds() + 20;
    const char direction = link.PulseDirection;
    if (IsDirection(direction)) {
        Send(kSlewRateGuide);
        WaitUntil(deadline);
        const uint32_t moveStart = session_.clock.Milliseconds();
        Send(MoveCommand(direction));
        WaitUntil(moveStart + static_cast<uint32_t>(link.PulseLength));
        Send(StopCommand(direction));
    }
    Wait(4);
}

void TelescopeLink::SendControlBoxPulse() {
    const TelescopeState& link = session_.telescope;
    const uint32_t deadline = session_.clock.Milliseconds() + 1;
    const uint8_t code = ControlBoxCode(link.PulseDirection);
    if (code != 0) {
        Put(code);
        WaitUntil(deadline);
        const uint32_t driveStart = session_.clock.Milliseconds();
        Put(code + kBoxDriveOn);
        WaitUntil(driveStart + static_cast<uint32_t>(link.PulseLength));
        Put(kBoxAllOff);
    }
    Wait(4);
}

void TelescopeLink::StartControlBoxMove() {
    const uint32_t deadline = session_.clock.Milliseconds() + 1;
    const uint8_t code = ControlBoxCode(session_.telescope.PulseDirection);
    if (code == 0) {
        return;
    }
    Put(code);
    WaitUntil(deadline);
    Put(code + kBoxDriveOn);
}

void TelescopeLink::StopControlBoxMove() {
    Put(kBoxAllOff);
}

void TelescopeLink::ResetControlBox() {
    Ports().RxClear(Port());
    Ports().Rts(Port(), kClearLine);
    Ports().Dtr(Port(), kClearLine);
    Wait(300);
    Ports().Rts(Port(), kSetLine);
    Ports().Dtr(Port(), kSetLine);
    Wait(400);
    Put(kBoxWakeUp);
    Put(kBoxAllOff);
    Put(kBoxAllOff);
    session_.settings.ControlBoxFound = true;
}

std::string TelescopeLink::ReadReply() {
    std::string reply;
    while (static_cast<int>(reply.size()) < kReplyLength) {
        char character = 0;
        if (Ports().Gets(Port(), &character, 1) < 1) {
            break;
        }
        reply += character;
        if (character == '#') {
            break;
        }
    }
    return reply;
}

char TelescopeLink::ReadSlewAnswer() {
    TelescopeState& link = session_.telescope;
    link.ReplyText = ReadReply();
    char status = kNoSlewStatus;
    if (Ports().Gets(Port(), &status, 1) < 1) {
        status = kNoSlewStatus;
    }
    if (status != kSlewAccepted) {
        link.ReplyText = ReadReply();
        Ports().RxClear(Port());
    }
    return status;
}

char TelescopeLink::GotoCatalogueObject(char kind, int number) {
    TelescopeState& link = session_.telescope;
    link.ReplyText.clear();
    const std::string select = CatalogueCommand(kind, number);
    Ports().RxClear(Port());
    const uint32_t start = session_.clock.Milliseconds();
    Send(select);
    Send(kObjectInfo);
    WaitUntil(start + 1);
    session_.ui.Beep();
    Send(kSlewToObject);
    Wait(1);
    const char status = ReadSlewAnswer();
    // A refusal's reason stays in the reply text for the user to read; otherwise the reply
    // becomes the mount's description of the object.
    if (status == kSlewAccepted || link.ReplyText.empty()) {
        ReadObjectInfo();
    }
    return status;
}

char TelescopeLink::GotoCoordinates(int hours, int minutes, int degrees, int arcMinutes,
                                    bool minusZeroDegrees) {
    session_.telescope.ReplyText.clear();
    Ports().RxClear(Port());
    const uint32_t start = session_.clock.Milliseconds();
    const bool south = degrees < 0 || (degrees == 0 && minusZeroDegrees);
    Send(RightAscensionCommand(hours, minutes));
    Send(DeclinationCommand(south, std::abs(degrees), arcMinutes));
    Send(kObjectInfo);
    WaitUntil(start + 1);
    session_.ui.Beep();
    Send(kSlewToObject);
    Wait(1);
    return ReadSlewAnswer();
}

void TelescopeLink::ReadObjectInfo() {
    TelescopeState& link = session_.telescope;
    link.ReplyText.clear();
    Send(kObjectInfo);
    Wait(200);
    link.ReplyText = ReadReply();
    char further = 0;
    if (Ports().Gets(Port(), &further, 1) == 1 && further != 0) {
        link.ReplyText = ReadReply();
        Ports().RxClear(Port());
    }
}

void TelescopeLink::StartSlew() {
    Ports().RxClear(Port());
    Send(session_.telescope.SlewRateCommand);
    Ports().RxClear(Port());
    Send(session_.telescope.MoveCommand);
}

void TelescopeLink::StopSlew() {
    Ports().RxClear(Port());
    for (const char direction : {'n', 's', 'e', 'w'}) {
        Send(StopCommand(direction));
    }
}

void TelescopeLink::StartFocus() {
    Ports().RxClear(Port());
    Send(session_.telescope.FocusSpeedCommand);
    Ports().RxClear(Port());
    Send(session_.telescope.FocusDirectionCommand);
}

void TelescopeLink::StopFocus() {
    Ports().RxClear(Port());
    Send(kFocusStop);
}

}  // namespace talvor
