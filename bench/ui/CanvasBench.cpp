// Canvas costs: a full paint of a 1280 x 800 grid-like picture (fills, border lines, aligned
// texts, some patterned cells) into an image, and the primitives it is made of.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "ui/Canvas.h"

namespace {

using namespace ui;

constexpr Color kPaper{255, 255, 240};
constexpr Color kGrid{192, 192, 192};

void PaintGrid(Canvas& c, const std::vector<std::string>& texts) {
  Font font;
  font.name = "Arial";
  font.size = 10;
  for (int row = 0; row < 40; ++row)
    for (int col = 0; col < 20; ++col) {
      const Rect r = Rect::FromSize(col * 64, row * 20, 64, 20);
      const bool patterned = (row + col) % 7 == 0;
      c.FillPattern(r, patterned ? FillPattern::Gray50 : FillPattern::Solid, Color{200, 0, 0},
                    kPaper);
      c.DrawEdge(Rect{r.left, r.bottom - 1, r.right, r.bottom},
                 col % 3 ? LineStyle::Default : LineStyle::Dashed, Orientation::Horizontal,
                 col % 3 ? kGrid : colors::kBlack, kPaper);
      c.DrawEdge(Rect{r.right - 1, r.top, r.right, r.bottom}, LineStyle::Default,
                 Orientation::Vertical, kGrid, kPaper);
      TextFormat format;
      format.vert = VertAlign::Center;
      format.horz = col % 2 ? HorzAlign::Right : HorzAlign::Left;
      c.DrawText(r.Inflate(-2), texts[row * 20 + col], font, colors::kBlack, format);
    }
}

void BM_FullPaint1280x800(benchmark::State& state) {
  Image image(1280, 800);
  std::vector<std::string> texts;
  for (int i = 0; i < 800; ++i) texts.push_back("Cell " + std::to_string(i));
  for (auto _ : state) {
    auto canvas = CreateImageCanvas(image);
    PaintGrid(*canvas, texts);
  }
}
BENCHMARK(BM_FullPaint1280x800)->Unit(benchmark::kMillisecond);

void BM_PatternFill(benchmark::State& state) {
  Image image(256, 256);
  auto canvas = CreateImageCanvas(image);
  int i = 0;
  for (auto _ : state)
    canvas->FillPattern(Rect{0, 0, 64, 20}, static_cast<FillPattern>(1 + i++ % 17),
                        Color{200, 0, 0}, kPaper);
}
BENCHMARK(BM_PatternFill);

void BM_ShortText(benchmark::State& state) {
  Image image(256, 64);
  auto canvas = CreateImageCanvas(image);
  Font font;
  for (auto _ : state) canvas->TextOut(Point{2, 2}, "12,345.67", font, colors::kBlack);
}
BENCHMARK(BM_ShortText);

}  // namespace

BENCHMARK_MAIN();
