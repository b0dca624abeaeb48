#pragma once

#include <functional>
#include <string>

namespace talvor {

// How a self-guided exposure reaches the guiding routines and the "Guiding Info" window. The
// capture sequence runs without them; self-guiding cannot be armed while they are missing.
struct SelfGuidingHooks {
    // Checks the telescope and places the guide frame; 0 when ready.
    std::function<int()> PrepareSelfGuiding;
    // One guide frame and its correction inside the running exposure.
    std::function<void()> SelfGuideStep;
    // After the mid-exposure readout: the guide frame moves to the other half of the chip.
    std::function<void()> SwitchGuidingFrame;
    // Opens the "Guiding Info" window with the caption, or changes its caption.
    std::function<void(const std::string& caption)> ShowGuidingInfo;
    std::function<void()> CloseGuidingInfo;
    // Asks the control box whether it is there (opening the port only for the question).
    std::function<bool()> ControlBoxPresent;

    bool Available() const { return PrepareSelfGuiding && SelfGuideStep && ControlBoxPresent; }
};

}  // namespace talvor
