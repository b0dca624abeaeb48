#pragma once

namespace talvor {

// The serial telescope link's state for the run.
struct TelescopeState {
    // The serial port is open to a mount or control box.
    bool PortOpen = false;
};

}  // namespace talvor
