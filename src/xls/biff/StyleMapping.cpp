#include "xls/biff/StyleMapping.h"

#include <algorithm>
#include <cmath>

#include "xls/biff/DefaultRecords.h"
#include "xls/biff/XlsText.h"

namespace xls {

const std::array<uint8_t, 18>& FillPatternTable() {
  // The file numbers its patterns with 0 for no fill and 1 for solid; the book's list starts
  // at solid. A table starting at 0 would write every solid fill as no fill (lost on the next
  // load, and shown unfilled by every other reader) and every other pattern as its neighbour.
  static constexpr std::array<uint8_t, 18> kTable = {1, 3, 2,  4,  17, 18, 5,  6,  7,
                                                     8, 9, 10, 11, 12, 13, 14, 15, 16};
  return kTable;
}

uint16_t PaletteFromFileColour(uint16_t i) {
  // 0 stands for "no colour" in the files we meet; 1-7 are the fixed colours white, red, ...,
  // which the default palette repeats at the same positions; 8-63 are the palette.
  if (i == 0) return kAutomaticColour;
  if (i < 8) return i;
  return static_cast<uint16_t>(std::min<int>(i - 8, kAutomaticColour));
}

uint16_t FileFromPaletteColour(uint16_t p) {
  return static_cast<uint16_t>(std::min<int>(p + 8, 64));
}

FontStyle FontFromRecord(const FontRecord& r) {
  FontStyle f;
  f.name = ToSystemText(r.name);
  f.size = static_cast<int>(std::lround(r.height / 20.0));
  if (r.weight != 400) f.flags |= FontStyle::kBold;
  if (r.options & FontRecord::kItalic) f.flags |= FontStyle::kItalic;
  if (r.options & FontRecord::kStrikeOut) f.flags |= FontStyle::kStrikeOut;
  if (r.underline != 0) f.flags |= FontStyle::kUnderline;
  f.charset = r.charset == 0 ? 1 : r.charset;
  f.colour = r.colour == 0
                 ? kAutomaticColour
                 : PaletteFromFileColour(static_cast<uint16_t>(std::min<int>(r.colour, 127)));
  return f;
}

FontRecord RecordFromFont(const FontStyle& f) {
  FontRecord r;
  r.height = static_cast<uint16_t>(std::clamp(f.size, 1, 409) * 20);
  r.options = 0;
  if (f.flags & FontStyle::kItalic) r.options |= FontRecord::kItalic;
  if (f.flags & FontStyle::kStrikeOut) r.options |= FontRecord::kStrikeOut;
  // Some readers take bold from the option bit rather than the weight: set both.
  if (f.flags & FontStyle::kBold) r.options |= FontRecord::kBold;
  r.weight = (f.flags & FontStyle::kBold) ? 700 : 400;
  r.underline = (f.flags & FontStyle::kUnderline) ? 1 : 0;
  r.charset = f.charset == 1 ? 0 : f.charset;
  int colour = f.colour + 8;
  r.colour = colour > 64 ? 0x7FFF : static_cast<uint16_t>(colour);
  r.name = FromSystemText(f.name).substr(0, 255);
  return r;
}

XfStyle StyleFromXf(const XfRecord& xf, size_t fontCount,
                    const std::function<uint16_t(uint16_t)>& formatCode) {
  XfStyle s;
  size_t font = xf.font >= 4 ? xf.font - 1u : xf.font;
  s.font = fontCount == 0 ? 0 : std::min(font, fontCount - 1);
  s.format = xf.format <= 49 ? xf.format : (formatCode ? formatCode(xf.format) : 0);
  s.horzAlign = xf.horzAlign >= 6 ? 2 : xf.horzAlign;
  s.vertAlign = xf.vertAlign;
  s.wordWrap = xf.wrap ? 1 : 0;
  s.flags = 0;
  if (xf.locked) s.flags |= XfStyle::kLocked;
  if (xf.shrink) s.flags |= XfStyle::kShrink;
  // The record keeps left, right, top, bottom; the style left, top, right, bottom.
  static constexpr int kFromRecord[4] = {XfStyle::kLeft, XfStyle::kRight, XfStyle::kTop,
                                         XfStyle::kBottom};
  for (int i = 0; i < 4; ++i) {
    XfStyle::Edge& e = s.edges[kFromRecord[i]];
    e.lineStyle = xf.lineStyle[i] >= 14 ? 0 : xf.lineStyle[i];
    e.colour = PaletteFromFileColour(xf.lineColour[i]);
  }
  const auto& table = FillPatternTable();
  auto found = std::find(table.begin(), table.end(), xf.pattern);
  s.pattern = found == table.end() ? 0 : static_cast<uint8_t>(found - table.begin());
  if (xf.pattern == 0) {
    s.colours = {kAutomaticColour, kAutomaticColour};
  } else {
    uint16_t fg = PaletteFromFileColour(xf.patternColour);
    uint16_t bg = PaletteFromFileColour(xf.patternBackground);
    s.colours = s.pattern != 0 ? std::array<uint16_t, 2>{fg, bg} : std::array<uint16_t, 2>{bg, fg};
  }
  return s;
}

XfRecord XfFromStyle(const XfStyle& s, uint16_t fontIndex) {
  XfRecord x = defaults::Xfs()[15];
  x.font = fontIndex;
  x.format = s.format;
  x.locked = (s.flags & XfStyle::kLocked) != 0;
  x.horzAlign = s.horzAlign & 7;
  x.wrap = s.wordWrap != 0;
  x.vertAlign = s.vertAlign & 7;
  x.usedAttributes = 0x3F;
  x.shrink = (s.flags & XfStyle::kShrink) != 0;
  static constexpr int kToRecord[4] = {XfStyle::kLeft, XfStyle::kRight, XfStyle::kTop,
                                       XfStyle::kBottom};
  for (int i = 0; i < 4; ++i) {
    const XfStyle::Edge& e = s.edges[kToRecord[i]];
    x.lineStyle[i] = e.lineStyle >= 14 ? 0 : e.lineStyle;
    x.lineColour[i] = static_cast<uint8_t>(FileFromPaletteColour(e.colour));
  }
  const auto& table = FillPatternTable();
  const uint8_t p = s.pattern < table.size() ? s.pattern : 0;
  uint16_t first = s.colours[0], second = s.colours[1];
  uint16_t fgIndex = p != 0 ? first : second;
  uint16_t bgIndex = p != 0 ? second : first;
  uint16_t fg = fgIndex == kAutomaticColour ? 64 : FileFromPaletteColour(fgIndex);
  uint16_t bg = static_cast<uint16_t>(std::min<int>(bgIndex + 8, 65));
  // A solid fill in the default colours is no fill: the template's field (file pattern 0).
  bool keepTemplate = p == 0 && (fg == 64 || (fg == 9 && (bgIndex == 56 || bgIndex == 57)));
  if (!keepTemplate) {
    x.pattern = table[p];
    x.patternColour = static_cast<uint8_t>(fg);
    x.patternBackground = static_cast<uint8_t>(bg);
  }
  return x;
}

}  // namespace xls
