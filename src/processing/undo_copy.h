#pragma once

#include "core/image_store.h"

namespace talvor {

// The one-step undo copy every processing step takes before it changes the picture.
inline void SaveUndoCopy(ImageStore& images) {
    CopyFrame(images.CurrentImage, images.UndoImage);
}

}  // namespace talvor
