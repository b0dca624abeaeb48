#pragma once

#include "app/data_directory.h"
#include "app/display_state.h"
#include "app/progress.h"
#include "camera/camera_state.h"
#include "camera/capture_state.h"
#include "camera/readout_state.h"
#include "image/image_store.h"
#include "image/program_settings.h"
#include "image/working_state.h"
#include "processing/calibration_state.h"
#include "processing/label_settings.h"
#include "telescope/guiding_state.h"
#include "telescope/mouse_modes.h"
#include "telescope/telescope_state.h"

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
