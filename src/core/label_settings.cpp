#include "core/label_settings.h"

#include "core/fits_details.h"
#include "core/messages.h"

namespace talvor {

void BeginLabelDialog(LabelSettings& settings) {
    settings.Text.clear();
    settings.AutoDate = true;
}

void ClickAutoDate(LabelSettings& settings) {
    if (settings.AutoDate) {
        settings.AutoDate = false;
        settings.UseFitsDate = false;
    } else {
        settings.AutoDate = true;
    }
}

void ClickUseFitsDate(LabelSettings& settings, const FitsDetails& fits, UserInterface& ui) {
    if (settings.UseFitsDate) {
        settings.UseFitsDate = false;
        return;
    }
    if (fits.date.size() < kShortestFitsDate) {
        ReportMessage(ui, kCallerText, "Sorry, FITs date not set");
        return;
    }
    settings.UseFitsDate = true;
    settings.AutoDate = true;
}

}  // namespace talvor
