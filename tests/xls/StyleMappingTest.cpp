// FONT and XF records to book style terms and back.
#include <gtest/gtest.h>

#include "xls/biff/DefaultRecords.h"
#include "xls/biff/StyleMapping.h"

namespace xls {
namespace {

TEST(StyleMapping, FontRecordToFontAndBack) {
  FontRecord r;
  r.height = 250;  // 12.5 pt rounds to 13
  r.weight = 700;
  r.options = FontRecord::kItalic | FontRecord::kStrikeOut;
  r.underline = 2;
  r.charset = 0;
  r.colour = 10;
  r.name = u"Caf\u00e9 Sans";
  FontStyle f = FontFromRecord(r);
  EXPECT_EQ(f.size, 13);
  EXPECT_EQ(f.flags,
            FontStyle::kBold | FontStyle::kItalic | FontStyle::kStrikeOut | FontStyle::kUnderline);
  EXPECT_EQ(f.charset, 1);
  EXPECT_EQ(f.colour, 2);
  EXPECT_EQ(f.name, "Caf\xE9 Sans");
  r.colour = 0x7FFF;
  EXPECT_EQ(FontFromRecord(r).colour, kAutomaticColour);
  r.colour = 0;
  EXPECT_EQ(FontFromRecord(r).colour, kAutomaticColour);

  FontRecord back = RecordFromFont(f);
  EXPECT_EQ(back.height, 260);
  EXPECT_EQ(back.weight, 700);
  EXPECT_EQ(back.options, FontRecord::kBold | FontRecord::kItalic | FontRecord::kStrikeOut);
  EXPECT_EQ(back.underline, 1);
  EXPECT_EQ(back.charset, 0);
  EXPECT_EQ(back.colour, 10);
  EXPECT_EQ(FontFromRecord(back), f);
  f.colour = kAutomaticColour;
  EXPECT_EQ(RecordFromFont(f).colour, 0x7FFF);
}

TEST(StyleMapping, XfFieldsBecomeStyleFields) {
  XfRecord x = defaults::Xfs()[15];
  x.font = 5;
  x.format = 14;
  x.horzAlign = 6;  // centre across selection becomes centre
  x.vertAlign = 1;
  x.wrap = true;
  x.shrink = true;
  x.lineStyle = {1, 2, 3, 14};  // left, right, top, bottom
  x.lineColour = {0, 10, 64, 8};
  XfStyle s = StyleFromXf(x, 6, nullptr);
  EXPECT_EQ(s.font, 4u);  // index 4 does not exist in the file
  EXPECT_EQ(s.format, 14);
  EXPECT_EQ(s.horzAlign, 2);
  EXPECT_EQ(s.vertAlign, 1);
  EXPECT_EQ(s.wordWrap, 1);
  EXPECT_EQ(s.flags, XfStyle::kLocked | XfStyle::kShrink);
  EXPECT_EQ(s.edges[XfStyle::kLeft], (XfStyle::Edge{1, kAutomaticColour}));
  EXPECT_EQ(s.edges[XfStyle::kRight], (XfStyle::Edge{2, 2}));
  EXPECT_EQ(s.edges[XfStyle::kTop], (XfStyle::Edge{3, 56}));
  EXPECT_EQ(s.edges[XfStyle::kBottom], (XfStyle::Edge{0, 0}));
  EXPECT_EQ(s.colours, (std::array<uint16_t, 2>{kAutomaticColour, kAutomaticColour}));
  // A font index beyond those read gives the last font.
  x.font = 40;
  EXPECT_EQ(StyleFromXf(x, 6, nullptr).font, 5u);
}

TEST(StyleMapping, CustomFormatsGoThroughTheLookup) {
  XfRecord x = defaults::Xfs()[15];
  x.format = 170;
  EXPECT_EQ(
      StyleFromXf(x, 1, [](uint16_t i) { return i == 170 ? uint16_t{22} : uint16_t{0}; }).format,
      22);
  EXPECT_EQ(StyleFromXf(x, 1, [](uint16_t) { return uint16_t{0}; }).format, 0);
  x.format = 49;
  EXPECT_EQ(StyleFromXf(x, 1, [](uint16_t) { return uint16_t{7}; }).format, 49);
}

// Every book pattern is written as the file pattern of the same look (the file's numbers as
// other readers draw them) and reads back as itself with both colours.
TEST(StyleMapping, FillPatternsAndColours) {
  struct Case {
    uint8_t book;
    uint8_t file;
    const char* look;
  };
  const Case cases[] = {
      {0, 1, "solid"},
      {1, 3, "75% grey"},
      {2, 2, "50% grey"},
      {3, 4, "25% grey"},
      {4, 17, "12.5% grey"},
      {5, 18, "6.25% grey"},
      {6, 5, "thick horizontal stripes"},
      {7, 6, "thick vertical stripes"},
      {8, 7, "thick reverse diagonal stripes"},
      {9, 8, "thick diagonal stripes"},
      {10, 9, "thick diagonal crosshatch"},
      {11, 10, "thick crosshatch"},
      {12, 11, "thin horizontal stripes"},
      {13, 12, "thin vertical stripes"},
      {14, 13, "thin reverse diagonal stripes"},
      {15, 14, "thin diagonal stripes"},
      {16, 15, "thin horizontal crosshatch"},
      {17, 16, "thin diagonal crosshatch"},
  };
  for (const Case& c : cases) {
    XfStyle s;
    s.pattern = c.book;
    s.colours = {3, 12};  // foreground, background
    const XfRecord x = XfFromStyle(s, 0);
    EXPECT_EQ(x.pattern, c.file) << c.look;
    // Solid paints the background colour, which the file keeps as the pattern colour.
    EXPECT_EQ(x.patternColour, c.book == 0 ? 20 : 11) << c.look;
    EXPECT_EQ(x.patternBackground, c.book == 0 ? 11 : 20) << c.look;
    const XfStyle back = StyleFromXf(x, 1, nullptr);
    EXPECT_EQ(back.pattern, c.book) << c.look;
    EXPECT_EQ(back.colours, s.colours) << c.look;
  }
  // No fill, and patterns the table does not know, read as solid in the default colours.
  XfRecord x = defaults::Xfs()[15];
  x.pattern = 0;
  x.patternColour = 10;
  EXPECT_EQ(StyleFromXf(x, 1, nullptr).colours, (std::array<uint16_t, 2>{57, 57}));
  x.pattern = 19;
  EXPECT_EQ(StyleFromXf(x, 1, nullptr).pattern, 0);
  // A solid file fill in the system colours reads as the default fill colour.
  x.pattern = 1;
  x.patternColour = 64;
  x.patternBackground = 65;
  XfStyle s = StyleFromXf(x, 1, nullptr);
  EXPECT_EQ(s.pattern, 0);
  EXPECT_EQ(s.colours, (std::array<uint16_t, 2>{57, 56}));
}

TEST(StyleMapping, StylesRoundTripThroughAnXf) {
  XfStyle s;
  s.format = 4;
  s.horzAlign = 3;
  s.vertAlign = 0;
  s.wordWrap = 1;
  s.flags = XfStyle::kShrink;  // not locked
  s.pattern = 5;
  s.colours = {12, 3};
  s.edges[XfStyle::kLeft] = {1, 0};
  s.edges[XfStyle::kTop] = {2, 20};
  s.edges[XfStyle::kRight] = {5, 55};
  s.edges[XfStyle::kBottom] = {13, 8};
  XfRecord x = XfFromStyle(s, 6);
  EXPECT_EQ(x.font, 6);
  EXPECT_FALSE(x.locked);
  EXPECT_TRUE(x.shrink);
  EXPECT_FALSE(x.merge);  // shrink-to-fit is not the merge bit
  EXPECT_EQ(x.usedAttributes, 0x3F);
  EXPECT_EQ(x.pattern, FillPatternTable()[5]);
  EXPECT_EQ(x.patternColour, 20);
  EXPECT_EQ(x.patternBackground, 11);
  EXPECT_EQ(x.lineStyle, (std::array<uint8_t, 4>{1, 5, 2, 13}));
  XfStyle back = StyleFromXf(x, 7, nullptr);
  back.font = s.font;
  EXPECT_EQ(back, s);
}

TEST(StyleMapping, EmptyFillInDefaultColoursKeepsTheTemplate) {
  XfStyle s;  // pattern 0, colours automatic
  XfRecord x = XfFromStyle(s, 0);
  EXPECT_EQ(x.pattern, 0);
  EXPECT_EQ(x.patternColour, 64);
  EXPECT_EQ(x.patternBackground, 65);
  s.colours = {56, 1};  // pattern 0 swaps: foreground 1 (index 9), background 56
  x = XfFromStyle(s, 0);
  EXPECT_EQ(x.patternColour, 64);
  s.colours = {3, 4};  // a real colour: a solid fill of the background colour 4
  x = XfFromStyle(s, 0);
  EXPECT_EQ(x.pattern, 1);
  EXPECT_EQ(x.patternColour, 12);
  EXPECT_EQ(x.patternBackground, 11);
}

}  // namespace
}  // namespace xls
