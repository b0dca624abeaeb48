#include "processing/stretch_table.h"

#include <algorithm>
#include <bit>
#include <cstring>
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
// needs it. A mapped value is always even, so an odd word marks an entry not yet known: entry i
// holds 2i + 1 until it is known, which a pixel mapped through it carries back out.
class KnownEntries {
  public:
    explicit KnownEntries(const StretchCurve& curve) : curve_(curve), entries_(curve) {
        for (std::size_t i = 0; i < mapped_.size(); ++i) {
            mapped_[i] = static_cast<uint16_t>(2 * i + 1);
        }
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
    static constexpr int kBlockWords = 64;
    // The lowest bit of each of four words held in one 64-bit number.
    static constexpr uint64_t kLowBits = 0x0001000100010001u;

    // A block of words goes through the entries as they stand, four words at a time and with no
    // branch for each word; a word that came out odd met an entry not yet known and holds that
    // entry's index, and only the blocks with such a word are gone through again.
    template <typename EntryOf>
    void MapWith(uint16_t* pixels, int count, EntryOf entryOf) {
        for (int start = 0; start < count; start += kBlockWords) {
            uint16_t* block = pixels + start;
            const int words = std::min(kBlockWords, count - start);
            const int whole = kFourAtATime ? words / 4 * 4 : 0;
            uint64_t odd = 0;
            for (int i = 0; i < whole; i += 4) {
                const uint64_t mapped = MapFour(LoadFour(block + i));
                odd |= mapped;
                std::memcpy(block + i, &mapped, sizeof mapped);
            }
            for (int i = whole; i < words; ++i) {
                const uint16_t value = mapped_[static_cast<std::size_t>(block[i] >> 1)];
                odd |= value;
                block[i] = value;
            }
            if ((odd & kLowBits) != 0) {
                FillUnknown(block, words, whole, entryOf);
            }
        }
    }

    // Four words side by side in one 64-bit number, word k at bits 16k..16k+15: so on a
    // little-endian processor.
    static constexpr bool kFourAtATime = std::endian::native == std::endian::little;

    static uint64_t LoadFour(const uint16_t* words) {
        uint64_t four;
        std::memcpy(&four, words, sizeof four);
        return four;
    }

    uint64_t MapFour(uint64_t four) const {
        const auto entry = [this](uint64_t word) {
            return uint64_t{mapped_[static_cast<std::size_t>((word & 0xFFFF) >> 1)]};
        };
        return entry(four) | entry(four >> 16) << 16 | entry(four >> 32) << 32 |
               entry(four >> 48) << 48;
    }

    // Works out the odd words of a block again. Such words are few and lie anywhere, so they
    // are found without a branch for each word: a bit for each, four words at a time where
    // the block went four at a time.
    template <typename EntryOf>
    void FillUnknown(uint16_t* block, int words, int whole, EntryOf entryOf) {
        uint64_t odd = 0;
        for (int i = 0; i < whole; i += 4) {
            odd |= OddWordsOfFour(LoadFour(block + i)) << i;
        }
        for (int i = whole; i < words; ++i) {
            odd |= uint64_t{block[i] & 1u} << i;
        }
        for (; odd != 0; odd &= odd - 1) {
            uint16_t& word = block[std::countr_zero(odd)];
            word = KnownEntry(word >> 1, entryOf);
        }
    }

    // Bit k set where word k of the four is odd: the lowest bits of the words, at bits 0, 16,
    // 32 and 48, are gathered by one product into bits 48..51 (no other term reaches them).
    static uint64_t OddWordsOfFour(uint64_t four) {
        constexpr uint64_t kGather = 0x0001000200040008u;
        return ((four & kLowBits) * kGather) >> 48;
    }

    // The entry, worked out now if it is not known yet (it may have become known from an
    // earlier word of the block).
    template <typename EntryOf>
    uint16_t KnownEntry(int index, EntryOf entryOf) {
        uint16_t& entry = mapped_[static_cast<std::size_t>(index)];
        if ((entry & 1u) != 0) {
            entry = static_cast<uint16_t>(2u * entryOf(index));
        }
        return entry;
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
