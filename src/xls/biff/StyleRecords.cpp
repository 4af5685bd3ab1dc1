#include "xls/biff/StyleRecords.h"

#include "platform/LittleEndian.h"
#include "xls/biff/RecordIds.h"

namespace xls {

FontRecord FontRecord::Read(RecordReader& r) {
  FontRecord f;
  f.height = r.U16();
  f.options = r.U16();
  f.colour = r.U16();
  f.weight = r.U16();
  f.escapement = r.U16();
  f.underline = r.U8();
  f.family = r.U8();
  f.charset = r.U8();
  r.U8();
  f.name = r.String8();
  return f;
}

RecordBuilder FontRecord::Build() const {
  RecordBuilder b(rec::kFont);
  b.U16(height).U16(options).U16(colour).U16(weight).U16(escapement);
  b.U8(underline).U8(family).U8(charset).U8(0);
  b.String8(name, true);
  return b;
}

XfRecord XfRecord::Parse(const uint8_t* p) {
  XfRecord x;
  x.font = platform::LoadU16(p);
  x.format = platform::LoadU16(p + 2);
  uint16_t prot = platform::LoadU16(p + 4);
  x.locked = prot & 1;
  x.hidden = (prot >> 1) & 1;
  x.styleXf = (prot >> 2) & 1;
  x.parent = prot >> 4;
  x.horzAlign = p[6] & 7;
  x.wrap = (p[6] >> 3) & 1;
  x.vertAlign = (p[6] >> 4) & 7;
  x.justifyLast = p[6] >> 7;
  x.rotation = p[7];
  x.indent = p[8] & 0x0F;
  x.shrink = (p[8] >> 4) & 1;
  x.merge = (p[8] >> 5) & 1;
  x.readingOrder = p[8] >> 6;
  x.usedAttributes = p[9] >> 2;
  uint32_t border = platform::LoadU32(p + 10);
  for (int i = 0; i < 4; ++i) x.lineStyle[i] = (border >> (4 * i)) & 0x0F;
  x.lineColour[0] = (border >> 16) & 0x7F;
  x.lineColour[1] = (border >> 23) & 0x7F;
  x.diagonalFlags = border >> 30;
  uint32_t more = platform::LoadU32(p + 14);
  x.lineColour[2] = more & 0x7F;
  x.lineColour[3] = (more >> 7) & 0x7F;
  x.diagonalColour = (more >> 14) & 0x7F;
  x.diagonalStyle = (more >> 21) & 0x0F;
  x.pattern = more >> 26;
  uint16_t fill = platform::LoadU16(p + 18);
  x.patternColour = fill & 0x7F;
  x.patternBackground = (fill >> 7) & 0x7F;
  return x;
}

void XfRecord::Serialize(uint8_t* p) const {
  platform::StoreU16(p, font);
  platform::StoreU16(p + 2, format);
  platform::StoreU16(p + 4, static_cast<uint16_t>((locked ? 1 : 0) | (hidden ? 2 : 0) |
                                                  (styleXf ? 4 : 0) | ((parent & 0x0FFF) << 4)));
  p[6] = static_cast<uint8_t>((horzAlign & 7) | (wrap ? 8 : 0) | ((vertAlign & 7) << 4) |
                              (justifyLast ? 0x80 : 0));
  p[7] = rotation;
  p[8] = static_cast<uint8_t>((indent & 0x0F) | (shrink ? 0x10 : 0) | (merge ? 0x20 : 0) |
                              ((readingOrder & 3) << 6));
  p[9] = static_cast<uint8_t>((usedAttributes & 0x3F) << 2);
  uint32_t border = 0;
  for (int i = 0; i < 4; ++i) border |= static_cast<uint32_t>(lineStyle[i] & 0x0F) << (4 * i);
  border |= static_cast<uint32_t>(lineColour[0] & 0x7F) << 16;
  border |= static_cast<uint32_t>(lineColour[1] & 0x7F) << 23;
  border |= static_cast<uint32_t>(diagonalFlags & 3) << 30;
  platform::StoreU32(p + 10, border);
  uint32_t more = (lineColour[2] & 0x7Fu) | ((lineColour[3] & 0x7Fu) << 7) |
                  ((diagonalColour & 0x7Fu) << 14) | ((diagonalStyle & 0x0Fu) << 21) |
                  (static_cast<uint32_t>(pattern & 0x3F) << 26);
  platform::StoreU32(p + 14, more);
  platform::StoreU16(
      p + 18, static_cast<uint16_t>((patternColour & 0x7F) | ((patternBackground & 0x7F) << 7)));
}

XfRecord XfRecord::Read(RecordReader& r) {
  uint8_t bytes[20];
  r.Read(bytes, sizeof bytes);
  return Parse(bytes);
}

RecordBuilder XfRecord::Build() const {
  uint8_t bytes[20];
  Serialize(bytes);
  RecordBuilder b(rec::kXf);
  b.Bytes(bytes);
  return b;
}

FormatRecord FormatRecord::Read(RecordReader& r) {
  FormatRecord f;
  f.index = r.U16();
  f.text = r.String16();
  return f;
}

RecordBuilder FormatRecord::Build() const {
  RecordBuilder b(rec::kFormat);
  b.U16(index).String16(text);
  return b;
}

const PaletteRecord& PaletteRecord::Default() {
  // The standard colours of indexes 8 to 63, as 0xBBGGRR.
  static const PaletteRecord kDefault = [] {
    static constexpr uint32_t kRgb[kColours] = {
        0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
        0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
        0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
        0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
        0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
        0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
        0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};
    PaletteRecord p;
    for (size_t i = 0; i < kColours; ++i) {
      uint32_t rgb = kRgb[i];  // written as 0xRRGGBB above for reading ease
      p.colours[i] = ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
    }
    return p;
  }();
  return kDefault;
}

PaletteRecord PaletteRecord::Read(RecordReader& r) {
  PaletteRecord p = Default();
  uint16_t count = r.U16();
  if (size_t{count} * 4 > r.Remaining())
    r.Fail("palette claims " + std::to_string(count) + " colours, the record holds " +
           std::to_string(r.Remaining() / 4));
  for (size_t i = 0; i < count; ++i) {
    uint32_t c = r.U32();
    if (i < kColours) p.colours[i] = c & 0x00FFFFFF;
  }
  return p;
}

RecordBuilder PaletteRecord::Build() const {
  RecordBuilder b(rec::kPalette);
  b.U16(kColours);
  for (uint32_t c : colours) b.U32(c & 0x00FFFFFF);
  return b;
}

}  // namespace xls
