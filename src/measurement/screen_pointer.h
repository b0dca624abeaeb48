#pragma once

namespace talvor {

struct ScreenPoint {
    int x = 0;
    int y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

// The mouse pointer on the screen, which star snapping moves along with the click it moves.
// The desktop program reads and sets the real pointer.
class ScreenPointer {
  public:
    virtual ~ScreenPointer() = default;
    virtual ScreenPoint Position() = 0;
    virtual void MoveTo(ScreenPoint point) = 0;
};

// A pointer without a screen (the batch tool, tests): it is wherever it was last moved.
class DetachedPointer final : public ScreenPointer {
  public:
    explicit DetachedPointer(ScreenPoint start = {}) : position_(start) {}
    ScreenPoint Position() override { return position_; }
    void MoveTo(ScreenPoint point) override { position_ = point; }

  private:
    ScreenPoint position_;
};

}  // namespace talvor
