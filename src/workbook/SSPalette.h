#pragma once
// The 56-colour palette of a book and the mapping of colours to palette indices.
#include <array>
#include <cstdint>

#include "workbook/SSStyleTypes.h"

namespace workbook {

// Colours are 0x00BBGGRR values; a value with the top bit set names a system colour.
using ColorValue = uint32_t;
constexpr ColorValue kSystemWindowColor = 0x80000005;
constexpr ColorValue RGBColor(uint8_t r, uint8_t g, uint8_t b) {
  return ColorValue{r} | (ColorValue{g} << 8) | (ColorValue{b} << 16);
}

using ColorPalette = std::array<ColorValue, kPaletteSize>;

// The default palette of the binary workbook format (its colours 8 to 63).
const ColorPalette& DefaultPalette();

// 57 for the system window colour; otherwise the first palette entry with the colour's RGB
// value, or fallback when there is none.
TSSColor PaletteIndexOf(const ColorPalette& palette, ColorValue color, TSSColor fallback);

}  // namespace workbook
