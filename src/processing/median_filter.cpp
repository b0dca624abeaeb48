#include "processing/median_filter.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace talvor {
namespace {

constexpr int kValues = 65536;
constexpr int kWordBits = 64;

// The counts of the pixels in one window by value, with a bit per value that is present, and
// the window's median kept up to date as pixels leave and enter. The median is the value at
// rank size / 2 counted from the smallest, which for an odd window is the (size / 2 + 1)-th
// largest: the value a repeated search for the largest remaining pixel records last.
class MedianCounts {
  public:
    explicit MedianCounts(int size)
        : rank_(size / 2), counts_(kValues), present_(kValues / kWordBits) {}

    void Add(uint16_t value) {
        ++counts_[value];
        present_[value / kWordBits] |= Bit(value);
        below_ += value < median_ ? 1 : 0;
    }

    void Remove(uint16_t value) {
        const bool gone = --counts_[value] == 0;
        present_[value / kWordBits] &= ~(gone ? Bit(value) : 0);
        below_ -= value < median_ ? 1 : 0;
    }

    // Finds the median afresh, from the lowest value up.
    void Search() {
        median_ = NextAbove(-1);
        below_ = 0;
        Median();
    }

    // Moves the median to where the pixels added and removed since the last call put it, from
    // one present value to the next.
    int Median() {
        while (below_ > rank_) {
            median_ = NextBelow(median_);
            below_ -= counts_[median_];
        }
        while (below_ + counts_[median_] <= rank_) {
            below_ += counts_[median_];
            median_ = NextAbove(median_);
        }
        return median_;
    }

  private:
    static uint64_t Bit(int value) { return uint64_t{1} << (value % kWordBits); }

    // The smallest present value above the given one; there must be one.
    int NextAbove(int value) const {
        int word = (value + 1) / kWordBits;
        uint64_t bits = present_[word] & (~uint64_t{0} << ((value + 1) % kWordBits));
        while (bits == 0) {
            bits = present_[++word];
        }
        return word * kWordBits + std::countr_zero(bits);
    }

    // The largest present value below the given one; there must be one.
    int NextBelow(int value) const {
        int word = (value - 1) / kWordBits;
        uint64_t bits =
            present_[word] & (~uint64_t{0} >> (kWordBits - 1 - (value - 1) % kWordBits));
        while (bits == 0) {
            bits = present_[--word];
        }
        return word * kWordBits + kWordBits - 1 - std::countl_zero(bits);
    }

    int rank_;
    int median_ = 0;
    // How many counted pixels lie below the median.
    int below_ = 0;
    std::vector<uint16_t> counts_;
    std::vector<uint64_t> present_;
};

const uint16_t* Row(const ImageBuffer& frame, int y) {
    return &frame[static_cast<std::size_t>(y) * kFrameColumns];
}

}  // namespace

float MedianPower(int tenths) {
    return static_cast<float>(tenths * 0.1);
}

int MedianThreshold(int hi, int lo, float power) {
    const float product = static_cast<float>(hi - lo) * power;
    return static_cast<int>(product);
}

void MedianPass(const ImageBuffer& source, ImageBuffer& target, int radius, int tenths,
                int firstRow, const std::function<void()>& afterRow) {
    const int f = radius;
    const int side = 2 * f + 1;
    const float power = MedianPower(tenths);
    const int lastColumn = kFrameColumns - 1 - f;
    MedianCounts counts(side * side);
    // The largest and smallest pixel of each column over the rows of the window.
    std::array<uint16_t, kFrameColumns> columnMax{};
    std::array<uint16_t, kFrameColumns> columnMin{};

    for (int y = firstRow; y <= kFrameRows - 1 - f; ++y) {
        columnMax.fill(0);
        columnMin.fill(65535);
        for (int j = y - f; j <= y + f; ++j) {
            const uint16_t* line = Row(source, j);
            for (int c = 0; c < kFrameColumns; ++c) {
                columnMax[c] = std::max(columnMax[c], line[c]);
                columnMin[c] = std::min(columnMin[c], line[c]);
            }
        }
        for (int j = y - f; j <= y + f; ++j) {
            for (int c = 0; c < side; ++c) {
                counts.Add(Row(source, j)[c]);
            }
        }
        counts.Search();

        const uint16_t* in = Row(source, y);
        uint16_t* out = &target[static_cast<std::size_t>(y) * kFrameColumns];
        for (int x = f;; ++x) {
            const auto first = columnMax.begin() + (x - f);
            const int hi = *std::max_element(first, first + side);
            const int low =
                *std::min_element(columnMin.begin() + (x - f), columnMin.begin() + (x + f + 1));
            const int lo = std::min(low, kMedianMinimumCap);
            const int med = counts.Median();
            if (MedianThreshold(hi, lo, power) < std::abs(med - in[x])) {
                out[x] = static_cast<uint16_t>(med);
            }
            if (x == lastColumn) {
                break;
            }
            for (int j = y - f; j <= y + f; ++j) {
                const uint16_t* line = Row(source, j);
                counts.Remove(line[x - f]);
                counts.Add(line[x + f + 1]);
            }
        }
        // Empty the counts for the next row.
        for (int j = y - f; j <= y + f; ++j) {
            for (int c = lastColumn - f; c <= lastColumn + f; ++c) {
                counts.Remove(Row(source, j)[c]);
            }
        }
        afterRow();
    }
}

}  // namespace talvor
