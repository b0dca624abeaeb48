#pragma once

namespace talvor {

struct Session;
class CommandHost;

// Binds the measuring commands: "Photometry of Image", "3-D Intensity Plot", "Intensity Plot
// of Current Row" and "Histogram". Each opens its modeless window when its rules allow: beside
// the picture, or where the user last moved that window.
void BindMeasurementCommands(CommandHost& frame, Session& session);

}  // namespace talvor
