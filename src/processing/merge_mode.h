#pragma once

#include <filesystem>

#include "image/image_loading.h"

namespace talvor {

struct Session;

enum class MergeStart { Started, Refused };
enum class MergePress { Merged, Ignored };

// The Merge command: refused with its message while photometry or the row plot takes the
// clicks, while the picture is stretched, or while merging is already on. Otherwise merging
// starts with the next pick marking the reference position, adding, and all positions 0.
MergeStart StartMerging(Session& session);

// A left click on the picture while merging is on, at a frame position (already moved onto
// the star when "Centre on Star" is set): it marks the reference position until a merge image
// has been opened, the merge position afterwards. The open window shows it.
void MergeClick(Session& session, int x, int y);

// Open calls this before it reads a file: while merging is on, the picture shown so far becomes
// the reference frame (the second image) and the next picks mark the merge position.
void OpenDuringMerging(Session& session);

// "Merge": ignored until a merge image has been opened. Otherwise merging ends and the merge
// image (the current image), shifted onto the reference frame, is added to or averaged with it;
// the result, in the reference frame's coordinates, becomes the current image and is shown at
// the next paint. No undo copy, no history line.
MergePress PressMerge(Session& session);

// "Cancel": merging ends, nothing is merged.
void CancelMerging(Session& session);

void ToggleMergeAverage(Session& session);
void ToggleCentreOnStar(Session& session);

// The whole merge at once, as a script gives it: the current image is the reference frame with
// the reference position marked in it; the file is opened as the merge image with the merge
// position marked in it. A file of no accepted size is refused by Open's rules and nothing is
// merged.
OperandResult MergeWithFile(Session& session, const std::filesystem::path& mergeFile,
                            int referenceX, int referenceY, int mergeX, int mergeY, bool average);

}  // namespace talvor
