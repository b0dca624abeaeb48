#pragma once

namespace talvor {

struct Session;

// The View commands that change how the current image is shown. Each returns whether the
// window must set up its scrolling afresh.
bool ToggleFitToWindow(Session& session);
bool ToggleZenkaGeometry(Session& session);
bool ToggleFalseColour(Session& session);
bool ToggleAutoContrast(Session& session);
void UseMaxStretchOnAllImages(Session& session);
void UseMaxStretchOnFocusImagesOnly(Session& session);

}  // namespace talvor
