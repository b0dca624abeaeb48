#pragma once

#include "core/image_store.h"

namespace talvor {

// The one-step undo copy every processing step takes before it changes the picture: from here
// until the picture changes otherwise, Undo restores what the step started from.
inline void SaveUndoCopy(ImageStore& images) {
    CopyFrameAside(images.CurrentImage, images.UndoImage);
    images.UndoAvailable = true;
}

}  // namespace talvor
