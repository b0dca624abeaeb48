#pragma once

#include <memory>
#include <string>

#include "app/command_line.h"
#include "app/ui/talvor_app.h"

namespace talvor::testing {

// The whole program over its own data directory, as `talvor --data-dir DIR` starts it; with
// simulate as `talvor --simulate --fast-camera`, so that tests do not wait on the camera.
inline std::unique_ptr<TTalvorApp> StartProgram(const std::string& dataDirectory,
                                                bool simulate = false) {
    CommandLine line;
    line.dataDirectory = dataDirectory;
    line.simulate = simulate;
    line.fastCamera = simulate;
    return std::make_unique<TTalvorApp>(line);
}

}  // namespace talvor::testing
