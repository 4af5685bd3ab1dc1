#pragma once
// The 56-colour palette of a book and the mapping of colours to palette indices.
#include <array>
#include <cstdint>

#include "workbook/SSStyleTypes.h"

namespace workbook {

// Colours are 0x00BBGGRR values; a value with the top bit set names a system colour.
using TColorValue = uint32_t;
constexpr TColorValue kSystemWindowColor = 0x80000005;
constexpr TColorValue RGBColor(uint8_t r, uint8_t g, uint8_t b) {
  return TColorValue{r} | (TColorValue{g} << 8) | (TColorValue{b} << 16);
}

using TSSPalette = std::array<TColorValue, kPaletteSize>;

// The default palette of the binary workbook format (its colours 8 to 63).
const TSSPalette& DefaultPalette();

// 57 for the system window colour; otherwise the first palette entry with the colour's RGB
// value, or fallback when there is none.
TSSColor PaletteIndexOf(const TSSPalette& palette, TColorValue color, TSSColor fallback);

}  // namespace workbook
