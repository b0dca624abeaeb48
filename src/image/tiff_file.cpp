#include "image/tiff_file.h"

#include "core/atomic_file.h"

namespace talvor {
namespace {

// 372 / 290: the aspect correction of the export.
constexpr double kTiffRowScale = 1.2827586;
constexpr int kStrips = 12;
constexpr int kRowsPerStrip = 31;
constexpr uint32_t kStripBytes = kTiffColumns * kRowsPerStrip;  // 15810
constexpr uint32_t kPixelsAt = 258;

enum FieldType : uint16_t { kShort = 3, kLong = 4, kRational = 5 };

class LittleEndianWriter {
  public:
    explicit LittleEndianWriter(std::vector<uint8_t>& out) : out_(out) {}
    void U16(uint32_t value) {
        out_.push_back(static_cast<uint8_t>(value & 0xff));
        out_.push_back(static_cast<uint8_t>((value >> 8) & 0xff));
    }
    void U32(uint32_t value) {
        U16(value & 0xffff);
        U16(value >> 16);
    }
    // A directory entry; a short value stands in the first two bytes of the value field.
    void Entry(uint16_t tag, FieldType type, uint32_t count, uint32_t value) {
        U16(tag);
        U16(type);
        U32(count);
        if (type == kShort && count == 1) {
            U16(value);
            U16(0);
        } else {
            U32(value);
        }
    }

  private:
    std::vector<uint8_t>& out_;
};

void AppendRows(const ImageBuffer& frame, std::vector<uint8_t>& out) {
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(kTiffRows) * kTiffColumns);
    uint8_t* pixel = out.data() + start;
    for (int i = 0; i < kTiffRows; ++i) {
        // The quotient is formed in double precision and held in single precision, as the
        // display's aspect stretch does; the interpolation runs in single precision.
        const float s = static_cast<float>(i / kTiffRowScale);
        const int h = static_cast<int>(s);
        const float f = s - static_cast<float>(h);
        const int upper = i == kTiffRows - 1 ? h : h + 1;
        for (int j = 0; j < kTiffColumns; ++j) {
            const int a = PixelAt(frame, j, h) >> 8;
            const int b = PixelAt(frame, j, upper) >> 8;
            const float v = static_cast<float>(a) + static_cast<float>(b - a) * f;
            *pixel++ = v >= 256.0f ? uint8_t{255} : static_cast<uint8_t>(static_cast<int>(v));
        }
    }
}

}  // namespace

std::vector<uint8_t> EncodeTiffFile(const ImageBuffer& frame) {
    std::vector<uint8_t> out;
    out.reserve(kTiffFileSize);
    LittleEndianWriter write(out);
    out.push_back('I');
    out.push_back('I');
    write.U16(42);
    write.U32(8);
    write.U16(13);
    write.Entry(254, kLong, 1, 0);
    write.Entry(256, kShort, 1, kTiffColumns);
    write.Entry(257, kShort, 1, kTiffRows);
    write.Entry(258, kShort, 1, 8);
    write.Entry(259, kShort, 1, 1);
    write.Entry(262, kShort, 1, 1);
    write.Entry(273, kLong, kStrips, 186);
    write.Entry(277, kShort, 1, 1);
    write.Entry(278, kLong, 1, kRowsPerStrip);
    write.Entry(279, kShort, kStrips, 234);
    write.Entry(282, kRational, 1, 170);
    write.Entry(283, kRational, 1, 178);
    write.Entry(296, kShort, 1, 3);
    write.U32(0);
    write.U32(510);
    write.U32(6);
    write.U32(256);
    write.U32(4);
    for (uint32_t k = 0; k < kStrips; ++k) {
        write.U32(kPixelsAt + k * kStripBytes);
    }
    for (int k = 0; k < kStrips; ++k) {
        write.U16(kStripBytes);
    }
    AppendRows(frame, out);
    return out;
}

TiffWriteResult WriteTiffFile(const std::filesystem::path& file, const ImageBuffer& frame) {
    const std::vector<uint8_t> bytes = EncodeTiffFile(frame);
    AtomicFile out(file);
    return out.Write(bytes.data(), bytes.size()) && out.Commit() ? TiffWriteResult::Written
                                                                 : TiffWriteResult::NotWritten;
}

}  // namespace talvor
