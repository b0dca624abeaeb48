#pragma once

#include <string>

namespace talvor {

struct Session;
struct WorkingState;

// Removes the last history line: the one before the first empty slot. A full history, and an
// empty one, stay as they are.
void RemoveLastHistoryLine(WorkingState& state);

// "&Undo Last Filter": the undo copy goes back over the current image (the copy itself stays, so
// a second undo restores the same picture), the display is refreshed and the last history line
// is removed.
void UndoLastStep(Session& session);

// Slot 0 and " \n", then each following slot and " \n" up to the first slot holding less than
// two characters.
std::string HistoryText(const WorkingState& state);

// "Processing &History": the history text in the program's message box.
void ShowProcessingHistory(Session& session);

}  // namespace talvor
