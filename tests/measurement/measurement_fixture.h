#pragma once

#include <algorithm>

#include "core/image_store.h"
#include "support/session_fixture.h"

namespace talvor::testing {

// A session whose current image starts black, with helpers to put stars into it.
class MeasurementTest : public SessionTest {
  protected:
    MeasurementTest() { Fill(0); }

    ImageBuffer& Frame() { return images->CurrentImage; }
    void Fill(uint16_t value) { std::fill_n(Frame().begin(), kFramePixels, value); }
    void Set(int x, int y, uint16_t value) { PixelAt(Frame(), x, y) = value; }
    // A square of side 2r + 1 centred on (x, y), all of one value.
    void Square(int x, int y, int r, uint16_t value) {
        for (int row = y - r; row <= y + r; ++row) {
            for (int column = x - r; column <= x + r; ++column) {
                Set(column, row, value);
            }
        }
    }
    // A small symmetric star: the peak with its four neighbours at half and the corners at a
    // quarter, so that its centroid is its centre pixel.
    void Star(int x, int y, uint16_t peak) {
        Square(x, y, 1, static_cast<uint16_t>(peak / 4));
        Set(x - 1, y, peak / 2);
        Set(x + 1, y, peak / 2);
        Set(x, y - 1, peak / 2);
        Set(x, y + 1, peak / 2);
        Set(x, y, peak);
    }
};

}  // namespace talvor::testing
