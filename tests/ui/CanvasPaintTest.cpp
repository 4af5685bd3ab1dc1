// Fills, border lines, corner joins, free lines, clips and images on the image canvas: each
// picture is compared with its golden file, and the facts each picture is meant to show are
// also checked pixel by pixel from the tables, so a wrong golden cannot hide a fault.
#include <gtest/gtest.h>

#include "CanvasTestSupport.h"
#include "GoldenImage.h"
#include "ui/ToolbarImages.h"

namespace ui {
namespace {

using namespace ui::testing;

// Six swatches a row, 20 x 14 pixels, 4 pixels apart, red pattern on yellow.
Rect Swatch(int i) { return Rect::FromSize(4 + (i % 6) * 24, 4 + (i / 6) * 18, 20, 14); }

TEST(CanvasFill, EighteenPatternSwatches) {
  Surface s(148, 58);
  for (int i = 0; i < kFillPatternCount; ++i)
    s.canvas->FillPattern(Swatch(i), static_cast<FillPattern>(i), kRed, kYellow);
  const Image& image = s.Finish();
  for (int i = 0; i < kFillPatternCount; ++i) {
    const Rect r = Swatch(i);
    const PatternBits& bits = FillPatternBits(static_cast<FillPattern>(i));
    for (int y = r.top - 1; y <= r.bottom; ++y)
      for (int x = r.left - 1; x <= r.right; ++x) {
        // Inside: the bitmap at device coordinates; the pixel ring around it untouched.
        const Rgba want = !r.Contains({x, y})                  ? kOpaqueWhite
                          : PatternBitIsBackground(bits, x, y) ? Opaque(kYellow)
                                                               : Opaque(kRed);
        ASSERT_EQ(image.At(x, y), want) << "pattern " << i << " at " << x << "," << y;
      }
  }
  ExpectMatchesGolden(image, "fill_swatches");
}

TEST(CanvasFill, PatternsAlignToTheDeviceOriginWhateverTheLogicalOrigin) {
  Surface a(24, 24), b(24, 24);
  a.canvas->FillPattern(Rect{0, 0, 24, 24}, FillPattern::ThinDiagonalStrip, kRed, kYellow);
  b.canvas->PushOrigin(Point{3, 5});
  b.canvas->FillPattern(Rect{-3, -5, 21, 19}, FillPattern::ThinDiagonalStrip, kRed, kYellow);
  // Two fills meeting inside: no seam.
  b.canvas->FillPattern(Rect{2, -5, 21, 19}, FillPattern::ThinDiagonalStrip, kRed, kYellow);
  EXPECT_EQ(a.Finish(), b.Finish());
}

// Fifteen styles: a horizontal line across a filled cell, and a vertical one.
TEST(CanvasLines, EveryEdgeStyleOverAFill) {
  Surface s(168, 15 * 10 + 4);
  for (int i = 0; i < kLineStyleCount; ++i) {
    const int y = 2 + i * 10;
    s.canvas->FillRect(Rect{2, y, 120, y + 8}, kPaleGreen);
    s.canvas->DrawEdge(
        Rect{2, y + 3, 120, y + 3 + LineStyleOf(static_cast<LineStyle>(i)).thickness},
        static_cast<LineStyle>(i), Orientation::Horizontal, kNavy, kPaleGreen);
  }
  for (int i = 0; i < kLineStyleCount; ++i) {
    const int x = 124 + (i % 5) * 9, y = 2 + (i / 5) * 50;
    s.canvas->FillRect(Rect{x, y, x + 8, y + 46}, kPaleGreen);
    s.canvas->DrawEdge(
        Rect{x + 3, y, x + 3 + LineStyleOf(static_cast<LineStyle>(i)).thickness, y + 46},
        static_cast<LineStyle>(i), Orientation::Vertical, kNavy, kPaleGreen);
  }
  const Image& image = s.Finish();
  // Each band of each horizontal line shows its dash pattern from the device origin, gaps in
  // the fill colour; no line leaks above or below its side rectangle.
  for (int i = 0; i < kLineStyleCount; ++i) {
    const LineStyleInfo& info = LineStyleOf(static_cast<LineStyle>(i));
    const int y = 2 + i * 10;
    EXPECT_EQ(image.At(60, y + 2), Opaque(kPaleGreen)) << "style " << i << " leaks above";
    EXPECT_EQ(image.At(60, y + 3 + info.thickness), Opaque(kPaleGreen))
        << "style " << i << " leaks below";
    int row = y + 3;
    for (int b = 0; b < info.bandCount; ++b)
      for (int w = 0; w < info.bands[b].width; ++w, ++row) {
        const std::string_view dash = DashPattern(info.bands[b].dash);
        for (int x = 2; x < 120; ++x)
          ASSERT_EQ(image.At(x, row), Opaque(dash[x % dash.size()] == '1' ? kNavy : kPaleGreen))
              << "style " << i << " band " << b << " at " << x << "," << row;
      }
  }
  // A vertical double line is line, gap, line from left to right.
  const int dx = 124 + (int(LineStyle::Double) % 5) * 9 + 3,
            dy = 2 + (int(LineStyle::Double) / 5) * 50 + 10;
  EXPECT_EQ(image.At(dx, dy), Opaque(kNavy));
  EXPECT_EQ(image.At(dx + 1, dy), Opaque(kPaleGreen));
  EXPECT_EQ(image.At(dx + 2, dy), Opaque(kNavy));
  ExpectMatchesGolden(image, "line_styles");
}

TEST(CanvasLines, CornerJoinsOfThickAndDoubleFrames) {
  using S = LineStyle;
  Surface s(150, 60);
  s.canvas->FillRect(Rect{0, 0, 150, 60}, kPaleGreen);
  // Four boxes: double frame, thick frame, medium top and bottom with thick sides, and a
  // 2 x 2 block of double lines (T joints and a cross in the middle).
  auto box = [](int x, int y, S top, S side) {
    return BorderGrid{{x, x + 24}, {y, y + 20}, {{top}, {top}}, {{side}, {side}}};
  };
  box(6, 6, S::Double, S::Double).Paint(*s.canvas, kNavy, kPaleGreen);
  box(40, 6, S::Thick, S::Thick).Paint(*s.canvas, kNavy, kPaleGreen);
  box(74, 6, S::Medium, S::Thick).Paint(*s.canvas, kNavy, kPaleGreen);
  BorderGrid block{{108, 122, 136},
                   {6, 20, 34},
                   {{S::Double, S::Double}, {S::Double, S::Double}, {S::Double, S::Double}},
                   {{S::Double, S::Double}, {S::Double, S::Double}, {S::Double, S::Double}}};
  block.Paint(*s.canvas, kNavy, kPaleGreen);
  box(6, 36, S::Thick, S::Thin).Paint(*s.canvas, kNavy, kPaleGreen);
  box(40, 36, S::Double, S::Thick).Paint(*s.canvas, kNavy, kPaleGreen);
  const Image& image = s.Finish();

  // The double frame's top-left corner, around grid pixel (6, 6): a closed outer and inner
  // frame with the gap turning the corner ('#' line, '.' gap or fill).
  const char* corner[] = {
      "#####",  // y = 5, x = 5..9
      "#....",  // y = 6
      "#.###",  // y = 7
      "#.#..",  // y = 8
  };
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 5; ++c)
      EXPECT_EQ(image.At(5 + c, 5 + r), Opaque(corner[r][c] == '#' ? kNavy : kPaleGreen))
          << "double corner at " << 5 + c << "," << 5 + r;
  // The thick frame's corner is square: the 3 x 3 corner block is all line.
  for (int y = 5; y <= 7; ++y)
    for (int x = 39; x <= 41; ++x) EXPECT_EQ(image.At(x, y), Opaque(kNavy)) << x << "," << y;
  EXPECT_EQ(image.At(38, 5), Opaque(kPaleGreen));
  ExpectMatchesGolden(image, "corner_joins");
}

TEST(CanvasLines, PenLinesCoverThePixelsBetweenTheirPoints) {
  struct Case {
    Point a, b;
    Pen pen;
    Rect covered;  // the pixels painted (solid pens)
  };
  const Case cases[] = {
      {{2, 3}, {9, 3}, {kRed, 1}, Rect{2, 3, 9, 4}},   // forwards: b excluded
      {{9, 3}, {2, 3}, {kRed, 1}, Rect{3, 3, 10, 4}},  // backwards: a included, b excluded
      {{4, 1}, {4, 8}, {kRed, 1}, Rect{4, 1, 5, 8}},   // vertical
      {{1, 5}, {7, 5}, {kRed, 2}, Rect{1, 5, 7, 7}},   // wider pens grow down
      {{6, 2}, {6, 9}, {kRed, 3}, Rect{6, 2, 9, 9}},   // and to the right
      {{3, 3}, {3, 3}, {kRed, 1}, Rect{}},             // a point draws nothing
  };
  for (const auto& c : cases) {
    Surface s(12, 12);
    s.canvas->DrawLine(c.a, c.b, c.pen);
    const Image& image = s.Finish();
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 12; ++x)
        ASSERT_EQ(image.At(x, y), c.covered.Contains({x, y}) ? Opaque(kRed) : kOpaqueWhite)
            << c.a.x << "," << c.a.y << " -> " << c.b.x << "," << c.b.y << " at " << x << "," << y;
  }
  // A dotted pen paints every other pixel counted from the device origin, leaving the others.
  Surface s(12, 4);
  s.canvas->PushOrigin(Point{1, 0});
  s.canvas->DrawLine(Point{0, 1}, Point{10, 1}, Pen{kRed, 1, PenStyle::Dot});
  const Image& image = s.Finish();
  for (int x = 1; x < 11; ++x)
    EXPECT_EQ(image.At(x, 1), x % 2 == 0 ? Opaque(kRed) : kOpaqueWhite) << x;
}

TEST(CanvasClip, NestedClipsIntersectAndPopRestores) {
  Surface s(64, 48);
  Canvas& c = *s.canvas;
  c.PushClip(Rect{8, 8, 40, 40});   // A
  c.PushClip(Rect{24, 0, 60, 32});  // B, partly outside A
  EXPECT_EQ(c.ClipRect(), (Rect{24, 8, 40, 32}));
  c.FillRect(Rect{0, 0, 64, 48}, kRed);  // only A and B
  c.PopClip();
  c.PushOrigin(Point{4, 4});
  c.PushClip(Rect{0, 30, 60, 60});  // device y >= 34, still inside A
  EXPECT_EQ(c.ClipRect(), (Rect{4, 30, 36, 36}));
  c.FillRect(Rect{-4, -4, 60, 60}, kNavy);
  c.PopClip();
  c.PopOrigin();
  c.PopClip();
  c.PopClip();  // one pop too many is ignored
  EXPECT_EQ(c.ClipRect(), (Rect{0, 0, 64, 48}));
  c.FillRect(Rect{60, 44, 70, 50}, kYellow);  // clipped to the surface
  const Image& image = s.Finish();
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      Rgba want = kOpaqueWhite;
      if (Rect{24, 8, 40, 32}.Contains({x, y})) want = Opaque(kRed);
      if (Rect{8, 34, 40, 40}.Contains({x, y})) want = Opaque(kNavy);
      if (Rect{60, 44, 64, 48}.Contains({x, y})) want = Opaque(kYellow);
      ASSERT_EQ(image.At(x, y), want) << x << "," << y;
    }
  ExpectMatchesGolden(image, "nested_clips");
}

TEST(CanvasImage, BlitsBlendByAlphaAndHonourTheClip) {
  Image sprite(4, 4);
  sprite.Fill(Rgba{0, 0, 255, 255});
  sprite.Set(0, 0, Rgba{0, 0, 0, 0});      // transparent
  sprite.Set(1, 0, Rgba{255, 0, 0, 128});  // half red
  Surface s(10, 10);
  s.canvas->FillRect(Rect{0, 0, 10, 10}, kYellow);
  s.canvas->PushClip(Rect{0, 0, 10, 5});
  s.canvas->DrawImage(sprite, Point{2, 2});                    // rows 2..4 visible
  s.canvas->DrawImage(sprite, Rect{2, 2, 4, 4}, Point{7, 0});  // a 2 x 2 part
  const Image& image = s.Finish();
  EXPECT_EQ(image.At(2, 2), Opaque(kYellow));
  const Rgba half = image.At(3, 2);
  EXPECT_EQ(half.a, 255);
  EXPECT_NEAR(half.r, 255, 1);
  EXPECT_NEAR(half.g, 127, 2);  // yellow's green halved under half-covering red
  EXPECT_NEAR(half.b, 0, 1);
  EXPECT_EQ(image.At(4, 4), (Rgba{0, 0, 255, 255}));
  EXPECT_EQ(image.At(4, 5), Opaque(kYellow)) << "drawn outside the clip";
  EXPECT_EQ(image.At(7, 0), (Rgba{0, 0, 255, 255}));
  EXPECT_EQ(image.At(9, 0), Opaque(kYellow)) << "more than the source part drawn";
}

TEST(CanvasImage, ToolbarStrip) {
  Surface s(kToolbarImageCount * 18 + 2, 20);
  s.canvas->FillRect(Rect{0, 0, kToolbarImageCount * 18 + 2, 20}, Color{0xEE, 0xEE, 0xEC});
  for (int i = 0; i < kToolbarImageCount; ++i)
    s.canvas->DrawImage(ToolbarImageOf(static_cast<ToolbarImage>(i)), Point{2 + i * 18, 2});
  ExpectMatchesGolden(s.Finish(), "toolbar_images");
}

}  // namespace
}  // namespace ui
