#include "SstoolPrint.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>
#include <ostream>
#include <stdexcept>

#include "platform/File.h"
#include "printing/PagePainter.h"
#include "printing/PrintOutput.h"
#include "printing/TCustomSpreadSheetReportLink.h"
#include "ui/Image.h"
#include "view/TSpreadSheetBook.h"
#include "workbook/CellReference.h"
#include "workbook/Geometry.h"
#include "workbook/SSUtils.h"
#include "xls/book/BookFiles.h"

namespace sstool {

namespace {

std::optional<int> WholeNumber(const std::string& text) {
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

int NumberIn(const std::string& option, const std::string& text, int low, int high,
             const char* what) {
  const std::optional<int> value = WholeNumber(text);
  if (!value || *value < low || *value > high)
    throw PrintOptionError(option + " takes " + what + " from " + std::to_string(low) + " to " +
                           std::to_string(high) + ", got \"" + text + "\"");
  return *value;
}

workbook::TRect ParseRange(const std::string& text) {
  const size_t colon = text.find(':');
  workbook::TPoint a, b;
  const std::string first = text.substr(0, colon);
  const std::string second = colon == std::string::npos ? first : text.substr(colon + 1);
  if (!workbook::CellNameToPoint(first, a) || !workbook::CellNameToPoint(second, b))
    throw PrintOptionError("--range takes a cell range such as A1:D20, got \"" + text + "\"");
  return workbook::TRect{std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X),
                         std::max(a.Y, b.Y)};
}

// "C,F" (columns) or "20,40" (rows, from 1): the sheet indices a new page starts before.
std::vector<int32_t> ParseBreaks(const std::string& option, const std::string& text, bool columns) {
  std::vector<int32_t> breaks;
  size_t start = 0, item = 1;
  while (true) {
    const size_t comma = text.find(',', start);
    std::string part = text.substr(start, comma == std::string::npos ? comma : comma - start);
    const std::string where = option + ": item " + std::to_string(item) + " of \"" + text + "\"";
    if (columns) {
      for (char& c : part) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      const int32_t index = workbook::TSSUtils::ColumnIndexByName(part);
      if (index < 0 || index >= workbook::kFarEdge)
        throw PrintOptionError(where + " is not a column such as C");
      breaks.push_back(index);
    } else {
      const std::optional<int> row = WholeNumber(part);
      if (!row || *row < 1 || *row > workbook::kFarEdge)
        throw PrintOptionError(where + " is not a row number from 1");
      breaks.push_back(*row - 1);
    }
    if (comma == std::string::npos) break;
    start = comma + 1;
    ++item;
  }
  return breaks;
}

}  // namespace

PrintOptions ParsePrintOptions(const std::vector<std::string>& args, size_t first) {
  PrintOptions o;
  bool scaled = false, fitted = false;
  for (size_t i = first; i < args.size(); ++i) {
    const std::string& a = args[i];
    const auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw PrintOptionError(a + " needs a value");
      return args[++i];
    };
    if (a == "--headings") {
      o.viewOptions |= printing::ssovRowAndColumnHeadings;
    } else if (a == "--gridlines") {
      o.viewOptions |= printing::ssovGridLines;
    } else if (a == "--landscape") {
      o.settings.orientation = printing::Orientation::Landscape;
    } else if (a == "--repeat-headings") {
      o.headersOnEveryPage = true;
    } else if (a == "--no-scale-fonts") {
      o.scaleFonts = false;
    } else if (a == "--sheet") {
      o.sheet = NumberIn(a, value(), 1, 65535, "a sheet number");
    } else if (a == "--range") {
      o.range = ParseRange(value());
    } else if (a == "--scale") {
      o.settings.scalePercent = NumberIn(a, value(), printing::kMinScalePercent,
                                         printing::kMaxScalePercent, "a percentage");
      scaled = true;
    } else if (a == "--fit-wide") {
      o.settings.fitPagesWide = NumberIn(a, value(), 1, 999, "a number of pages");
      fitted = true;
    } else if (a == "--fit-tall") {
      o.settings.fitPagesTall = NumberIn(a, value(), 1, 999, "a number of pages");
      fitted = true;
    } else if (a == "--col-breaks") {
      o.columnBreaks = ParseBreaks(a, value(), true);
    } else if (a == "--row-breaks") {
      o.rowBreaks = ParseBreaks(a, value(), false);
    } else if (a == "--header") {
      o.settings.headerText = value();
    } else if (a == "--footer") {
      o.settings.footerText = value();
    } else {
      throw PrintOptionError("unknown print option " + a);
    }
  }
  if (scaled && fitted)
    throw PrintOptionError("--scale and --fit-wide or --fit-tall exclude each other");
  return o;
}

int Print(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() < 3) return 2;
  PrintOptions options;
  try {
    options = ParsePrintOptions(args, 3);
  } catch (const PrintOptionError& e) {
    err << "sstool: " << e.what() << "\n";
    return 2;
  }
  // The window's stored settings unless the options say otherwise: no headings, no grid
  // lines, A4 portrait, 12.7 mm margins.
  printing::TSpreadSheetBookReportLink link;
  link.SetOptionsView(options.viewOptions);
  link.PrintArea = options.range;
  link.HeadersOnEveryPage = options.headersOnEveryPage;
  link.ScaleFonts = options.scaleFonts;
  link.UseCustomPageBreaks = !options.columnBreaks.empty() || !options.rowBreaks.empty();
  link.ColumnBreaks = options.columnBreaks;
  link.RowBreaks = options.rowBreaks;
  const printing::PageSettings& settings = options.settings;
  const std::string problem = platform::ReadProblem(args[1]);
  if (!problem.empty()) throw std::runtime_error("cannot open " + args[1] + ": " + problem);
  view::TSpreadSheetBook book;
  xls::LoadBookFromFile(book, args[1]);
  book.Recalculate();
  if (options.sheet > book.PageCount())
    throw std::runtime_error("the book has " + std::to_string(book.PageCount()) +
                             " sheets, no sheet " + std::to_string(options.sheet));
  book.SetActiveSheet(options.sheet - 1);
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
