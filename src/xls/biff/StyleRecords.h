#pragma once
// The formatting records of the workbook globals as plain structures: FONT, XF, FORMAT and
// PALETTE. Each Read takes a reader standing at the record's first data byte; each Build
// returns the record ready for RecordWriter. Read(Build(x)) == x for every field.
#include <array>
#include <cstdint>
#include <string>

#include "xls/biff/RecordReader.h"
#include "xls/biff/RecordWriter.h"

namespace xls {

// FONT, 14 bytes then the name:
//   OFFSET SIZE DESCRIPTION
//   0      2    height in twips (1/20 point)
//   2      2    options: bit 0 bold (mirrors the weight), bit 1 italic, bit 3 strike-out, bit 4
//   outline, bit 5 shadow 4      2    colour index (0x7FFF: automatic) 6      2    weight (400
//   normal, 700 bold) 8      2    escapement (0 none, 1 superscript, 2 subscript) 10     1
//   underline (0 none, 1 single, 2 double, 0x21 single accounting, 0x22 double acc.) 11     1
//   family 12     1    character set 13     1    reserved 14     var  name: 8-bit count, option
//   byte, characters
struct FontRecord {
  static constexpr uint16_t kBold = 0x0001;
  static constexpr uint16_t kItalic = 0x0002;
  static constexpr uint16_t kStrikeOut = 0x0008;
  uint16_t height = 200;
  uint16_t options = 0;
  uint16_t colour = 0x7FFF;
  uint16_t weight = 400;
  uint16_t escapement = 0;
  uint8_t underline = 0;
  uint8_t family = 0;
  uint8_t charset = 0;
  std::u16string name = u"Arial";

  static FontRecord Read(RecordReader& r);
  RecordBuilder Build() const;
  friend bool operator==(const FontRecord&, const FontRecord&) = default;
};

// XF, 20 bytes:
//   OFFSET SIZE DESCRIPTION
//   0      2    font index (4 is never used: the index after 3 is 5)
//   2      2    format index
//   4      2    bit 0 locked, bit 1 formula hidden, bit 2 style XF, bits 4-15 parent XF
//   6      1    bits 0-2 horizontal alignment, bit 3 wrap, bits 4-6 vertical alignment,
//               bit 7 justify last line
//   7      1    rotation
//   8      1    bits 0-3 indent, bit 4 shrink to fit, bit 5 merge, bits 6-7 reading order
//   9      1    bits 2-7 attribute groups used (number, font, alignment, border, fill, protection)
//   10     4    bits 0-3 left, 4-7 right, 8-11 top, 12-15 bottom line style; bits 16-22 left
//               colour, 23-29 right colour, 30-31 diagonal flags
//   14     4    bits 0-6 top colour, 7-13 bottom colour, 14-20 diagonal colour, 21-24
//               diagonal style, 26-31 fill pattern
//   18     2    bits 0-6 pattern colour, 7-13 pattern background colour
struct XfRecord {
  uint16_t font = 0;
  uint16_t format = 0;
  bool locked = true;
  bool hidden = false;
  bool styleXf = false;
  uint16_t parent = 0;  // 12 bits; 0xFFF for style XFs
  uint8_t horzAlign = 0;
  bool wrap = false;
  uint8_t vertAlign = 2;
  bool justifyLast = false;
  uint8_t rotation = 0;
  uint8_t indent = 0;
  bool shrink = false;
  bool merge = false;
  uint8_t readingOrder = 0;
  uint8_t usedAttributes = 0;  // 6 bits
  // Line styles and colour indexes, in the order left, right, top, bottom.
  std::array<uint8_t, 4> lineStyle{};
  std::array<uint8_t, 4> lineColour{};
  uint8_t diagonalFlags = 0;
  uint8_t diagonalColour = 0;
  uint8_t diagonalStyle = 0;
  uint8_t pattern = 0;  // 6 bits
  uint8_t patternColour = 64;
  uint8_t patternBackground = 65;

  static XfRecord Parse(const uint8_t* bytes20);
  void Serialize(uint8_t* out20) const;
  static XfRecord Read(RecordReader& r);
  RecordBuilder Build() const;
  friend bool operator==(const XfRecord&, const XfRecord&) = default;
};

// FORMAT: format index (2 bytes), then the format text with a 16-bit count.
struct FormatRecord {
  uint16_t index = 0;
  std::u16string text;

  static FormatRecord Read(RecordReader& r);
  RecordBuilder Build() const;
  friend bool operator==(const FormatRecord&, const FormatRecord&) = default;
};

// PALETTE: colour count (2 bytes), then per colour R, G, B and a zero byte. The colours are
// those of indexes 8 onward; the file holds 56.
struct PaletteRecord {
  static constexpr size_t kColours = 56;
  // Colours as 0x00BBGGRR (R in the low byte, as stored).
  std::array<uint32_t, kColours> colours{};

  static const PaletteRecord& Default();
  // Throws XlsError when the record holds fewer colours than its count claims. Colours past
  // the 56th are ignored; missing ones keep the default.
  static PaletteRecord Read(RecordReader& r);
  RecordBuilder Build() const;
  friend bool operator==(const PaletteRecord&, const PaletteRecord&) = default;
};

}  // namespace xls
