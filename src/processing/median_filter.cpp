#include "processing/median_filter.h"

#include <algorithm>
#include <memory>

#include "processing/median_quad_tiles.h"
#include "processing/median_row_pairs.h"
#include "processing/word_vectors.h"

// Vectors pass between functions here only where those functions are inlined (see
// word_vectors.h), so the calling-convention warning does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace talvor {
namespace {

// The median of every window is selected by comparator networks working on sixteen windows side
// by side and sharing the work between windows that overlap: two rows of windows at a time for
// the 3 x 3 window (median_row_pairs.h), two rows by two columns for the larger ones
// (median_quad_tiles.h). Each size is built for x86-64-v4, for x86-64-v3 and for any x86-64.

TALVOR_VECTOR_CLONES
void MedianRows3(const ImageBuffer& source, ImageBuffer& target, float power, int firstRow,
                 const std::function<void()>& afterRow) {
    median_row_pairs::MedianRowPairs<3>(source, target, power, firstRow, afterRow);
}

TALVOR_VECTOR_CLONES
void MedianRows5(ImageBuffer& frame, float power, int firstRow,
                 const std::function<void()>& afterRow) {
    median_quad_tiles::MedianQuadRows<5>(frame, power, firstRow, afterRow);
}

TALVOR_VECTOR_CLONES
void MedianRows7(ImageBuffer& frame, float power, int firstRow,
                 const std::function<void()>& afterRow) {
    median_quad_tiles::MedianQuadRows<7>(frame, power, firstRow, afterRow);
}

// The larger windows work in place. Given two frames, they filter a copy of the source and put
// each finished row's replaced pixels into the target before the row is reported: those are the
// pixels that changed, as the rule replaces a pixel only by a median at least one step away.
void PassThroughCopy(const ImageBuffer& source, ImageBuffer& target, int firstRow,
                     const std::function<void()>& afterRow,
                     const std::function<void(ImageBuffer&, const std::function<void()>&)>& pass) {
    const auto filtered = std::make_unique<ImageBuffer>(source);
    std::size_t from = static_cast<std::size_t>(firstRow) * kFrameColumns;
    pass(*filtered, [&] {
        for (const std::size_t end = from + kFrameColumns; from < end; ++from) {
            if ((*filtered)[from] != source[from]) {
                target[from] = (*filtered)[from];
            }
        }
        afterRow();
    });
}

}  // namespace

float MedianPower(int tenths) {
    return static_cast<float>(tenths * 0.1);
}

int MedianThreshold(int hi, int lo, float power) {
    const float product = static_cast<float>(hi - lo) * power;
    return static_cast<int>(product);
}

bool MedianWorksInPlace(int radius) {
    return std::clamp(radius, kMinMedianRadius, kMaxMedianRadius) > 1;
}

void MedianPass(const ImageBuffer& source, ImageBuffer& target, int radius, int tenths,
                int firstRow, const std::function<void()>& afterRow) {
    const float power = MedianPower(tenths);
    const int f = std::clamp(radius, kMinMedianRadius, kMaxMedianRadius);
    if (power >= 1.0f) {
        // The threshold is then at least the window's range (its maximum less a minimum that
        // is never above the window's least pixel), and the pixel and the median both lie in
        // that range: no pixel is replaced. The rows are still reported, one by one.
        for (int y = std::max(firstRow, f); y <= kFrameRows - 1 - f; ++y) {
            afterRow();
        }
        return;
    }
    if (&source == &target && !MedianWorksInPlace(radius)) {
        const auto unfiltered = std::make_unique<ImageBuffer>(source);
        MedianPass(*unfiltered, target, radius, tenths, firstRow, afterRow);
        return;
    }
    if (f == 1) {
        MedianRows3(source, target, power, firstRow, afterRow);
        return;
    }
    const auto inPlace = [&](ImageBuffer& frame, const std::function<void()>& rowDone) {
        if (f == 2) {
            MedianRows5(frame, power, firstRow, rowDone);
        } else {
            MedianRows7(frame, power, firstRow, rowDone);
        }
    };
    if (&source == &target) {
        inPlace(target, afterRow);
    } else {
        // Rows above the radius have no whole window: the pass starts at the radius.
        PassThroughCopy(source, target, std::max(firstRow, f), afterRow, inPlace);
    }
}

}  // namespace talvor
