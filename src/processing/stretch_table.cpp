#include "processing/stretch_table.h"

#include <memory>

#include "core/label_band.h"
#include "core/progress.h"
#include "core/session.h"
#include "core/user_interface.h"
#include "display/refresh_display.h"
#include "processing/stretch_entry_estimates.h"
#include "processing/stretch_tables.h"
#include "processing/undo_copy.h"

namespace talvor {
namespace {

constexpr int kLabelWords = kLabelRows * kFrameColumns;  // 5120
static_assert(kLabelWords + kStretchBlocks * kStretchBlockWords == kFramePixels);

constexpr int kShapes = static_cast<int>(StretchCurve::Shape::NonLinear) + 1;

// The mapped pixel values of one curve by pixel >> 1, each worked out the first time a pixel
// needs it. A mapped value is always even, so an odd word marks an entry not yet known.
class KnownEntries {
  public:
    static constexpr uint16_t kUnknown = 1;

    explicit KnownEntries(const StretchCurve& curve) : curve_(curve), entries_(curve) {
        mapped_.fill(kUnknown);
    }

    const StretchCurve& Curve() const { return curve_; }

    void Map(uint16_t* pixels, int count) {
        if (entries_.Estimates()) {
            MapWith(pixels, count, [this](int index) { return entries_.Entry(index); });
        } else {
            MapWith(pixels, count, [this](int index) { return StretchEntry(curve_, index); });
        }
    }

  private:
    template <typename EntryOf>
    void MapWith(uint16_t* pixels, int count, EntryOf entryOf) {
        for (int i = 0; i < count; ++i) {
            const int index = pixels[i] >> 1;
            uint16_t value = mapped_[static_cast<std::size_t>(index)];
            if (value == kUnknown) {
                value = static_cast<uint16_t>(2u * entryOf(index));
                mapped_[static_cast<std::size_t>(index)] = value;
            }
            pixels[i] = value;
        }
    }

    StretchCurve curve_;
    CurveEntries entries_;
    std::array<uint16_t, kStretchEntries> mapped_;
};

// The entries known for the last curve of each shape. They only save work: a stretch maps
// every pixel to the same value whether its entry was known or not.
std::array<std::unique_ptr<KnownEntries>, kShapes>& RememberedEntries() {
    static std::array<std::unique_ptr<KnownEntries>, kShapes> remembered;
    return remembered;
}

KnownEntries& EntriesFor(const StretchCurve& curve) {
    std::unique_ptr<KnownEntries>& slot =
        RememberedEntries()[static_cast<std::size_t>(curve.shape)];
    if (!slot || !(slot->Curve() == curve)) {
        slot = std::make_unique<KnownEntries>(curve);
    }
    return *slot;
}

}  // namespace

void MapThroughStretchTable(const StretchTable& table, ImageBuffer& frame, int first, int last) {
    for (int i = first; i < last; ++i) {
        uint16_t& pixel = frame[static_cast<std::size_t>(i)];
        pixel = static_cast<uint16_t>(2u * table[pixel >> 1]);
    }
}

void MapThroughStretchCurve(const StretchCurve& curve, ImageBuffer& frame, int first, int last) {
    if (last > first) {
        EntriesFor(curve).Map(&frame[static_cast<std::size_t>(first)], last - first);
    }
}

void ForgetStretchEntries() {
    for (auto& slot : RememberedEntries()) {
        slot.reset();
    }
}

void ApplyStretch(Session& session, const StretchCurve& curve) {
    BusyCursor busy(session.ui);
    session.progress.ProgressTitle = "CONTRAST STRETCH";
    {
        ProgressWindow progress(session.ui, session.progress);
        SaveUndoCopy(session.images);
        ImageBuffer& frame = session.images.CurrentImage;
        if (!HasLabelBand(frame)) {
            MapThroughStretchCurve(curve, frame, 0, kLabelWords);
        }
        for (int block = 0; block < kStretchBlocks; ++block) {
            progress.SetPosition(16 * block);
            const int first = kLabelWords + block * kStretchBlockWords;
            MapThroughStretchCurve(curve, frame, first, first + kStretchBlockWords);
        }
    }
    RefreshDisplay(session);
}

}  // namespace talvor
