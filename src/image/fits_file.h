#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "core/image_store.h"
#include "core/working_state.h"

namespace talvor {

inline constexpr int kFitsCards = 72;

enum class FitsWriteResult { Written = 0, NotWritten = 1 };
enum class FitsReadResult { Read = 0, EndedEarly = 1, NotOurs = 2 };

// The FITS file of a frame: 72 header cards, 290 rows of 512 pixels (16-bit big-endian, offset
// by 32768 unless unsigned; or the upper 8 bits), and a padding of spaces. The header carries
// the texts and numbers of the details, the unsigned choice and the processing history.
std::vector<uint8_t> EncodeFitsFile(const ImageBuffer& frame, const FitsDetails& details,
                                    const WorkingState& state, bool eightBit);

FitsWriteResult WriteFitsFile(const std::filesystem::path& file, const ImageBuffer& frame,
                              const FitsDetails& details, const WorkingState& state, bool eightBit);

// Reads a file of this program in layout 1, 2 or 3 into the frame and restores the header
// texts, numbers and history. Fields and rows read before a failure keep their new values.
FitsReadResult DecodeFitsFile(const std::vector<uint8_t>& bytes, int layout, ImageBuffer& frame,
                              WorkingState& state);

// Reads a layout-3 file as a second operand: only the unsigned choice and the pixel width of
// the header are taken over.
FitsReadResult DecodeFitsOperand(const std::vector<uint8_t>& bytes, ImageBuffer& frame,
                                 WorkingState& state);

}  // namespace talvor
