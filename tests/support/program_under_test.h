#pragma once

#include <memory>
#include <string>

#include "app/command_line.h"
#include "app/ui/talvor_app.h"

namespace talvor::testing {

// The whole program over its own data directory, as `talvor --data-dir DIR` starts it.
inline std::unique_ptr<TTalvorApp> StartProgram(const std::string& dataDirectory,
                                                bool simulate = false) {
    CommandLine line;
    line.dataDirectory = dataDirectory;
    line.simulate = simulate;
    return std::make_unique<TTalvorApp>(line);
}

}  // namespace talvor::testing
