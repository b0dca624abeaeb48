#pragma once

#include <string>

namespace talvor {

struct Session;

// "x position = %5d\ny position = %5d", the box a pick and a focus-centre click end with.
std::string ClickPositionText(int x, int y);

// "Pick Guide Star": arms or disarms the pick of the next left click. In the stretched or Zenka
// display the user is warned that picks only work in the standard display, and the pick is
// armed all the same. Returns whether picking is now armed.
bool PickGuideStar(Session& session);

// The pick click, after the click dispatch has snapped it onto the star: the star found by the
// snapping becomes the picked star when all three passes succeeded. A pick whose snapping failed
// leaves no star picked, so that guiding cannot start on a centre left from an earlier search;
// the position shown is then that centre, as before. A star too near the chip's edge for its
// guide frame to hold it is refused with a message that names the margin it needs, and picking
// stays armed.
void PickGuideStarClick(Session& session, int snapPasses);

// A star just picked that lies too near the edge to guide on is refused: the reason is shown
// and no star is picked. True when refused.
bool RefusePickNearEdge(Session& session);

// Takes the picked star as the dispatch does, without the box: the batch tool's pick.
void RecordPickedStar(Session& session, int snapPasses);

}  // namespace talvor
