#pragma once

#include <optional>
#include <string>

#include "core/guiding_state.h"
#include "core/readout_state.h"

namespace talvor {

struct Session;

// Where the 128 x 128 guide frame is read from the chip for a star, and where the star then
// lies within the frame.
struct GuideFramePlacement {
    WindowOrigin origin;
    PixelPosition inFrame;
    // The column the camera's three-column window steps add to the star's in-frame x.
    int xOffset = 0;
};

// The frame centred on the star where the chip allows, against the chip's edge where it does
// not; then the window origin moved four columns left (except at the left edge) and six rows
// down (except near the bottom), where the camera's window readout shows the picked star. The
// star's in-frame position is where the camera's window then shows it: the centre shifted by
// the origin's remainder in the window's three-column steps, and near an edge where the origin
// could not be moved, four columns further left or six rows further down.
GuideFramePlacement GuideFramePlacementFor(PixelPosition star);

// Why a star cannot be guided on with a search window of half-size r: it lies so near an edge
// of the chip that its guide frame cannot hold the window around it. The message names the
// edge and the margin a guide star needs there. Nothing when it can be guided on.
std::optional<std::string> GuideStarEdgeProblem(PixelPosition star, int r);

// Shows the edge problem of the picked star with the guide-star mask, if it has one; true then.
bool RefuseGuideStarNearEdge(Session& session);

// Places the guide frame on the picked star: saves the star centre, points the focus window at
// the frame, moves the star centre to the star's in-frame position and switches centre
// searches to the 128 x 128 geometry. In debug mode the figures are shown.
void PlaceGuideFrame(Session& session);

}  // namespace talvor
