// Text on the image canvas: alignment in a rectangle, clipping, word breaking, decorations,
// and agreement between painted and measured widths. The ink of each text is located in the
// picture and compared with where the layout says it must be.
#include <gtest/gtest.h>

#include "CanvasTestSupport.h"
#include "GoldenImage.h"

namespace ui {
namespace {

using namespace ui::testing;

// The bounding box of non-white pixels inside r (empty when there are none).
Rect Ink(const Image& image, const Rect& r) {
  Rect box{r.right, r.bottom, r.left, r.top};
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (!(image.At(x, y) == kOpaqueWhite)) {
        box.left = std::min(box.left, x);
        box.top = std::min(box.top, y);
        box.right = std::max(box.right, x + 1);
        box.bottom = std::max(box.bottom, y + 1);
      }
  return box.IsEmpty() ? Rect{} : box;
}

Font TestFont() {
  Font f;
  f.name = "Arial";
  f.size = 10;
  return f;
}

TEST(CanvasText, NineAlignmentsInTheirRectangles) {
  const Font font = TestFont();
  Surface s(3 * 70, 3 * 40);
  const HorzAlign hs[] = {HorzAlign::Left, HorzAlign::Center, HorzAlign::Right};
  const VertAlign vs[] = {VertAlign::Top, VertAlign::Center, VertAlign::Bottom};
  auto cell = [](int col, int row) { return Rect::FromSize(col * 70 + 4, row * 40 + 4, 62, 32); };
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col) {
      TextFormat f;
      f.horz = hs[col];
      f.vert = vs[row];
      s.canvas->DrawText(cell(col, row), "Wg", font, colors::kBlack, f);
    }
  const int width = s.canvas->TextWidth(font, "Wg");
  const platform::TextMetrics m = s.canvas->FontMetrics(font);
  const Image& image = s.Finish();
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col) {
      const Rect r = cell(col, row);
      const Rect ink = Ink(image, r.Inflate(3));
      ASSERT_FALSE(ink.IsEmpty()) << col << "," << row;
      // The line's cell as the layout places it; glyph ink lies inside it, give or take the
      // side bearings of W and g.
      const int x = col == 0   ? r.left
                    : col == 1 ? r.left + (r.Width() - width) / 2
                               : r.right - width;
      const int y = row == 0   ? r.top
                    : row == 1 ? r.top + (r.Height() - m.height) / 2
                               : r.bottom - m.height;
      EXPECT_NEAR(ink.left, x, 2) << col << "," << row;
      EXPECT_NEAR(ink.right, x + width, 2) << col << "," << row;
      EXPECT_GE(ink.top, y) << col << "," << row;
      EXPECT_LE(ink.bottom, y + m.height) << col << "," << row;
      EXPECT_GT(ink.bottom, y + m.ascent) << "the g descends below the baseline";
    }
  ExpectMatchesGolden(image, "text_alignment");
}

TEST(CanvasText, ClippedToItsRectangleAndToTheClipStack) {
  const Font font = TestFont();
  Surface s(120, 60);
  const Rect box{10, 10, 50, 24};
  s.canvas->DrawText(box, "A text far wider than its box", font, colors::kBlack, TextFormat{});
  // Not clipped to its rectangle, but to a pushed clip.
  TextFormat loose;
  loose.clip = false;
  s.canvas->PushClip(Rect{0, 30, 70, 60});
  s.canvas->DrawText(Rect{10, 36, 30, 50}, "Overflowing text", font, colors::kBlack, loose);
  s.canvas->PopClip();
  const Image& image = s.Finish();
  const Rect ink1 = Ink(image, Rect{0, 0, 120, 28});
  EXPECT_GE(ink1.left, box.left);
  EXPECT_EQ(ink1.right, box.right) << "the text must reach the box edge and stop there";
  EXPECT_GE(ink1.top, box.top);
  EXPECT_LE(ink1.bottom, box.bottom);
  const Rect ink2 = Ink(image, Rect{0, 28, 120, 60});
  EXPECT_EQ(ink2.right, 70) << "overflow runs past its rectangle up to the clip";
  ExpectMatchesGolden(image, "text_clipped");
}

TEST(CanvasText, WordBreakingIntoARectangle) {
  const Font font = TestFont();
  Surface s(100, 90);
  TextFormat f;
  f.wordBreak = true;
  f.horz = HorzAlign::Center;
  const Rect box{5, 5, 95, 85};
  const std::string text = "Word breaking puts as many words on a line as fit. Extraordinarily";
  const auto lines = s.canvas->TextLines(font, text, box.Width(), f);
  const int height = s.canvas->DrawText(box, text, font, colors::kBlack, f);
  const int lineHeight = s.canvas->FontMetrics(font).height;
  const Image& image = s.Finish();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(height, static_cast<int>(lines.size()) * lineHeight);
  // Every line has ink in its own band, centred, within the box.
  for (size_t i = 0; i < lines.size(); ++i) {
    const Rect band{0, box.top + static_cast<int>(i) * lineHeight, 100,
                    box.top + static_cast<int>(i + 1) * lineHeight};
    const Rect ink = Ink(image, band);
    ASSERT_FALSE(ink.IsEmpty()) << "line " << i << " \"" << lines[i] << "\"";
    EXPECT_GE(ink.left, box.left) << i;
    EXPECT_LE(ink.right, box.right) << i;
    EXPECT_NEAR((ink.left + ink.right) / 2.0, (box.left + box.right) / 2.0, 2.5) << i;
  }
  ExpectMatchesGolden(image, "text_word_break");
}

TEST(CanvasText, PaintedAsWideAsMeasuredAndDecorated) {
  Font font = TestFont();
  font.underline = true;
  font.strikeOut = true;
  Surface s(400, 20);
  const std::string text = "iiiiiiiiiiWWWWWWWWWW mmmmmmmmmm 0123456789";
  s.canvas->TextOut(Point{2, 2}, text, font, colors::kBlack);
  const int width = s.canvas->TextWidth(font, text);
  const platform::TextMetrics m = s.canvas->FontMetrics(font);
  const Image& image = s.Finish();
  // Glyphs placed at their measured advances: a drift of one pixel a character would show
  // as many pixels over forty characters.
  const Rect ink = Ink(image, Rect{0, 0, 400, 20});
  EXPECT_EQ(ink.left, 2);  // the underline starts at the text's origin
  EXPECT_EQ(ink.right, 2 + width);
  // Underline and strike-out rows run the whole width.
  for (int y : {2 + m.ascent + 1, 2 + m.ascent - m.ascent / 3})
    for (int x = 2; x < 2 + width; ++x)
      ASSERT_EQ(image.At(x, y), (Rgba{0, 0, 0, 255})) << x << "," << y;
}

}  // namespace
}  // namespace ui
