#pragma once

#include <array>
#include <cstdint>

#include "core/image_store.h"

namespace talvor {

struct Session;

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

// Maps the whole current image through the table with the hourglass and the progress window,
// after taking the undo copy; a label band stays as it is. Ends with the display refresh.
void ApplyStretchTable(Session& session, const StretchTable& table);

}  // namespace talvor
