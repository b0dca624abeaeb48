#pragma once

#include "core/image_store.h"

namespace talvor {

// Columns that the flat field corrects; the others keep their values.
inline constexpr int kFlatFirstColumn = 5;
inline constexpr int kFlatLastColumn = 509;

// Every word of the frame area: c := c - s when s < c, else 0, so a brighter dark never wraps.
void SubtractFrame(ImageBuffer& image, const ImageBuffer& dark);

// Every word of the frame area: c := (c + s) >> 1.
void AverageFrames(ImageBuffer& image, const ImageBuffer& other);

// The flat field's scale: 0.0002 times the sum of the flat over rows 9..19 and columns 9..499
// (5401 pixels), summed in double precision.
double FlatFieldNormaliser(const ImageBuffer& flat);

// Divides columns 5..509 of one row by the flat and scales by the normaliser: v := i / f x N,
// truncated, 65535 when v reaches 65535. A zero flat pixel keeps a non-zero image pixel and
// turns a zero one into N.
void FlatFieldRow(ImageBuffer& image, const ImageBuffer& flat, double normaliser, int row);

// Sums exposures: with copy set the destination takes the source; otherwise, unless skip is set,
// it takes the sum, saturated at 65535.
void AccumulateFrame(ImageBuffer& destination, const ImageBuffer& source, bool copy, bool skip);

// Adds (or averages) the merge frame into the reference frame after shifting it so that the
// merge position lies on the reference position, then copies the result back over the merge
// frame. Pixels without a partner, and a labelled band, keep the reference frame's values.
void MergeFrames(ImageBuffer& mergeFrame, ImageBuffer& referenceFrame, int referenceX,
                 int referenceY, int mergeX, int mergeY, bool average);

}  // namespace talvor
