// Time to the first preview page of a 10,000-row by 20-column formatted workbook on the
// headless canvas, against the print path of the same report in the same run.
//
// Usage: preview_bench [ROWS]
// The workbook is built in process with the formatting of bench/printing/print_bench.py:
// eight styles (two faces, bold, font colours, solid fills on every other style, borders of
// three weights, four number formats) cycling over the cells, a text column and a merged area
// every 500 rows. Measured, each once after one warm-up of the book:
//   - the first page shown: the link builds the report, the preview paginates and draws page
//     1, and the preview form is rendered on the headless canvas;
//   - the next 20 pages shown one after another (each drawn and rendered);
//   - the peers in the same run: the report built alone, and every page written to a PDF.
// The link counts its builds; more than one build for one preview fails the program, so the
// report is shown to be built once per preview, not per page drawn.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

#include "ToolComposition.h"
#include "printing/PagePainter.h"
#include "printing/PrintOutput.h"
#include "printing/TComponentPrinter.h"
#include "ui/Image.h"
#include "ui/headless/FormRenderer.h"
#include "view/TSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSSCellStyle.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

void FillBook(view::TSpreadSheetBook& book, int rows, int cols) {
  workbook::TSSBookSheet& sheet = *book.ActiveSheet();
  const int fontColours[] = {8, 10, 12, 17};
  const int fills[] = {22, 26, 42, 43};
  const uint16_t formats[] = {0, 2, 3, 9};
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) {
      const int k = (r + c) % 8;
      auto cell = sheet.CellObject(c, r);
      cell->SetText(c == 0 ? "Row " + std::to_string(r + 1)
                           : std::to_string((r * cols + c) * 1.25));
      workbook::TSSCellStyle& style = cell->Style();
      style.Font().SetName(k % 2 ? "Tahoma" : "Arial");
      if (k % 3 == 0) style.Font().SetStyle(workbook::kFontBold);
      style.Font().SetFontColor(fontColours[k % 4] % 56);
      if (k % 2) style.Brush().SetAll(workbook::fsSolid, fills[k % 4], fills[k % 4]);
      if (k % 3) {
        const auto edge = k % 3 == 1 ? workbook::lsThin : workbook::lsMedium;
        for (workbook::EdgeSide side :
             {workbook::edgeLeft, workbook::edgeTop, workbook::edgeRight, workbook::edgeBottom})
          style.SetEdge(side, edge, 0);
      }
      style.SetFormatCode(formats[k % 4]);
    }
  for (int r = 0; r + 1 < rows; r += 500)
    sheet.MergeCells(workbook::TRect{cols, r, cols + 2, r + 1}, true);
}

}  // namespace

int Run(int argc, char** argv) {
  tools::ComposeCommandLineTool();
  const int rows = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;
  const int cols = 20;
  view::TSpreadSheetBook book;
  FillBook(book, rows, cols);

  // Peer 1: the report alone (the link's build, as every preview and print starts with).
  printing::TSpreadSheetBookReportLink alone;
  alone.SetOptionsView(printing::ssovGridLines);
  auto t = Clock::now();
  alone.Activate(book);
  const double buildSeconds = Seconds(t);

  // The first page shown: build, paginate, draw page 1, render the preview form.
  printing::TSpreadSheetBookReportLink link;
  link.SetOptionsView(printing::ssovGridLines);
  printing::TComponentPrinter printer(book, nullptr);
  t = Clock::now();
  printer.Preview(false, link);
  printing::PreviewWindow& preview = *printer.Preview();
  ui::Image shown = ui::headless::FormRenderer::Render(preview);
  const double firstSeconds = Seconds(t);
  const size_t pages = preview.PageCount();

  // The next pages, each drawn and rendered as the user pages on.
  const size_t more = std::min<size_t>(20, pages > 0 ? pages - 1 : 0);
  t = Clock::now();
  for (size_t i = 0; i < more; ++i) {
    preview.ShowPage(preview.CurrentPage() + 1);
    shown = ui::headless::FormRenderer::Render(preview);
  }
  const double nextSeconds = more ? Seconds(t) / double(more) : 0.0;
  const size_t builds = link.Builds();

  // Peer 2: every page of the same report to a PDF.
  const std::filesystem::path pdf = std::filesystem::temp_directory_path() /
                                    ("ss_preview_bench_" + std::to_string(rows) + ".pdf");
  t = Clock::now();
  const size_t printed = printing::WritePdf(pdf.string(), *alone.Built(), printer.Settings, false);
  const double pdfSeconds = Seconds(t);
  std::filesystem::remove(pdf);

  std::printf("workbook: %d rows x %d columns, %zu pages in the preview\n", rows, cols, pages);
  std::printf("%-40s %10s\n", "measurement", "ms");
  std::printf("%-40s %10.1f\n", "first preview page shown", firstSeconds * 1000);
  std::printf("%-40s %10.1f\n", "report build alone (peer)", buildSeconds * 1000);
  std::printf("%-40s %10.1f\n", "each next page shown (mean of 20)", nextSeconds * 1000);
  std::printf("%-40s %10.1f\n", "all pages to PDF (peer)", pdfSeconds * 1000);
  std::printf("first page / report build: %.2f\n", firstSeconds / buildSeconds);
  std::printf("all %zu pages to PDF / first page: %.1f\n", printed, pdfSeconds / firstSeconds);
  std::printf("report builds for one preview after %zu pages shown: %zu\n", more + 1, builds);
  if (builds != 1) {
    std::fprintf(stderr, "the preview built its report %zu times\n", builds);
    return 1;
  }
  return 0;
}

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "preview_bench: %s\n", e.what());
    return 1;
  }
}
