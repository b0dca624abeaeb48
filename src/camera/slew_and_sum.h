#pragma once

namespace talvor {

struct Session;

enum class SlewSumResult { Accepted = 0, StarLost = 1, NoSuitableStar = 2 };

// Adds the new frame in the current image to the running sum in the second image, shifted so
// that the guide star stays in place: the star is followed with the star centre search. The
// first frame of a run starts the sum. The result is left in the current image; with average
// set every frame is divided by the divisor first.
SlewSumResult SumAligned(Session& session, int divisor, bool average);

// As SumAligned, but the shift is found by comparing brightness profiles of a 100 x 100 patch;
// the sum stays where the first frame had it.
SlewSumResult SumByProfiles(Session& session, int divisor, bool average);

}  // namespace talvor
