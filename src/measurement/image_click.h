#pragma once

#include <string>

namespace talvor {

struct Session;
class ScreenPointer;

// The margin a guide-star pick keeps from the frame's edges, beyond the mask.
inline constexpr int kPickMargin = 3;

// Whether a click leaves the mask of half-size r, plus the margin, inside the 512 x 290 frame.
bool ClickInside(int x, int y, int r, int margin);
// "Sorry, outside Image area - try again" with the position.
std::string OutsideImageText(int x, int y);

// A click on the picture at frame position (x, y), handed to the mode that is on: the row
// profile, merging, the focus-frame centre, the guide-star pick or photometry. A click whose
// mask would leave the frame is refused with the position (not while the focus-frame centre is
// being set). With SnapToStar set the click is first moved onto the nearest star, and the
// pointer with it.
void ImageClick(Session& session, ScreenPointer& pointer, int x, int y);

// The main window's mouse handlers. They take the position in the window's viewport and the
// scroll bars' values, as the window has them; the point on the picture is their sum.
struct ViewportPoint {
    int x = 0;
    int y = 0;
    int scrollX = 0;
    int scrollY = 0;
};
// Left button released: the click as it lands.
void HandleLeftButtonUp(Session& session, ScreenPointer& pointer, const ViewportPoint& point);
// Right button released: while photometry is on, the click snapped onto the star first.
void HandleRightButtonUp(Session& session, ScreenPointer& pointer, const ViewportPoint& point);
// Mouse moved: the photometry cursor read-out.
void HandleMouseMoved(Session& session, const ViewportPoint& point);

}  // namespace talvor
