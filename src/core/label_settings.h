#pragma once

#include <cstddef>
#include <string>

namespace talvor {

struct FitsDetails;
class UserInterface;

inline constexpr std::size_t kLabelTextLength = 30;
// A FITS date shorter than this has not been set.
inline constexpr std::size_t kShortestFitsDate = 7;

// The label command's settings. The text and "Auto Date" start afresh with each label dialog;
// "Use FITs Date" is kept for the whole run.
struct LabelSettings {
    std::string Text;
    bool AutoDate = true;
    bool UseFitsDate = false;
};

// The label dialog opens with an empty text and "Auto Date" on.
void BeginLabelDialog(LabelSettings& settings);

// "Auto Date" clicked: on goes off and takes "Use FITs Date" with it; off goes on.
void ClickAutoDate(LabelSettings& settings);

// "Use FITs Date" clicked: on goes off. Off goes on, with "Auto Date", only when the FITS date
// is set; otherwise "Sorry, FITs date not set" and nothing changes.
void ClickUseFitsDate(LabelSettings& settings, const FitsDetails& fits, UserInterface& ui);

}  // namespace talvor
