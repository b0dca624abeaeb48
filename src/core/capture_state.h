#pragma once

#include <cstdint>
#include <string>

#include "core/clock.h"

namespace talvor {

// The unit letter of an exposure value.
enum class ExposureUnit : char {
    Thousandths = 'q',
    Hundredths = 'h',
    Tenths = 't',
    Seconds = 's',
    Minutes = 'm',
};

// What the camera dialog sets, kept from one run to the next for the run of the program.
struct CaptureSettings {
    ExposureUnit Unit = ExposureUnit::Seconds;
    int Value = 1;
    int NumberOfExposures = 1;
    int DelayMinutes = 0;
    // The guide exposure, copied from the main exposure when self-guiding is armed.
    int GuideValue = 0;
    ExposureUnit GuideUnit = ExposureUnit::Seconds;
    bool ContinuousMode = false;
    bool DelayBeforeExposure = false;
    bool AverageMultiple = false;
    bool AlternativeSlew = false;
    bool AutoSave = false;
    bool AutoRemoveDark = false;
    bool AutoApplyFlat = false;
    bool SetStretchForAllImages = false;
    bool FocusExposures = false;  // "Pause between" focus frames
    bool ToggleGuideFrame = false;
    bool AutoExposureMode = false;
    bool AutoStartControlDialog = false;
    // The peak of the last focus frame, shown as "Max Value".
    int LastFocusPeak = 0;
};

// The state of one capture run; reset as the run starts and ends.
struct CaptureRun {
    int Remaining = 0;
    bool ContinuousRunning = false;
    bool Aborted = false;
    bool Multi = false;
    bool Paused = false;
    bool SelfGuidingActive = false;
    bool MidReadoutDone = false;
    int GuideFrameCounter = 0;
    int GuideDarkFrameCount = 0;
    bool DarkLoaded = false;
    bool FlatLoaded = false;
    // The automatic dark and flat were applied to the last frame read; its history says so
    // only then.
    bool DarkApplied = false;
    bool FlatApplied = false;
    // Frames of this run that were shown (and, with "Auto Save Image", saved).
    int FramesShown = 0;
    bool PickModeSaved = false;
    // The end of the running timed wait; an abort sets it to now so every wait ends.
    uint32_t EndTime = 0;
    // Start and finish of the last exposure, for the FITS date and time.
    CalendarTime Start;
    CalendarTime Finish;
};

// The running slew-and-sum: every field is cleared at the start and the end of a run.
struct SlewSumReference {
    int ReferenceX = 0;
    int ReferenceY = 0;
    int LastStarX = 0;
    int LastStarY = 0;
    int BandOffset = 0;
    int ReferenceLevel = 0;
    int ModeBin = 0;
    int ReferenceRowProfile[100] = {};
    int ReferenceColumnProfile[100] = {};
    int NewRowProfile[100] = {};
    int NewColumnProfile[100] = {};
};

// The camera dialog's options, the run in progress and self-guiding's arming.
struct CaptureState {
    CaptureSettings Settings;
    CaptureRun Run;
    SlewSumReference Reference;
    // "Self-Guide Next Exposure" and "Take matching Darkframe".
    bool SelfGuideArmed = false;
    bool GuideDarkFrame = false;
    // Ends the focus loop at its next pass.
    bool FocusLoopStop = false;
};

}  // namespace talvor
