// Range operations on large sheets: inserting a row at the top of 100,000 filled rows and
// undoing it, and sorting 100,000 rows by one column compared with a plain std::sort of the
// same values (the "sort_ratio" counter; the target is below 10).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <random>
#include <vector>

#include "ToolComposition.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/Workbook.h"

namespace {

using namespace workbook;

// The books of a command-line program; composed before Google Benchmark's main runs.
[[maybe_unused]] const bool kComposed = (tools::ComposeCommandLineTool(), true);

constexpr int32_t kRows = 100000;
constexpr int32_t kCols = 4;

void Fill(TSSBookSheet& sheet, std::vector<double>& values) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> dist(0, 1e6);
  values.clear();
  sheet.Book().History().Suspend();
  for (int32_t row = 0; row < kRows; ++row) {
    const double v = dist(random);
    values.push_back(v);
    sheet.Storage().StoreCellValue(0, row, v);
    for (int32_t col = 1; col < kCols; ++col)
      sheet.Storage().StoreCellValue(col, row, row * 10.0 + col);
  }
  sheet.Book().History().Resume();
}

void BM_InsertRowAtTopAndUndo(benchmark::State& state) {
  Workbook book;
  TSSBookSheet& sheet = *book.ActiveSheet();
  std::vector<double> values;
  Fill(sheet, values);
  for (auto _ : state) {
    sheet.InsertCells(TRect{0, 0, 0, 0}, 3);
    book.History().Undo();
  }
  if (sheet.Storage().CellNumber(0, 0) != values[0])
    state.SkipWithError("undo did not restore row 1");
  state.SetItemsProcessed(state.iterations() * kRows * kCols);
}
BENCHMARK(BM_InsertRowAtTopAndUndo)->Unit(benchmark::kMillisecond);

void BM_SortRows(benchmark::State& state) {
  Workbook book;
  TSSBookSheet& sheet = *book.ActiveSheet();
  std::vector<double> values;
  double sheetSeconds = 0, plainSeconds = 0;
  for (auto _ : state) {
    state.PauseTiming();
    book.History().Clear();
    Fill(sheet, values);
    std::vector<double> plain = values;
    state.ResumeTiming();
    // Processor time, so that other load on the machine does not skew the ratio.
    const std::clock_t t0 = std::clock();
    sheet.SortCells(TRect{0, 0, kCols - 1, kRows - 1}, {false});
    const std::clock_t t1 = std::clock();
    std::sort(plain.begin(), plain.end());
    const std::clock_t t2 = std::clock();
    sheetSeconds += static_cast<double>(t1 - t0) / CLOCKS_PER_SEC;
    plainSeconds += static_cast<double>(t2 - t1) / CLOCKS_PER_SEC;
    state.PauseTiming();
    for (int32_t row = 0; row < kRows; row += 997)
      if (sheet.Storage().CellNumber(0, row) != plain[static_cast<size_t>(row)])
        state.SkipWithError("sorted sheet differs from the sorted values");
    state.ResumeTiming();
  }
  state.counters["sheet_sort_s"] = sheetSeconds / static_cast<double>(state.iterations());
  state.counters["plain_sort_s"] = plainSeconds / static_cast<double>(state.iterations());
  state.counters["sort_ratio"] = plainSeconds > 0 ? sheetSeconds / plainSeconds : 0;
}
BENCHMARK(BM_SortRows)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
