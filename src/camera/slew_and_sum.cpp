#include "camera/slew_and_sum.h"

#include <array>
#include <cstdlib>

#include "camera/star_follower.h"
#include "core/session.h"
#include "measurement/brightest_star.h"

namespace talvor {
namespace {

constexpr int kPatchSize = 100;
constexpr int kPatchLeft = 200;
constexpr int kPatchTop = 100;
constexpr int kMaxShift = 10;
constexpr int kCompared = 80;

uint16_t Saturated(int value) {
    return static_cast<uint16_t>(value >= 65535 ? 65535 : value);
}

int Scaled(uint16_t pixel, int divisor, bool average) {
    return average ? pixel / divisor : pixel;
}

// The bin (value / 256) that most pixels fall in; the lowest bin on equal counts.
int ModeBin(const ImageBuffer& frame) {
    std::array<int, 256> counts{};
    for (int i = 0; i < kFramePixels; ++i) {
        ++counts[frame[i] >> 8];
    }
    int mode = 0;
    for (int bin = 1; bin < 256; ++bin) {
        if (counts[bin] > counts[mode]) {
            mode = bin;
        }
    }
    return mode;
}

// Row and column profiles of the patch: each entry sums 16 x (pixel - t) over the pixels of
// its row or column that lie above the threshold t.
void Profiles(const ImageBuffer& frame, int band, int threshold, int* rows, int* columns) {
    for (int k = 0; k < kPatchSize; ++k) {
        rows[k] = 0;
        columns[k] = 0;
    }
    for (int i = 0; i < kPatchSize; ++i) {
        for (int j = 0; j < kPatchSize; ++j) {
            const int pixel = PixelAt(frame, kPatchLeft + j, band + kPatchTop + i);
            if (pixel > threshold) {
                rows[i] += 16 * (pixel - threshold);
                columns[j] += 16 * (pixel - threshold);
            }
        }
    }
}

// The shift s - 10 (s = 0..20) at which the new profile matches the reference best; the first
// on equal differences. differences receives D(s) for every s.
int BestShift(const int* reference, const int* fresh, std::array<long long, 21>& differences) {
    int best = 0;
    for (int s = 0; s <= 2 * kMaxShift; ++s) {
        long long difference = 0;
        for (int i = 0; i < kCompared; ++i) {
            difference +=
                std::llabs(static_cast<long long>(reference[kMaxShift + i]) - fresh[s + i]);
        }
        differences[s] = difference;
        if (difference < differences[best]) {
            best = s;
        }
    }
    return best - kMaxShift;
}

SlewSumResult StartProfileSum(Session& session, int divisor, bool average) {
    SlewSumReference& reference = session.capture.Reference;
    const ImageBuffer& fresh = session.images.CurrentImage;
    ImageBuffer& sum = session.images.SecondImage;
    for (int i = 0; i < kFramePixels; ++i) {
        sum[i] = static_cast<uint16_t>(Scaled(fresh[i], divisor, average));
    }
    const int mode = ModeBin(fresh);
    reference.ModeBin = mode;
    double first = 0.0;
    for (int i = 0; i < 10000; ++i) {
        first += fresh[i];
    }
    reference.ReferenceLevel = static_cast<int>(0.0001 * first);
    // The patch must hold a star: a pixel of 400 times the background's bin. The band moves
    // down by ten rows until one is found; the running maximum carries over.
    int maximum = 0;
    int band = 0;
    for (band = 0; band <= 30; band += 10) {
        for (int row = band + kPatchTop; row < band + kPatchTop + kPatchSize; ++row) {
            for (int column = kPatchLeft; column < kPatchLeft + kPatchSize; ++column) {
                maximum = std::max<int>(maximum, PixelAt(fresh, column, row));
            }
        }
        if (maximum >= 400 * mode) {
            break;
        }
    }
    if (band >= 30) {
        return SlewSumResult::NoSuitableStar;
    }
    reference.BandOffset = band;
    Profiles(fresh, band, 256 * mode + 1024, reference.ReferenceRowProfile,
             reference.ReferenceColumnProfile);
    reference.ReferenceX = 0;
    reference.ReferenceY = 0;
    return SlewSumResult::Accepted;
}

}  // namespace

SlewSumResult SumByProfiles(Session& session, int divisor, bool average) {
    SlewSumReference& reference = session.capture.Reference;
    if (reference.ReferenceLevel == 0) {
        return StartProfileSum(session, divisor, average);
    }
    ImageBuffer& fresh = session.images.CurrentImage;
    ImageBuffer& sum = session.images.SecondImage;
    const int mode = ModeBin(fresh);
    reference.ModeBin = mode;
    Profiles(fresh, reference.BandOffset, 256 * mode + 1024, reference.NewRowProfile,
             reference.NewColumnProfile);
    std::array<long long, 21> rowDifferences{};
    std::array<long long, 21> columnDifferences{};
    const int dy =
        BestShift(reference.ReferenceRowProfile, reference.NewRowProfile, rowDifferences);
    const int dx =
        BestShift(reference.ReferenceColumnProfile, reference.NewColumnProfile, columnDifferences);
    if (columnDifferences[9] + columnDifferences[10] + columnDifferences[11] < 5000) {
        CopyFrame(sum, fresh);
        return SlewSumResult::StarLost;
    }
    std::copy(std::begin(reference.NewRowProfile), std::end(reference.NewRowProfile),
              reference.ReferenceRowProfile);
    std::copy(std::begin(reference.NewColumnProfile), std::end(reference.NewColumnProfile),
              reference.ReferenceColumnProfile);
    for (int i = 0; i < kFrameRows; ++i) {
        for (int j = 0; j < kFrameColumns; ++j) {
            const int r = i + dy + reference.ReferenceY;
            const int c = j + dx + reference.ReferenceX;
            if (r > 0 && r < kFrameRows && c > 0 && c < kCameraColumns) {
                const int value =
                    Scaled(PixelAt(fresh, c, r), divisor, average) + PixelAt(sum, j, i);
                PixelAt(sum, j, i) = Saturated(value);
            }
        }
    }
    reference.ReferenceX += dx;
    reference.ReferenceY += dy;
    CopyFrame(sum, fresh);
    return SlewSumResult::Accepted;
}

SlewSumResult SumAligned(Session& session, int divisor, bool average) {
    SlewSumReference& reference = session.capture.Reference;
    ImageBuffer& fresh = session.images.CurrentImage;
    ImageBuffer& sum = session.images.SecondImage;
    const int radius = session.settings.GuideStarMaskRadius;
    if (reference.ReferenceX == 0) {
        for (int i = 0; i < kFramePixels; ++i) {
            sum[i] = static_cast<uint16_t>(Scaled(fresh[i], divisor, average));
        }
        // Without a picked guide star the search would start at whatever centre an earlier
        // search left, often none at all: the brightest star of the first frame is followed.
        PixelPosition start = CurrentStarCentre(session);
        if (!session.guiding.StarPicked) {
            start = BrightestStar(session, fresh).value_or(start);
        }
        const PixelPosition found = FollowStar(session, start, radius);
        reference.ReferenceX = found.x;
        reference.ReferenceY = found.y;
        reference.ReferenceLevel = PixelAt(fresh, found.x, found.y);
        return SlewSumResult::Accepted;
    }
    const PixelPosition found = SearchFromReference(
        session, PixelPosition{reference.ReferenceX, reference.ReferenceY}, radius);
    const int v = PixelAt(fresh, found.x, found.y);
    if (v > 3 * reference.ReferenceLevel || v < 0.3 * reference.ReferenceLevel) {
        CopyFrame(sum, fresh);
        return SlewSumResult::StarLost;
    }
    const int dx = found.x - reference.ReferenceX;
    const int dy = found.y - reference.ReferenceY;
    reference.LastStarX = reference.ReferenceX = found.x;
    reference.LastStarY = reference.ReferenceY = found.y;
    for (int i = 0; i < kFrameRows; ++i) {
        for (int j = 0; j < kFrameColumns; ++j) {
            const int r = i - dy;
            const int c = j - dx;
            if (r > 0 && r < kFrameRows && c > 0 && c < kCameraColumns) {
                const int value =
                    Scaled(PixelAt(fresh, j, i), divisor, average) + PixelAt(sum, c, r);
                PixelAt(fresh, j, i) = Saturated(value);
            }
        }
    }
    CopyFrame(fresh, sum);
    return SlewSumResult::Accepted;
}

}  // namespace talvor
