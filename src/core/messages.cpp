#include "core/messages.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "core/user_interface.h"

namespace talvor {
namespace {

constexpr std::string_view kIniUnreadable = "Unable to load INI file, please delete and try again";
constexpr std::string_view kIniUnwritable = "Unable to save INI file, please check disk space";
constexpr std::string_view kNoDiskSpace = "Unable to create file, check disk space";

constexpr std::pair<int, std::string_view> kMessages[] = {
    {1, "Warning!\nNo INI file found, please set defaults..."},
    {3, "Failed to Open Darkframe Zenka File"},
    {4, "Sorry, chosen Darkframe is not an Zenka File"},
    {5, "Failed to Open Flatfield Zenka File"},
    {6, "Sorry, chosen Flatfield is not a Zenka File"},
    {8, "Failed to create temp bitmap"},
    {9, "Unable to create temp bitmap file header"},
    {10, "Unable to create temp bitmap file"},
    {11, "Failed to Open Zenka File"},
    {12, "Sorry, you didn't choose a valid Zenka File"},
    {13, "Unable to load FITS file"},
    {14, "Unable to load FITS file, File was not saved by this program"},
    {17, "Failed to Save Zenka File"},
    {18, "Unable to create/overwrite Zenka File"},
    {19, "Unable to load INI file, defaults set"},
    {20, kIniUnreadable},
    {21, kIniUnwritable},
    {22, kNoDiskSpace},
    {23, kIniUnreadable},
    {24, kIniUnwritable},
    {27, kIniUnreadable},
    {32, "Cannot open bitmap file"},
    {33,
     "Sorry. Guide star lost.\n\nStar may have moved more than 10 pixels, or has different "
     "intensity to previous reading (+/-5%)"},
    {34,
     "Sorry. Cannot find suitable guide star\n\nStar must be at least +/-5% of next "
     "brightest."},
    {35, "Sorry, Can Only Select Star in Standard or 150% Display Options."},
    {36, "Sorry. No Connection to Telescope"},
    {37, "Sorry, you cannot run Photometry, Row Plot and Merging at the same time"},
    {38,
     "Sorry, Photometry only available in standard Geometry. Ensure Image is not stretched "
     "to fit window or in Zenka geometry."},
    {39,
     "Sorry, you are already in Photometry mode. Click left Mouse button when on object you "
     "wish to measure"},
    {41, "You didn't choose an Zenka or a suitable FITS File"},
    {43,
     "Sorry, Merging only available in standard Geometry. Ensure Image is not stretched to "
     "fit window or in Zenka geometry."},
    {44, "Sorry, you are already in Merging mode."},
    {47, "Sorry, Rowplot is only available in Standard Geometry"},
    {49, kNoDiskSpace},
    {51, "Guiding Terminated"},
    {52, "Sorry! Mk 2 Controlbox not present. Self-guiding not available"},
    {53, "You must first take an image and pick a star"},
    {54, "Communication with telescope failed"},
    // Guiding can stop in the middle of a self-guided exposure; the user must know that frame
    // was thrown away rather than read out.
    {57, "Guiding stopped during the exposure.\n\nThe frame was not read out."},
};

constexpr std::size_t kCallerTextLimit = 498;

}  // namespace

std::string_view MessageText(int code) {
    const auto found = std::find_if(std::begin(kMessages), std::end(kMessages),
                                    [code](const auto& entry) { return entry.first == code; });
    return found == std::end(kMessages) ? std::string_view{} : found->second;
}

std::string MessageBoxText(int code, std::string_view callerText) {
    if (code == kCallerText) {
        return std::string(callerText.substr(0, kCallerTextLimit));
    }
    return std::string(MessageText(code));
}

void ReportMessage(UserInterface& ui, int code, std::string_view callerText) {
    ui.ShowMessage(MessageBoxText(code, callerText));
}

}  // namespace talvor
