// Text layout and the drawing decisions of Canvas, read from a recording canvas with fixed
// metrics (13-pixel em: lines 16 pixels high, characters 9 pixels wide), so the expected
// positions are plain arithmetic and need no font files.
#include <gtest/gtest.h>

#include "ui/RecordingCanvas.h"

namespace ui {
namespace {

struct TextCase {
  const char* what;
  Rect rect;
  const char* text;
  TextFormat format;
  const char* transcript;
};

TextFormat Format(HorzAlign h, VertAlign v, bool wordBreak = false, bool clip = true) {
  TextFormat f;
  f.horz = h;
  f.vert = v;
  f.wordBreak = wordBreak;
  f.clip = clip;
  return f;
}

TEST(CanvasLayout, TextLinesArePlacedWhereTheLayoutSays) {
  using H = HorzAlign;
  using V = VertAlign;
  const TextCase cases[] = {
      {"right bottom",
       {10, 10, 110, 42},
       "abc",
       Format(H::Right, V::Bottom),
       "Text 83,26 27x16 #000000 \"abc\"\n"},
      {"centre centre",
       {10, 10, 110, 42},
       "abc",
       Format(H::Center, V::Center),
       "Text 46,18 27x16 #000000 \"abc\"\n"},
      {"line feeds, CR LF and LF",
       {0, 0, 100, 60},
       "ab\r\ncd\nef",
       Format(H::Left, V::Top),
       "Text 0,0 18x16 #000000 \"ab\"\nText 0,16 18x16 #000000 \"cd\"\nText 0,32 18x16 #000000 "
       "\"ef\"\n"},
      {"word break at the width",
       {0, 0, 70, 60},
       "aaa bbb ccc",
       Format(H::Left, V::Top, true),
       "Text 0,0 63x16 #000000 \"aaa bbb\"\nText 0,16 27x16 #000000 \"ccc\"\n"},
      {"lines below the clip are skipped",
       {0, 0, 100, 16},
       "a\nb\nc",
       Format(H::Left, V::Top),
       "Text 0,0 9x16 #000000 \"a\"\n"},
      {"centred block taller than its rectangle",
       {0, 0, 100, 16},
       "a\nb\nc",
       Format(H::Left, V::Center),
       "Text 0,0 9x16 #000000 \"b\"\n"},
      {"centred text wider than its rectangle starts left of it",
       {20, 0, 38, 16},
       "abcd",
       Format(H::Center, V::Top),
       "Text 11,0 36x16 #000000 \"abcd\"\n"},
  };
  const auto metrics = platform::CreateEstimatedFontMetrics(platform::FontDescription{});
  for (const auto& c : cases) {
    RecordingCanvas canvas(Size{200, 100}, metrics.get());
    canvas.DrawText(c.rect, c.text, Font{}, colors::kBlack, c.format);
    EXPECT_EQ(canvas.Transcript(), c.transcript) << c.what;
    for (const auto& call : canvas.Calls())
      EXPECT_EQ(call.clip, c.rect.Intersect(Rect{0, 0, 200, 100})) << c.what << ": clip";
  }
}

TEST(CanvasLayout, DecisionsBeforeTheBackend) {
  const auto metrics = platform::CreateEstimatedFontMetrics(platform::FontDescription{});
  RecordingCanvas canvas(Size{100, 100}, metrics.get());
  const Color red{255, 0, 0}, yellow{255, 255, 0};
  // Solid is all background bits: a plain fill in the background colour.
  canvas.FillPattern(Rect{0, 0, 4, 4}, FillPattern::Solid, red, yellow);
  // A double line: line, gap, line bands; the solid and the empty dash become plain fills.
  canvas.DrawEdge(Rect{0, 10, 20, 13}, LineStyle::Double, Orientation::Horizontal, red, yellow);
  canvas.DrawEdge(Rect{0, 20, 20, 22}, LineStyle::None, Orientation::Horizontal, red, yellow);
  // A dashed vertical line keeps its pattern, clipped to the surface.
  canvas.DrawEdge(Rect{98, 90, 101, 120}, LineStyle::Dashed, Orientation::Vertical, red, yellow);
  // Underline and strike-out as fills after the text.
  Font decorated;
  decorated.underline = true;
  decorated.strikeOut = true;
  canvas.TextOut(Point{5, 30}, "ab", decorated, colors::kBlack);
  // Fully clipped drawing records nothing.
  canvas.PushClip(Rect{50, 50, 50, 60});
  canvas.FillRect(Rect{0, 0, 100, 100}, red);
  canvas.TextOut(Point{50, 50}, "x", Font{}, red);
  canvas.PopClip();
  EXPECT_EQ(canvas.Transcript(),
            "FillRect 0,0 4x4 #FFFF00\n"
            "FillRect 0,10 20x1 #FF0000\n"
            "FillRect 0,11 20x1 #FFFF00\n"
            "FillRect 0,12 20x1 #FF0000\n"
            "FillDash 98,90 2x10 vertical 11101110 #FF0000 gap #FFFF00\n"
            "Text 5,30 18x16 #000000 \"ab\"\n"
            "FillRect 5,44 18x1 #000000\n"    // ascent 13 + 1
            "FillRect 5,39 18x1 #000000\n");  // ascent 13 - 13 / 3
}

}  // namespace
}  // namespace ui
