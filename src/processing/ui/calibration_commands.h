#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace talvor {

struct Session;
class CommandHost;
class TMergeDialog;

// The five commands that start by choosing an image file.
enum class CalibrationFileMode { Subtract, FlatField, Average, SelectDarkFrame, SelectFlatField };

// Shows the open-file dialog (starting in, and remembering, the given folder) and carries out
// the command with the chosen file: subtract it, flat-field with it, average with it, or keep it
// as the automatic dark or flat file. Cancel changes nothing.
void RunCalibrationFileCommand(Session& session, CalibrationFileMode mode, QWidget* parent,
                               QString& directory);

// "Merge two Images &together": starts merging and opens the "MERGE IMAGES" window, or reports
// why it cannot. afterMerge runs once the merged picture waits to be shown.
TMergeDialog* RunMergeCommand(Session& session, QWidget* parent, std::function<void()> afterMerge);

// "&Label": the label dialog, and on OK the label drawn into the current image.
void RunLabelCommand(Session& session, QWidget* parent);

// Binds Subtract Image, Apply Flat Field, Merge, Average, Select Dark Frame, Select Auto-Flat
// File, Undo Last Filter, Processing History and Label to the frame's commands.
void BindCalibrationAndLabelCommands(CommandHost& frame, Session& session);

}  // namespace talvor
