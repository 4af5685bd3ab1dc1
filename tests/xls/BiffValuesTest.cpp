// RK numbers and the formatting and sheet records: exact bit patterns and round trips.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "platform/LittleEndian.h"
#include "xls/Errors.h"
#include "xls/biff/DefaultRecords.h"
#include "xls/biff/RecordIds.h"
#include "xls/biff/Rk.h"
#include "xls/biff/SheetRecords.h"
#include "xls/biff/StyleRecords.h"

namespace xls {
namespace {

uint64_t Bits(double v) {
  uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

TEST(Rk, DecodesEachOfTheFourForms) {
  EXPECT_EQ(DecodeRk(0x0000000A), 2.0);      // integer
  EXPECT_EQ(DecodeRk(1234 * 4 + 3), 12.34);  // integer / 100
  EXPECT_EQ(DecodeRk(0x3FF00000), 1.0);      // upper bits of a double
  EXPECT_EQ(DecodeRk(0x3FF00001), 0.01);     // double / 100
  EXPECT_EQ(DecodeRk(0xFFFFFFFE), -1.0);     // negative integer
  EXPECT_EQ(DecodeRk(0x80000002), -536870912.0);
  EXPECT_EQ(DecodeRk(0x7FFFFFFE), 536870911.0);
}

TEST(Rk, EncodingDecodesToTheSameBits) {
  for (double v : {0.0,
                   -0.0,
                   1.0,
                   -1.0,
                   2.0,
                   0.5,
                   0.25,
                   12.34,
                   -12.34,
                   0.01,
                   0.1,
                   100.0,
                   1e8,
                   -1e8,
                   536870911.0,
                   -536870912.0,
                   536870912.0,
                   123456.78,
                   std::ldexp(1.0, 1000),
                   std::ldexp(3.0, -1000)}) {
    SCOPED_TRACE(v);
    auto rk = EncodeRk(v);
    ASSERT_TRUE(rk.has_value());
    EXPECT_EQ(Bits(DecodeRk(*rk)), Bits(v));
  }
}

TEST(Rk, ValuesWithoutAnExactFormHaveNone) {
  for (double v : {3.14159265358979, 1.0 / 3.0, 123456.789, 1e10, std::nan(""), 2.0e-310}) {
    SCOPED_TRACE(v);
    auto rk = EncodeRk(v);
    if (rk) {
      EXPECT_EQ(Bits(DecodeRk(*rk)), Bits(v));  // only exact forms may come back
    }
  }
  EXPECT_FALSE(EncodeRk(3.14159265358979));
  EXPECT_FALSE(EncodeRk(std::nan("")));
}

TEST(Rk, PrefersTheUndividedForms) {
  EXPECT_EQ(EncodeRk(1.0), 0x3FF00000u);
  EXPECT_EQ(EncodeRk(7.0), 0x401C0000u);                     // exact as a double already
  EXPECT_EQ(EncodeRk(123457.0), 0x40FE2410u);                // 18 mantissa bits suffice
  EXPECT_EQ(EncodeRk(536870911.0), (536870911u << 2) | 2u);  // needs the integer form
  EXPECT_EQ(EncodeRk(12.34), 0x40934801u);                   // 1234.0 as a double, / 100
  EXPECT_EQ(EncodeRk(-5368709.11), (static_cast<uint32_t>(-536870911) << 2) | 3u);
}

std::vector<uint8_t> Hex(const char* s) {
  std::vector<uint8_t> out;
  for (const char* p = s; *p;) {
    if (*p == ' ') {
      ++p;
      continue;
    }
    out.push_back(static_cast<uint8_t>(std::stoi(std::string(p, 2), nullptr, 16)));
    p += 2;
  }
  return out;
}

TEST(StyleRecords, DefaultXfTemplatesSurviveParseAndSerialize) {
  for (const char* t : {"00 00 00 00 F5 FF 20 00 00 00 00 00 00 00 00 00 00 00 C0 20",
                        "01 00 00 00 F5 FF 20 00 00 F4 00 00 00 00 00 00 00 00 C0 20",
                        "00 00 00 00 01 00 20 00 00 00 00 00 00 00 00 00 00 00 C0 20",
                        "01 00 2B 00 F5 FF 20 00 00 F8 00 00 00 00 00 00 00 00 C0 20",
                        "05 00 A4 00 01 00 6B 2D 15 FC 21 43 C8 D2 41 0A 10 68 0C 2D"}) {
    SCOPED_TRACE(t);
    auto bytes = Hex(t);
    XfRecord x = XfRecord::Parse(bytes.data());
    uint8_t out[20];
    x.Serialize(out);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 20), bytes);
  }
  // Field meanings of a known pattern.
  auto bytes = Hex("05 00 A4 00 01 00 6B 2D 15 FC 21 43 C8 D2 41 0A 10 68 0C 2D");
  XfRecord x = XfRecord::Parse(bytes.data());
  EXPECT_EQ(x.font, 5);
  EXPECT_EQ(x.format, 0xA4);
  EXPECT_TRUE(x.locked);
  EXPECT_FALSE(x.styleXf);
  EXPECT_EQ(x.horzAlign, 3);
  EXPECT_TRUE(x.wrap);
  EXPECT_EQ(x.vertAlign, 6);
  EXPECT_TRUE(x.shrink);
  EXPECT_EQ(x.usedAttributes, 0x3F);
  EXPECT_EQ(x.lineStyle, (std::array<uint8_t, 4>{1, 2, 3, 4}));
  EXPECT_EQ(x.lineColour[0], 0x48);
  EXPECT_EQ(x.pattern, 0x1A);
  EXPECT_EQ(x.patternColour, 0x0C);
  EXPECT_EQ(x.patternBackground, 0x5A);
}

template <typename T>
T ThroughRecord(const T& value) {
  std::vector<uint8_t> out;
  RecordWriter w(out);
  w.Write(value.Build());
  RecordReader r(out);
  EXPECT_TRUE(r.Next());
  T back = T::Read(r);
  EXPECT_EQ(r.Remaining(), 0u);
  return back;
}

TEST(StyleRecords, FontFormatXfAndPaletteRoundTrip) {
  FontRecord f;
  f.height = 260;
  f.options = FontRecord::kItalic | FontRecord::kStrikeOut;
  f.colour = 10;
  f.weight = 700;
  f.underline = 1;
  f.charset = 204;
  f.name = u"Times New Roman \u0416";
  EXPECT_EQ(ThroughRecord(f), f);

  FormatRecord fmt{164, u"#,##0.00 \u20ac"};
  EXPECT_EQ(ThroughRecord(fmt), fmt);

  XfRecord x;
  x.font = 6;
  x.format = 164;
  x.parent = 15;
  x.lineStyle = {1, 2, 5, 13};
  x.lineColour = {8, 9, 10, 63};
  x.pattern = 1;
  x.patternColour = 12;
  x.patternBackground = 64;
  EXPECT_EQ(ThroughRecord(x), x);

  PaletteRecord p = PaletteRecord::Default();
  p.colours[3] = 0x00123456;
  EXPECT_EQ(ThroughRecord(p), p);
}

TEST(StyleRecords, DefaultPaletteStoresRedInTheLowByte) {
  const auto& p = PaletteRecord::Default();
  EXPECT_EQ(p.colours[0], 0x000000u);   // index 8: black
  EXPECT_EQ(p.colours[2], 0x0000FFu);   // index 10: red
  EXPECT_EQ(p.colours[4], 0xFF0000u);   // index 12: blue
  EXPECT_EQ(p.colours[55], 0x333333u);  // index 63
  auto b = p.Build();
  EXPECT_EQ(b.Size(), 2u + 56 * 4);
  EXPECT_EQ(b.Data()[2 + 2 * 4], 0xFF);  // red's R byte first
}

TEST(StyleRecords, PaletteShorterThanItsCountIsAnError) {
  std::vector<uint8_t> s = {0x92, 0x00, 6, 0, 56, 0, 1, 2, 3, 0};
  RecordReader r(s);
  ASSERT_TRUE(r.Next());
  EXPECT_THROW(PaletteRecord::Read(r), XlsError);
}

TEST(SheetRecords, BofAndBoundSheetRoundTrip) {
  BofRecord bof;
  bof.type = rec::kBofWorksheet;
  EXPECT_EQ(ThroughRecord(bof), bof);
  EXPECT_EQ(bof.Build().Size(), 16u);
  BoundSheetRecord bs{123456, 1, 0, u"Sales \u00e9t\u00e9"};
  EXPECT_EQ(ThroughRecord(bs), bs);
  // A short BOF of an older writer keeps the defaults.
  std::vector<uint8_t> s = {0x09, 0x08, 4, 0, 0, 6, 0x10, 0};
  RecordReader r(s);
  ASSERT_TRUE(r.Next());
  BofRecord old = BofRecord::Read(r);
  EXPECT_EQ(old.type, rec::kBofWorksheet);
  EXPECT_EQ(old.build, BofRecord{}.build);
}

}  // namespace
}  // namespace xls

namespace xls {
namespace {

std::vector<uint8_t> Bytes(const RecordBuilder& b) { return b.Data(); }

TEST(DefaultRecords, TemplatesHaveTheirExactBytes) {
  EXPECT_EQ(Bytes(defaults::Window1()),
            Hex("E0 01 69 00 CC 42 7F 26 38 00 00 00 00 00 01 00 58 02"));
  EXPECT_EQ(Bytes(defaults::Font().Build()),
            Hex("C8 00 00 00 FF 7F 90 01 00 00 00 00 00 00 05 01 41 00 72 00 69 00 61 00 6C 00"));
  auto formats = defaults::Formats();
  ASSERT_EQ(formats.size(), 2u);
  EXPECT_EQ(Bytes(formats[0].Build()), Hex("A4 00 08 00 00 64 64 2F 6D 6D 2F 79 79"));
  EXPECT_EQ(formats[1].Build().Size(), 2u + 3 + 12);
  const auto& xfs = defaults::Xfs();
  auto xfBytes = [&](int i) {
    uint8_t out[20];
    xfs[i].Serialize(out);
    return std::vector<uint8_t>(out, out + 20);
  };
  EXPECT_EQ(xfBytes(0), Hex("00 00 00 00 F5 FF 20 00 00 00 00 00 00 00 00 00 00 00 C0 20"));
  EXPECT_EQ(xfBytes(2), Hex("01 00 00 00 F5 FF 20 00 00 F4 00 00 00 00 00 00 00 00 C0 20"));
  EXPECT_EQ(xfBytes(4), Hex("02 00 00 00 F5 FF 20 00 00 F4 00 00 00 00 00 00 00 00 C0 20"));
  EXPECT_EQ(xfBytes(14), Hex("00 00 00 00 F5 FF 20 00 00 F4 00 00 00 00 00 00 00 00 C0 20"));
  EXPECT_EQ(xfBytes(15), Hex("00 00 00 00 01 00 20 00 00 00 00 00 00 00 00 00 00 00 C0 20"));
  EXPECT_EQ(xfBytes(16), Hex("01 00 2B 00 F5 FF 20 00 00 F8 00 00 00 00 00 00 00 00 C0 20"));
  auto styles = defaults::Styles();
  ASSERT_EQ(styles.size(), 6u);
  EXPECT_EQ(Bytes(styles[4]), Hex("00 80 00 FF"));
  EXPECT_EQ(Bytes(styles[5]), Hex("14 80 05 FF"));
}

}  // namespace
}  // namespace xls

#include "platform/Locale.h"
#include "xls/biff/SizeUnits.h"

namespace xls {
namespace {

TEST(SizeUnits, FileUnitsToPixelsAndBack) {
  EXPECT_EQ(DefColWidthToPixels(8, 1.0), 67);
  EXPECT_EQ(PixelsToDefColWidth(67), 8);
  EXPECT_EQ(StandardWidthToPixels(2340, 1.0), 74);
  EXPECT_EQ(ColInfoWidthToPixels(2340, 1.0), 64);
  EXPECT_EQ(ColInfoWidthToPixels(2340, 1.25), 80);
  EXPECT_EQ(PixelsToColInfoWidth(64, 1.0), 2342);
  EXPECT_EQ(PixelsToColInfoWidth(100000, 1.0), 0xFFFF);  // clamped to the field
  EXPECT_EQ(RowHeightToPixels(255, 1.0), 17);
  EXPECT_EQ(RowHeightToPixels(0x8000 | 255, 1.0), 17);  // the default-height bit is no height
  EXPECT_EQ(PixelsToRowHeight(17, 1.0), 257);
  EXPECT_EQ(RowHeightToPixels(PixelsToRowHeight(40, 1.5), 1.5), 40);
  EXPECT_EQ(DefaultRowHeightToPixels(255), 20);
  EXPECT_EQ(PixelsToRowHeight(-5, 1.0), 0);
}

TEST(SizeUnits, ShortestNumberTextReadsBackExactly) {
  platform::ScopedLocale us(platform::LocaleSettings::EnglishUS());
  EXPECT_EQ(ShortestNumberText(12.34), "12.34");
  EXPECT_EQ(ShortestNumberText(-5), "-5");
  EXPECT_EQ(ShortestNumberText(-0.0), "0");
  EXPECT_EQ(ShortestNumberText(0.1 + 0.2), "0.30000000000000004");
  EXPECT_EQ(ShortestNumberText(1e-7), "1e-07");
  EXPECT_EQ(ShortestNumberText(123456789.125), "123456789.125");
  platform::LocaleSettings de = platform::LocaleSettings::EnglishUS();
  de.decimalSeparator = ',';
  platform::ScopedLocale german(de);
  EXPECT_EQ(ShortestNumberText(2.5), "2,5");
}

}  // namespace
}  // namespace xls
