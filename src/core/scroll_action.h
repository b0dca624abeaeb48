#pragma once

namespace talvor {

// What the user did to a scroll bar, as dialogs that follow their own scroll rules see it.
enum class ScrollAction { LineLeft, LineRight, PageLeft, PageRight, ThumbTrack, ThumbPosition };

}  // namespace talvor
