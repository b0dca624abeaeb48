#pragma once

#include <string>
#include <string_view>

#include "guiding/guiding_view.h"

namespace talvor {

struct Session;

// Arc-seconds of sky per pixel for a pixel size and a focal length as the FITS details keep
// them (millimetres, or micrometres for sizes above 1; inches); 0 when either is not given.
double ArcsecondsPerPixel(double pixelSize, double focalLengthInches);

// The window's content from the session: x and y of the star centre with its tenths, the offsets
// divided by 19, each with one decimal, as they always were; beside them the offsets in pixels
// and arc-seconds (from the FITS details' focal length and pixel size), the run's RMS in RA and
// Dec, and the guide log; the small bitmap file and the reference for the frame.
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
