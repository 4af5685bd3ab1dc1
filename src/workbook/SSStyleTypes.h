#pragma once
// The shared style entry, the font record and the enumerations of cell formatting.
#include <array>
#include <cstdint>
#include <string>

namespace workbook {

enum THorzTextAlign : uint8_t { haGENERAL, haLEFT, haCENTER, haRIGHT, haFILL, haJUSTIFY };
enum TVertTextAlign : uint8_t { vaTOP, vaCENTER, vaBOTTOM, vaJUSTIFY };

enum TSSFillStyle : uint8_t {
  fsSolid,
  fsGray75,
  fsGray50,
  fsGray25,
  fsGray12,
  fsGray6,
  fsHorzStrip,
  fsVertStrip,
  fsRevDiagonalStrip,
  fsDiagonalStrip,
  fsDiagCrossHatch,
  fsThickCrossHatch,
  fsThinHorzStrip,
  fsThinVertStrip,
  fsThinRevDiagonalStrip,
  fsThinDiagonalStrip,
  fsThinDiagCrossHatch,
  fsThinThickCrossHatch,
};

enum TSSEdgeLineStyle : uint8_t {
  lsDefault,
  lsThin,
  lsMedium,
  lsDashed,
  lsDotted,
  lsThick,
  lsDouble,
  lsHair,
  lsMediumDashed,
  lsDashDot,
  lsMediumDashDot,
  lsDashDotDot,
  lsMediumDashDotDot,
  lsSlantedDashDot,
  lsNone,
};

// A palette index: 0..55 the book's palette, 56 no fill colour, 57 automatic.
using TSSColor = uint16_t;
constexpr TSSColor kPaletteSize = 56;
constexpr TSSColor kDefaultFillColor = 56;
constexpr TSSColor kAutomaticColor = 57;
// Any value of 56 or more set through a font, brush or edge is stored as automatic.
inline TSSColor NormalizeColor(int color) {
  return color >= 0 && color < kPaletteSize ? static_cast<TSSColor>(color) : kAutomaticColor;
}

// Font style bits.
constexpr uint8_t kFontBold = 0x01;
constexpr uint8_t kFontItalic = 0x02;
constexpr uint8_t kFontUnderline = 0x04;
constexpr uint8_t kFontStrikeOut = 0x08;

// Style entry flag bits.
constexpr uint8_t kStyleLocked = 0x01;
constexpr uint8_t kStyleReadOnly = 0x02;
constexpr uint8_t kStyleMerged = 0x04;

// A font shared by style entries of one cache; owned by the cache and alive until its Reset.
struct TSSFontRec {
  std::string Name;
  TSSColor Color = 0;
  uint8_t Style = 0;
  uint8_t Charset = 1;
  uint8_t Size = 8;
  uintptr_t Handle = 0;  // platform font handle, 0 until a canvas creates one
  int32_t WgWidth = 0;   // pixel extent of the text "Wg"
  int32_t WgHeight = 0;
  // Name (case-sensitive), size, charset, style and colour.
  bool SameFont(const TSSFontRec& o) const {
    return Name == o.Name && Size == o.Size && Charset == o.Charset && Style == o.Style &&
           Color == o.Color;
  }
};

struct EdgeRec {
  TSSEdgeLineStyle Style = lsDefault;
  TSSColor Color = kAutomaticColor;
  friend bool operator==(const EdgeRec&, const EdgeRec&) = default;
};

enum EdgeSide : uint8_t { edgeLeft = 0, edgeTop = 1, edgeRight = 2, edgeBottom = 3 };

// One shared, reference-counted combination of formatting. Two entries are the same style when
// everything but RefCount is equal; the font takes part by identity, so equal fonts must be the
// same record (the cache guarantees that).
// Aligned to 8 bytes in every build: a cell slot keeps flags in the low bits of a pointer to
// its entry.
struct alignas(8) StyleEntry {
  uint16_t Format = 0;  // number-format code
  THorzTextAlign HorzAlign = haGENERAL;
  TVertTextAlign VertAlign = vaCENTER;
  bool WordBreak = false;
  uint8_t Reserved = 0;
  uint8_t Flags = kStyleLocked;
  TSSFontRec* Font = nullptr;
  TSSFillStyle FillStyle = fsSolid;
  TSSColor ForegroundColor = kDefaultFillColor;
  TSSColor BackgroundColor = kDefaultFillColor;
  std::array<EdgeRec, 4> Borders{};
  int32_t RefCount = 0;

  bool SameStyle(const StyleEntry& o) const {
    return Format == o.Format && HorzAlign == o.HorzAlign && VertAlign == o.VertAlign &&
           WordBreak == o.WordBreak && Reserved == o.Reserved && Flags == o.Flags &&
           Font == o.Font && FillStyle == o.FillStyle && ForegroundColor == o.ForegroundColor &&
           BackgroundColor == o.BackgroundColor && Borders == o.Borders;
  }
  // Fill (pattern, foreground, background) and the four borders equal: what makes a cell visible.
  bool SameFillAndBorders(const StyleEntry& o) const {
    return FillStyle == o.FillStyle && ForegroundColor == o.ForegroundColor &&
           BackgroundColor == o.BackgroundColor && Borders == o.Borders;
  }

 private:
  friend class TSSStyleCache;
  size_t cacheIndex_ = 0;  // position in the owning cache's list
};

}  // namespace workbook
