#pragma once

#include <array>
#include <cstdint>

namespace talvor {

inline constexpr int kGlyphWidth = 8;
inline constexpr int kGlyphHeight = 10;
inline constexpr int kGlyphCount = 66;

// One character of the label font: a byte per pixel row, top row first, bit 7 the leftmost
// pixel.
using Glyph = std::array<uint8_t, kGlyphHeight>;

// The glyph of a character of the label font (capitals, small letters, digits, "/", space, "-"
// and ":"), or nullptr for a character the font does not have.
const Glyph* GlyphFor(char character);

}  // namespace talvor
