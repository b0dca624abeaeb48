#pragma once

#include <string>

namespace talvor {

struct ImageStore;
struct Session;
struct WorkingState;

// Removes the last history line: the one before the first empty slot. A full history, and an
// empty one, stay as they are.
void RemoveLastHistoryLine(WorkingState& state);

// Whether "&Undo Last Filter" has a picture to bring back: a processing step has taken its undo
// copy and nothing has replaced or changed its result since (an open, a photo, a label, a
// merge, a mirror, or the undo itself). The menu item is greyed otherwise.
bool CanUndo(const ImageStore& images);

// "&Undo Last Filter": the picture the last processing step started from goes back over the
// current image, the display is refreshed and that step's history line is removed. There is
// one level: afterwards, as after an open or a photo, there is nothing to undo, and an undo
// then changes neither the picture nor the history.
void UndoLastStep(Session& session);

// Slot 0 and " \n", then each following slot and " \n" up to the first slot holding less than
// two characters.
std::string HistoryText(const WorkingState& state);

// The history text as the program's message box shows it: its first 498 characters.
std::string ShownHistoryText(const WorkingState& state);

// "Processing &History": the history text in the program's message box.
void ShowProcessingHistory(Session& session);

}  // namespace talvor
