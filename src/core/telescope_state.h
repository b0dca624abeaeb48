#pragma once

#include <memory>
#include <string>

#include "core/hand_control_commands.h"
#include "core/serial_port.h"

namespace talvor {

// The serial settings of the last open: baud-rate code, parity code, stop-bit code, data bits.
struct SerialLineParameters {
    int baudCode = kBaud9600;
    int parity = kNoParity;
    int stopBits = kOneStopBit;
    int dataBits = kEightDataBits;
};

// The serial telescope link's state for the run, and the choices of the telescope dialogs.
struct TelescopeState {
    // The link-open flag: set by a successful connect. Cleared when an error closes the port,
    // so that the next telescope command opens it again.
    bool PortOpen = false;
    // 0 for COM1, 1 for COM2; taken from the comm-port setting at every open.
    int PortNumber = 0;
    SerialLineParameters Line;
    // The mount's last answer, as received.
    std::string ReplyText;
    // What the next manual slew or focuser run sends; chosen by the LX200 dialog.
    std::string SlewRateCommand{kSlewRateSlew};
    std::string MoveCommand{"#:Mn#"};
    std::string FocusSpeedCommand{kFocusFast};
    std::string FocusDirectionCommand{kFocusIn};
    // Direction character and length in milliseconds of the next guide pulse or box move.
    char PulseDirection = 'e';
    int PulseLength = 0;
    // A manual move (either dialog) or a focuser run has been started and not stopped.
    bool Moving = false;
    bool Focusing = false;
    // The serial ports. The desktop program installs the ports it uses at start-up; when none
    // are installed the first open uses COM1 and COM2 as the data directory maps them.
    std::unique_ptr<SerialPort> Ports;
};

}  // namespace talvor
