#pragma once

#include <array>
#include <cstdint>

#include "core/image_store.h"

namespace talvor {

struct Session;
struct StretchCurve;

// The contrast stretches' look-up table: the index is a pixel shifted right by one, the entry
// an output level in 0..32767 that the mapping doubles.
inline constexpr int kStretchEntries = 32768;
using StretchTable = std::array<uint16_t, kStretchEntries>;

// The words of the frame that the stretch maps in one progress step, and how many steps.
inline constexpr int kStretchBlockWords = 8960;
inline constexpr int kStretchBlocks = 16;

// Maps the words [first, last) of the frame through the table: p := 2 x table[p >> 1], kept to
// 16 bits, so the lowest bit of every pixel is lost.
void MapThroughStretchTable(const StretchTable& table, ImageBuffer& frame, int first, int last);

// The same mapping through the curve's table, with only the entries for the values the frame
// holds computed. The entries stay known for later frames stretched by the same curve (one
// curve of each shape is remembered), so a night of frames computes each entry once.
void MapThroughStretchCurve(const StretchCurve& curve, ImageBuffer& frame, int first, int last);

// Forgets the remembered entries, so that the next stretch starts from nothing (for measuring
// the first use of a curve).
void ForgetStretchEntries();

// Maps the whole current image through the curve with the hourglass and the progress window,
// after taking the undo copy; a label band stays as it is. Ends with the display refresh.
void ApplyStretch(Session& session, const StretchCurve& curve);

}  // namespace talvor
