// Full repaints of a 1280 x 800 workbook control on the image canvas: a formatted sheet at the
// top, the same view scrolled to row 60,000 of a sheet of 1,000,000 cells, and a sheet of 100
// cells; hit testing and scroll-into-view far down. Painting should cost what is visible, not
// what the sheet holds.
#include <benchmark/benchmark.h>

#include <string>

#include "ui/Form.h"
#include "ui/Image.h"
#include "view/BookControl.h"
#include "view/TSpreadSheetBook.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSSCellStyle.h"

namespace {

struct View {
  explicit View(int32_t rows, int32_t cols) : form(0, "Bench") {
    form.SetBounds(ui::Rect{0, 0, 1280, 800});
    control = &form.Add<view::BookControl>(book);
    control->SetBounds(ui::Rect{0, 0, 1280, 800});
    workbook::TSSBookSheet& sheet = *book.ActiveSheet();
    book.BeginUpdate();
    for (int32_t r = 0; r < rows; ++r)
      for (int32_t c = 0; c < cols; ++c) sheet.Storage().StoreCellValue(c, r, r * 0.5 + c);
    // Formatting on the first screen and around row 60,000: fills, borders, fonts, merged
    // areas and overflowing texts.
    for (int32_t base : {0, 60000}) {
      for (int32_t r = base; r < base + 40; r += 3)
        for (int32_t c = 0; c < 14; c += 2) {
          auto cell = sheet.CellObject(c, r);
          cell->Style().Brush().SetAll(static_cast<workbook::TSSFillStyle>((r + c) % 18), 5, 2);
          cell->Style().Borders().Bottom().SetAll(
              static_cast<workbook::TSSEdgeLineStyle>(1 + c % 13), 4);
          cell->Style().Font().SetStyle(c % 4 == 0 ? workbook::kFontBold : 0);
        }
      for (int32_t r = base + 1; r < base + 40; r += 6) {
        sheet.CellObject(15, r)->SetText("A text that runs over its empty neighbours");
        sheet.MergeCells(workbook::TRect{18, r, 19, r + 1}, true);
        sheet.CellObject(18, r)->SetText("Merged");
      }
    }
    book.EndUpdate();
    control->BookChanged();
  }
  view::TSpreadSheetBook book;
  ui::Form form;
  view::BookControl* control = nullptr;
};

void Repaint(benchmark::State& state, View& v) {
  ui::Image image(1280, 800);
  auto canvas = ui::CreateImageCanvas(image);
  for (auto _ : state) v.control->Paint(*canvas);
}

void BM_RepaintFormattedTop(benchmark::State& state) {
  View v(100, 50);  // 5,000 cells, the first screen formatted
  Repaint(state, v);
}
BENCHMARK(BM_RepaintFormattedTop)->Unit(benchmark::kMillisecond);

void BM_RepaintRow60000Of1MCells(benchmark::State& state) {
  View v(62500, 16);  // 1,000,000 cells
  v.control->ScrollTo(workbook::TPoint{0, 60000});
  Repaint(state, v);
}
BENCHMARK(BM_RepaintRow60000Of1MCells)->Unit(benchmark::kMillisecond);

void BM_Repaint100Cells(benchmark::State& state) {
  View v(10, 10);
  Repaint(state, v);
}
BENCHMARK(BM_Repaint100Cells)->Unit(benchmark::kMillisecond);

void BM_HitTestAndScrollIntoViewAtRow60000(benchmark::State& state) {
  View v(62500, 16);
  int32_t row = 60000;
  for (auto _ : state) {
    v.control->ScrollIntoView(3, row);
    benchmark::DoNotOptimize(v.control->HitTest(ui::Point{400, 300}));
    row = row == 60000 ? 60100 : 60000;
  }
}
BENCHMARK(BM_HitTestAndScrollIntoViewAtRow60000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
