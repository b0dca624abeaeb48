#include "app/view_commands.h"

#include "core/session.h"
#include "display/refresh_display.h"

namespace talvor {

bool ToggleFitToWindow(Session& session) {
    if (session.modes.PhotometryMode) {
        return false;
    }
    WorkingState& state = session.state;
    state.FitToWindow = !state.FitToWindow;
    if (state.FitToWindow) {
        state.ZenkaGeometry = false;
    }
    return true;
}

bool ToggleZenkaGeometry(Session& session) {
    if (session.modes.PhotometryMode) {
        return false;
    }
    WorkingState& state = session.state;
    state.ZenkaGeometry = !state.ZenkaGeometry;
    if (state.ZenkaGeometry) {
        state.FitToWindow = false;
    }
    RefreshDisplay(session);
    return true;
}

bool ToggleFalseColour(Session& session) {
    session.state.FalseColour = !session.state.FalseColour;
    RefreshDisplay(session);
    return true;
}

bool ToggleAutoContrast(Session& session) {
    session.state.AutoContrast = !session.state.AutoContrast;
    RefreshDisplay(session);
    return true;
}

void UseMaxStretchOnAllImages(Session& session) {
    if (!session.display.MaxStretchAll) {
        session.display.MaxStretchAll = true;
        RefreshDisplay(session);
    }
}

void UseMaxStretchOnFocusImagesOnly(Session& session) {
    if (session.display.MaxStretchAll) {
        session.display.MaxStretchAll = false;
        RefreshDisplay(session);
    }
}

}  // namespace talvor
