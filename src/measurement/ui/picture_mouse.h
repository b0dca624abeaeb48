#pragma once

#include "measurement/screen_pointer.h"

class QAbstractScrollArea;
class QMouseEvent;

namespace talvor {

struct Session;

// The real mouse pointer, in global screen coordinates.
class QtScreenPointer final : public ScreenPointer {
  public:
    ScreenPoint Position() override;
    void MoveTo(ScreenPoint point) override;
};

// Hands a mouse event of the main window's viewport to the picture's mouse modes: a left or
// right button release is a click, a move updates the photometry read-out. The point on the
// picture is the event's viewport position plus the scroll bars' values. Returns whether the
// event was one of those three.
bool HandlePictureMouse(Session& session, const QAbstractScrollArea& window,
                        const QMouseEvent& event);

}  // namespace talvor
