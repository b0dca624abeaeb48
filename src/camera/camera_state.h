#pragma once

namespace talvor {

// The camera link's state for the run.
struct CameraState {
    // The camera's devices were found and opened.
    bool CameraConnected = false;
};

}  // namespace talvor
