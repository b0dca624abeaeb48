#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "core/centroid_state.h"
#include "core/image_store.h"

namespace talvor {

struct Session;
class UserInterface;

inline constexpr std::string_view kFindCentreCaption = "TALVOR  - Find Centre";
inline constexpr std::string_view kCentreOutsideImage = "Find centre failed - outside image area";
inline constexpr std::string_view kNothingToCentreOn = "Sorry, Nothing found to centre on";

enum class CentreResult { Found = 0, NotFound = 1 };

// How a centre search reads its frame and gives its result.
struct CentreSearch {
    // The frame is a 128 x 128 guide frame in the first 16384 words, not a 512 x 290 frame.
    bool smallFrame = false;
    // The centre is truncated to whole pixels plus tenths, instead of rounded to whole pixels.
    bool tenths = false;
    // A window with nothing above its background fails without a message box.
    bool quiet = false;
    // No message box at all, also for a window outside the frame: the guide loop counts every
    // failed search as a star not found and must never stop on a box.
    bool silent = false;
    // Lone bright pixels (hot pixels, cosmic-ray hits) are replaced by the median of their
    // neighbours before the search, so that they are never taken for the star.
    bool ignoreLonePixels = false;
};

// The search the session's state asks for: the small frame while guiding shows its frames or a
// guide frame is placed; tenths while guiding or a self-guided exposure runs, unless the
// settings ignore drift below one pixel; quiet while either of those runs, so that a lost star
// never stops the guide loop on a box.
CentreSearch CentreSearchFor(const Session& session);

// Finds the brightness-weighted centre of the star near (x, y) inside the window of
// (2r + 1) x (2r + 1) pixels around it. The sky background of the window is the most frequent
// of its 16-level bins; what lies above the window's mean, after rescaling to the full range,
// weighs the centre. On success the centre goes into `centre`; on failure `centre` is left
// as it was, and a window outside the frame or without anything above its background is told
// in a box. A half-size outside 0..15 fails silently.
CentreResult FindStarCentre(UserInterface& ui, const CentreSearch& search, CentrePosition& centre,
                            int x, int y, const ImageBuffer& frame, int r);

// Replaces, in a window of `width` x `height` values held row by row, every pixel that
// stands far above the window's median (more than five times the noise the median absolute
// deviation gives) while its brightest neighbour reaches less than a quarter of its height
// above the median: a star, however sharp, lights its neighbours; a hot pixel does not. Each
// such pixel takes the median of its neighbours. Returns how many were replaced.
int SuppressLonePixels(std::span<uint32_t> window, int width, int height);

// The same on the session's star centre, with the session's search.
CentreResult FindStarCentre(Session& session, int x, int y, const ImageBuffer& frame, int r);

}  // namespace talvor
