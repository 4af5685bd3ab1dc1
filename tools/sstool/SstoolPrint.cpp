#include "SstoolPrint.h"

#include <charconv>
#include <ostream>
#include <stdexcept>

#include "platform/File.h"
#include "printing/PagePainter.h"
#include "printing/PrintOutput.h"
#include "printing/TCustomSpreadSheetReportLink.h"
#include "ui/Image.h"
#include "view/TSpreadSheetBook.h"
#include "workbook/CellReference.h"
#include "xls/book/BookFiles.h"

namespace sstool {

namespace {

workbook::TRect ParseRange(const std::string& text) {
  const size_t colon = text.find(':');
  workbook::TPoint a, b;
  const std::string first = text.substr(0, colon);
  const std::string second = colon == std::string::npos ? first : text.substr(colon + 1);
  if (!workbook::CellNameToPoint(first, a) || !workbook::CellNameToPoint(second, b))
    throw std::runtime_error("invalid range " + text + " (expected A1:D20)");
  return workbook::TRect{std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X),
                         std::max(a.Y, b.Y)};
}

}  // namespace

int Print(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() < 3) return 2;
  printing::TSpreadSheetBookReportLink link;
  // The window's stored settings: no headings, no grid lines, A4 portrait, 12.7 mm margins.
  printing::ReportViewOptions options = 0;
  printing::PageSettings settings;
  int sheet = 1;
  for (size_t i = 3; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--headings") {
      options |= printing::ssovRowAndColumnHeadings;
    } else if (a == "--gridlines") {
      options |= printing::ssovGridLines;
    } else if (a == "--landscape") {
      settings.orientation = printing::Orientation::Landscape;
    } else if (a == "--sheet" && i + 1 < args.size()) {
      const std::string& v = args[++i];
      const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), sheet);
      if (ec != std::errc() || end != v.data() + v.size() || sheet < 1) {
        err << "sstool: --sheet takes a sheet number from 1, got " << v << "\n";
        return 2;
      }
    } else if (a == "--range" && i + 1 < args.size()) {
      link.PrintArea = ParseRange(args[++i]);
    } else {
      err << "sstool: unknown print option " << a << "\n";
      return 2;
    }
  }
  link.SetOptionsView(options);
  const std::string problem = platform::ReadProblem(args[1]);
  if (!problem.empty()) throw std::runtime_error("cannot open " + args[1] + ": " + problem);
  view::TSpreadSheetBook book;
  xls::LoadBookFromFile(book, args[1]);
  book.Recalculate();
  if (sheet > book.PageCount())
    throw std::runtime_error("the book has " + std::to_string(book.PageCount()) +
                             " sheets, no sheet " + std::to_string(sheet));
  book.SetActiveSheet(sheet - 1);
  const printing::Report& report = link.Activate(book);
  const std::string& target = args[2];
  if (target.size() > 4 && target.compare(target.size() - 4, 4, ".png") == 0) {
    // The first page as the preview shows it at 100%.
    const printing::Pagination pagination =
        printing::Paginate(report, settings, link.HeadersOnEveryPage);
    if (!ui::WritePng(printing::RenderPage(report, pagination, settings, 0), target))
      throw std::runtime_error("cannot write " + target);
    out << "page 1 of " << pagination.PageCount() << " written to " << target << "\n";
    return 0;
  }
  const size_t pages = printing::WritePdf(target, report, settings, link.HeadersOnEveryPage);
  out << pages << (pages == 1 ? " page" : " pages") << " written to " << args[2] << "\n";
  return 0;
}

}  // namespace sstool
