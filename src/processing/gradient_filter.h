#pragma once

#include "core/image_store.h"

namespace talvor {

// The most frequent value (in units of 16) in each of the four corner boxes of a frame.
struct CornerModes {
    int topLeft = 0;
    int topRight = 0;
    int bottomLeft = 0;
    int bottomRight = 0;
};

// Counts the pixels of each 40 x 40 corner box (rows 10..49 or 240..279, columns 20..59 or
// 460..499) by pixel >> 4 and takes the index with the largest count, the lowest index among
// equal counts. The bottom boxes ignore index 0 and give 1 when nothing counts.
CornerModes FindCornerModes(const ImageBuffer& frame);

// Removes the sky gradient that the corner modes span, in place, from row firstRow down: a
// bilinear surface through the corners' excess over the lowest corner (in pixel units) is
// subtracted; a pixel not above the surface becomes 0.
void RemoveGradient(ImageBuffer& frame, const CornerModes& modes, int firstRow);

}  // namespace talvor
