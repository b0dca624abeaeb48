#include "processing/merge_mode.h"

#include <algorithm>
#include <cctype>

#include "core/messages.h"
#include "core/session.h"
#include "display/refresh_display.h"
#include "image/file_bytes.h"
#include "image/image_file_kind.h"
#include "processing/frame_arithmetic.h"
#include "processing/processing_state.h"

namespace talvor {
namespace {

constexpr int kModesClash = 37;
constexpr int kStretchedPicture = 43;
constexpr int kAlreadyMerging = 44;

void ShowFields(MergeState& merge) {
    if (merge.FieldsChanged) {
        merge.FieldsChanged();
    }
}

void Merge(Session& session, const MergeState& merge) {
    // A merge takes no undo copy; undoing the step before it would drop the merge.
    DiscardUndoCopy(session.images);
    MergeFrames(session.images.CurrentImage, session.images.SecondImage, merge.ReferenceX,
                merge.ReferenceY, merge.MergeX, merge.MergeY, merge.Average);
}

}  // namespace

MergeStart StartMerging(Session& session) {
    if (session.modes.PhotometryMode || session.modes.RowPlotMode) {
        ReportMessage(session.ui, kModesClash);
        return MergeStart::Refused;
    }
    if (DisplayIsStretched(session.state)) {
        ReportMessage(session.ui, kStretchedPicture);
        return MergeStart::Refused;
    }
    if (session.modes.MergeMode) {
        ReportMessage(session.ui, kAlreadyMerging);
        return MergeStart::Refused;
    }
    MergeState& merge = CalibrationOf(session).Merge;
    merge.MarkingReference = true;
    merge.Average = false;
    merge.ReferenceX = merge.ReferenceY = merge.MergeX = merge.MergeY = 0;
    session.modes.MergeMode = true;
    return MergeStart::Started;
}

void MergeClick(Session& session, int x, int y) {
    if (!session.modes.MergeMode) {
        return;
    }
    MergeState& merge = CalibrationOf(session).Merge;
    if (merge.MarkingReference) {
        merge.ReferenceX = x;
        merge.ReferenceY = y;
    } else {
        merge.MergeX = x;
        merge.MergeY = y;
    }
    ShowFields(merge);
}

void OpenDuringMerging(Session& session) {
    if (!session.modes.MergeMode) {
        return;
    }
    MergeState& merge = CalibrationOf(session).Merge;
    merge.MarkingReference = false;
    CopyFrame(session.images.CurrentImage, session.images.SecondImage);
    ShowFields(merge);
}

MergePress PressMerge(Session& session) {
    MergeState& merge = CalibrationOf(session).Merge;
    if (!session.modes.MergeMode || merge.MarkingReference) {
        return MergePress::Ignored;
    }
    session.modes.MergeMode = false;
    // The merge frame is always the current image and the reference frame the second image,
    // also when no position was picked after the merge image was opened.
    Merge(session, merge);
    merge.Average = false;
    session.display.RefreshPending = true;
    return MergePress::Merged;
}

void CancelMerging(Session& session) {
    session.modes.MergeMode = false;
    CalibrationOf(session).Merge.Average = false;
}

void ToggleMergeAverage(Session& session) {
    MergeState& merge = CalibrationOf(session).Merge;
    merge.Average = !merge.Average;
    ShowFields(merge);
}

void ToggleCentreOnStar(Session& session) {
    MergeState& merge = CalibrationOf(session).Merge;
    merge.CentreOnStar = !merge.CentreOnStar;
    ShowFields(merge);
}

OperandResult MergeWithFile(Session& session, const std::filesystem::path& mergeFile,
                            int referenceX, int referenceY, int mergeX, int mergeY, bool average) {
    const auto size = RegularFileSize(mergeFile);
    const bool accepted = size && KindBySize(*size) != ImageFileKind::Unknown;
    CopyFrame(session.images.CurrentImage, session.images.SecondImage);
    std::string title = mergeFile.filename().string();
    std::transform(title.begin(), title.end(), title.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    LoadIntoCurrentImage(session, mergeFile, title);
    if (!accepted) {
        return OperandResult::Refused;
    }
    MergeState merge;
    merge.ReferenceX = referenceX;
    merge.ReferenceY = referenceY;
    merge.MergeX = mergeX;
    merge.MergeY = mergeY;
    merge.Average = average;
    Merge(session, merge);
    RefreshDisplay(session);
    return OperandResult::Loaded;
}

}  // namespace talvor
