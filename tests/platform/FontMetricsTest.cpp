#include <gtest/gtest.h>

#include "platform/FontMetrics.h"

namespace platform {
namespace {

FontDescription Font(const std::string& face, int points, bool bold = false, bool italic = false) {
  FontDescription f;
  f.face = face;
  f.size = points;
  f.bold = bold;
  f.italic = italic;
  return f;
}

TEST(FontMetrics, RealFontsAreMeasured) {
  // The build machines have fonts for the usual faces; an estimate here means lost metrics.
  for (const char* face : {"Arial", "Tahoma", "MS Sans Serif"}) {
    const auto m = CreateFontMetrics(Font(face, 10));
    EXPECT_TRUE(m->IsMeasured()) << face;
    const TextMetrics t = m->Metrics();
    EXPECT_EQ(t.height, t.ascent + t.descent) << face;
    // A 10 pt font is 13 pixels at 96 dpi; its cell is a little taller.
    EXPECT_GE(t.height, 13) << face;
    EXPECT_LE(t.height, 20) << face;
    EXPECT_GT(t.descent, 0) << face;
  }
}

TEST(FontMetrics, HeightsAndWidthsGrowWithSize) {
  int lastHeight = 0, lastWidth = 0;
  for (int points : {6, 8, 10, 14, 20, 36}) {
    const auto m = CreateFontMetrics(Font("Arial", points));
    EXPECT_GT(m->Metrics().height, lastHeight) << points;
    const int width = m->TextWidth("The quick brown fox");
    EXPECT_GT(width, lastWidth) << points;
    lastHeight = m->Metrics().height;
    lastWidth = width;
  }
  // Pixel sizes are taken as they stand: 20 px is 15 pt at 96 dpi.
  FontDescription px = Font("Arial", 20);
  px.sizeInPixels = true;
  EXPECT_EQ(CreateFontMetrics(px)->Metrics().height,
            CreateFontMetrics(Font("Arial", 15))->Metrics().height);
}

TEST(FontMetrics, WidthsFollowTheText) {
  const auto regular = CreateFontMetrics(Font("Arial", 10));
  const auto bold = CreateFontMetrics(Font("Arial", 10, true));
  const std::string text = "Automatic row height";
  EXPECT_GT(bold->TextWidth(text), regular->TextWidth(text));
  EXPECT_EQ(regular->TextWidth(""), 0);
  // Proportional: a row of W is wider than a row of i.
  EXPECT_GT(regular->TextWidth("WWWWWWWWWW"), 2 * regular->TextWidth("iiiiiiiiii"));
  EXPECT_GT(regular->TextWidth("ab"), regular->TextWidth("a"));
  EXPECT_GT(CreateFontMetrics(Font("Arial", 10, false, true))->TextWidth(text), 0);
}

TEST(FontMetrics, LineBreaking) {
  const auto m = CreateFontMetrics(Font("Arial", 10));
  const std::string text = "a rather long text that needs several lines in a narrow column";
  const int full = m->TextWidth(text);
  EXPECT_EQ(BreakLines(*m, text, full).size(), 1u);
  const auto wide = BreakLines(*m, text, full / 2);
  const auto narrow = BreakLines(*m, text, full / 5);
  EXPECT_GE(wide.size(), 2u);
  EXPECT_GT(narrow.size(), wide.size());
  for (const auto& line : narrow) {
    EXPECT_LE(m->TextWidth(line), full / 5) << line;
    EXPECT_NE(line.front(), ' ');
  }
  // Line feeds end paragraphs, empty ones included; a long word breaks between characters.
  EXPECT_EQ(BreakLines(*m, "one\r\n\ntwo", 1000), (std::vector<std::string>{"one", "", "two"}));
  EXPECT_EQ(BreakLines(*m, "", 50).size(), 1u);
  const auto word = BreakLines(*m, "abcdefghijklmnopqrstuvwxyz", m->TextWidth("abcdefgh"));
  EXPECT_GE(word.size(), 3u);
  std::string joined;
  for (const auto& line : word) joined += line;
  EXPECT_EQ(joined, "abcdefghijklmnopqrstuvwxyz");
  // A width below one character still ends, one character a line.
  EXPECT_EQ(BreakLines(*m, "abc", 0).size(), 3u);
}

TEST(FontMetrics, EstimateAndSharedInstances) {
  const auto estimate = CreateEstimatedFontMetrics(Font("Arial", 10));
  EXPECT_FALSE(estimate->IsMeasured());
  EXPECT_EQ(estimate->Metrics().height, 16);  // 13 px em
  EXPECT_GT(CreateEstimatedFontMetrics(Font("Arial", 10, true))->TextWidth("ab"),
            estimate->TextWidth("ab"));
  EXPECT_GT(BreakLines(*estimate, "aaa bbb ccc", estimate->TextWidth("aaa")).size(), 2u);
  const FontMetrics& a = SharedFontMetrics(Font("Arial", 12));
  EXPECT_EQ(&a, &SharedFontMetrics(Font("Arial", 12)));
  EXPECT_NE(&a, &SharedFontMetrics(Font("Arial", 12, true)));
}

}  // namespace
}  // namespace platform
