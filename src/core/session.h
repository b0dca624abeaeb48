#pragma once

#include "core/calibration_state.h"
#include "core/camera_state.h"
#include "core/capture_state.h"
#include "core/data_directory.h"
#include "core/display_state.h"
#include "core/guiding_state.h"
#include "core/image_store.h"
#include "core/label_settings.h"
#include "core/mouse_modes.h"
#include "core/program_settings.h"
#include "core/progress.h"
#include "core/readout_state.h"
#include "core/telescope_state.h"
#include "core/working_state.h"

namespace talvor {

class Clock;
class UserInterface;

// The program's process-wide state, grouped by the subsystem that owns it, with the clock, the
// data directory and the user interface it works through. The desktop program holds one; a
// test makes its own with a test clock and a recording interface.
struct Session {
    Session(ImageStore& images, DataDirectory dataDirectory, Clock& clock, UserInterface& ui)
        : images(images), dataDirectory(std::move(dataDirectory)), clock(clock), ui(ui) {}

    ImageStore& images;
    WorkingState state;
    DisplayState display;
    ProgramSettings settings;
    CameraState camera;
    CaptureState capture;
    ReadoutState readout;
    GuidingState guiding;
    MouseModes modes;
    TelescopeState telescope;
    ProgressState progress;
    CalibrationState calibration;
    LabelSettings label;
    DataDirectory dataDirectory;
    Clock& clock;
    UserInterface& ui;
};

}  // namespace talvor
