#pragma once

#include <string>
#include <string_view>

#include "guiding/guiding_view.h"

namespace talvor {

struct Session;

// The window's content from the session: x and y of the star centre with its tenths, the offsets
// divided by 19, each with one decimal; the small bitmap file and the reference for the frame.
GuidingInfoContent DescribeGuidingInfo(const Session& session);

// Refreshes the "Guiding Info" window's fields and guide frame.
void UpdateGuidingInfo(Session& session, GuidingView& view);
// Sets the window's title and puts it on the caption at once.
void SetGuidingInfoTitle(Session& session, GuidingView& view, std::string_view title);
// Opens the window with a caption, or recaptions the one open, and refreshes it.
void ShowGuidingInfo(Session& session, GuidingView& view, std::string_view title);
// Closes the window; its frame bitmap is not drawn again until the next one is ready.
void CloseGuidingInfo(Session& session, GuidingView& view);

}  // namespace talvor
