#include "workbook/SSPalette.h"

namespace workbook {
namespace {
constexpr ColorValue Hex(uint32_t rrggbb) {
  return RGBColor(static_cast<uint8_t>(rrggbb >> 16), static_cast<uint8_t>(rrggbb >> 8),
                  static_cast<uint8_t>(rrggbb));
}
}  // namespace

const ColorPalette& DefaultPalette() {
  static const ColorPalette kPalette = {
      Hex(0x000000), Hex(0xFFFFFF), Hex(0xFF0000), Hex(0x00FF00), Hex(0x0000FF), Hex(0xFFFF00),
      Hex(0xFF00FF), Hex(0x00FFFF), Hex(0x800000), Hex(0x008000), Hex(0x000080), Hex(0x808000),
      Hex(0x800080), Hex(0x008080), Hex(0xC0C0C0), Hex(0x808080), Hex(0x9999FF), Hex(0x993366),
      Hex(0xFFFFCC), Hex(0xCCFFFF), Hex(0x660066), Hex(0xFF8080), Hex(0x0066CC), Hex(0xCCCCFF),
      Hex(0x000080), Hex(0xFF00FF), Hex(0xFFFF00), Hex(0x00FFFF), Hex(0x800080), Hex(0x800000),
      Hex(0x008080), Hex(0x0000FF), Hex(0x00CCFF), Hex(0xCCFFFF), Hex(0xCCFFCC), Hex(0xFFFF99),
      Hex(0x99CCFF), Hex(0xFF99CC), Hex(0xCC99FF), Hex(0xFFCC99), Hex(0x3366FF), Hex(0x33CCCC),
      Hex(0x99CC00), Hex(0xFFCC00), Hex(0xFF9900), Hex(0xFF6600), Hex(0x666699), Hex(0x969696),
      Hex(0x003366), Hex(0x339966), Hex(0x003300), Hex(0x333300), Hex(0x993300), Hex(0x993366),
      Hex(0x333399), Hex(0x333333),
  };
  return kPalette;
}

TSSColor PaletteIndexOf(const ColorPalette& palette, ColorValue color, TSSColor fallback) {
  if (color == kSystemWindowColor) return kAutomaticColor;
  const ColorValue rgb = color & 0x00FFFFFF;
  for (size_t i = 0; i < palette.size(); ++i)
    if (palette[i] == rgb) return static_cast<TSSColor>(i);
  return fallback;
}

}  // namespace workbook
