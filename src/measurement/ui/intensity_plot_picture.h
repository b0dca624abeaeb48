#pragma once

#include <QImage>

#include "core/image_store.h"

namespace talvor {

// The off-screen picture of the 3-D intensity plot, drawn trace by trace from the back row to
// the front one on a white ground.
class IntensityPlotPicture {
  public:
    explicit IntensityPlotPicture(const ImageBuffer& frame);

    // Draws the next trace; false once every trace is drawn.
    bool DrawNextTrace();
    void DrawAll();
    bool Complete() const;

    const QImage& Image() const { return image_; }

  private:
    const ImageBuffer& frame_;
    QImage image_;
    int nextTrace_;
    int previous_ = 0;
};

}  // namespace talvor
