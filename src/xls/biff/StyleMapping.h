#pragma once
// Translation between the file's FONT and XF records and the style terms of the book: palette
// indexes 0-55 for the 56 colours (56 the default fill, 57 automatic/none), pattern numbers of
// the book's fill table, edges in the order left, top, right, bottom. The book layer copies
// these plain structures into its own style objects.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "xls/biff/StyleRecords.h"

namespace xls {

constexpr uint16_t kDefaultFillColour = 56;
constexpr uint16_t kAutomaticColour = 57;

struct FontStyle {
  static constexpr uint8_t kBold = 1;
  static constexpr uint8_t kItalic = 2;
  static constexpr uint8_t kUnderline = 4;
  static constexpr uint8_t kStrikeOut = 8;
  std::string name = "Arial";  // system code page
  int size = 10;               // points
  uint8_t charset = 1;
  uint16_t colour = kAutomaticColour;
  uint8_t flags = 0;
  friend bool operator==(const FontStyle&, const FontStyle&) = default;
};

struct XfStyle {
  static constexpr uint8_t kLocked = 1;
  static constexpr uint8_t kShrink = 4 | 8;  // both bits stand for shrink-to-fit
  struct Edge {
    uint8_t lineStyle = 0;
    uint16_t colour = kAutomaticColour;
    friend bool operator==(const Edge&, const Edge&) = default;
  };
  enum EdgeIndex { kLeft = 0, kTop = 1, kRight = 2, kBottom = 3 };

  uint16_t format = 0;
  uint8_t horzAlign = 0;
  uint8_t vertAlign = 2;
  uint8_t wordWrap = 0;
  uint8_t flags = kLocked;
  size_t font = 0;  // index into the fonts read, in file order without the unused index 4
  uint8_t pattern = 0;
  std::array<uint16_t, 2> colours{kAutomaticColour, kAutomaticColour};
  std::array<Edge, 4> edges{};
  friend bool operator==(const XfStyle&, const XfStyle&) = default;
};

// File pattern of each book pattern number (position in the table): book 0 (solid) is file
// pattern 1; file pattern 0 (no fill) is read as book pattern 0 in the default colours.
const std::array<uint8_t, 18>& FillPatternTable();

FontStyle FontFromRecord(const FontRecord& record);
FontRecord RecordFromFont(const FontStyle& font);

// `formatCode` maps a file format index above 49 to the book's format code (0 when unknown);
// built-in indexes up to 49 are the codes themselves.
XfStyle StyleFromXf(const XfRecord& xf, size_t fontCount,
                    const std::function<uint16_t(uint16_t)>& formatCode);
// A cell XF for `style` using file font index `fontIndex`, built on the default cell XF.
XfRecord XfFromStyle(const XfStyle& style, uint16_t fontIndex);

// Colour of the file (7-bit index) as a palette index, and back.
uint16_t PaletteFromFileColour(uint16_t fileIndex);
uint16_t FileFromPaletteColour(uint16_t paletteIndex);

}  // namespace xls
