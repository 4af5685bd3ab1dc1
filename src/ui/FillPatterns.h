#pragma once
// The 18 fill patterns of cell fills: monochrome 8 x 8 bitmaps. In a row byte the most
// significant bit is the leftmost pixel; rows run from top to bottom. A 1 bit is painted in the
// fill's background colour and a 0 bit in its pattern colour. The pattern repeats from the
// canvas's device origin, so neighbouring fills of the same pattern join without a seam.
#include <array>
#include <cstdint>

namespace ui {

// The order is the workbook's fill-style order, so a style value converts by static_cast.
enum class FillPattern : uint8_t {
  Solid,
  Gray75,
  Gray50,
  Gray25,
  Gray12,
  Gray6,
  HorzStrip,
  VertStrip,
  RevDiagonalStrip,
  DiagonalStrip,
  DiagCrossHatch,
  ThickCrossHatch,
  ThinHorzStrip,
  ThinVertStrip,
  ThinRevDiagonalStrip,
  ThinDiagonalStrip,
  ThinDiagCrossHatch,
  ThinThickCrossHatch,
};
constexpr int kFillPatternCount = 18;

using PatternBits = std::array<uint8_t, 8>;

// The bitmap of a pattern; values beyond the last pattern give the solid one.
const PatternBits& FillPatternBits(FillPattern pattern);

// True when pixel (x, y) of a fill starting at the device origin takes the background colour.
inline bool PatternBitIsBackground(const PatternBits& bits, int x, int y) {
  return (bits[static_cast<unsigned>(y) & 7] >> (7 - (static_cast<unsigned>(x) & 7))) & 1;
}

}  // namespace ui
