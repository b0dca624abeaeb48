#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/fits_details.h"
#include "core/program_settings.h"

namespace talvor {

inline constexpr int kHistorySlots = 15;
inline constexpr std::size_t kHistoryLineLength = 39;
inline constexpr std::string_view kCaptureTitle = "Zenka Camera Image";

// Which filter the last file dialog used; the next dialog starts there.
enum class FileKind { NativeRaw = 1, Fits = 2, AllFiles = 3 };

// Where the current image came from.
enum class ImageOrigin { StartUp, Capture, File };

// Whose header texts the current image carries. Texts that follow the settings file change when
// it is read or edited; an opened file's texts, and texts the user edited for this image, stay
// until the user edits them.
enum class HeaderTextsOrigin { Settings, File, Edited };

// The state that travels with the current frame and the view flags several subsystems test.
struct WorkingState {
    // The title of the current image. Long file titles are held whole, not cut.
    std::string ImageTitle;
    // Names of the processing steps applied to the current image; empty slots are free.
    std::array<std::string, kHistorySlots> HistoryLines;
    FitsDetails Fits;
    ImageOrigin Origin = ImageOrigin::StartUp;
    HeaderTextsOrigin TextsOrigin = HeaderTextsOrigin::Settings;
    FileKind LastFileKind = FileKind::NativeRaw;
    // The folder the last Open, Save or Delete dialog ended in; empty before the first.
    std::string LastFileFolder;
    bool UnsignedFits = false;
    bool ZenkaGeometry = false;
    bool FitToWindow = false;
    bool FalseColour = false;
    bool AutoContrast = false;
    bool FocusMode = false;
    bool SubFrameMode = false;
    bool GuidingDisplay = false;
    bool SmallBitmapUsed = false;
};

// Writes the text (at most 39 characters) into the first empty slot; a full history is kept.
void AppendHistory(WorkingState& state, std::string_view text);
void ClearHistory(WorkingState& state);
// Before a file is loaded into the current image: empty history and default header texts.
void ClearHistoryAndHeaderTexts(WorkingState& state);
void SetTitle(WorkingState& state, std::string_view title);

// A capture begins a new image: the capture title, no date or time until the exposure has one,
// and the settings file's texts in place of an opened file's (texts the user edited stay).
void BeginCapturedImage(WorkingState& state, const ProgramSettings& settings);

// The settings file's texts and unsigned choice become the current image's, unless the image
// carries texts of its own.
void FollowSettingsTexts(WorkingState& state, const ProgramSettings& settings);

// A frame that pixel-true operations must refuse: stretched to the window or in Zenka geometry.
inline bool DisplayIsStretched(const WorkingState& state) {
    return state.ZenkaGeometry || state.FitToWindow;
}

}  // namespace talvor
