#pragma once
// The report link: turns the active sheet of a book into a Report (Report.h) that the
// paginator, the preview and the printer output read.
//
// Protocol. Options are plain settings; changing OptionsView or OnlySelected through their
// setters marks the report stale. Whoever shows or prints calls Activate(book) first: it
// rebuilds the report from the book every time (a book gives no cheap proof that it is
// unchanged, and a stale report would print old data), so what is printed is the book as it
// is at that moment. The built report belongs to the link and stays as built until the next
// Activate; a failed Activate (nothing to print, a broken book) leaves no report.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "printing/Report.h"
#include "ui/Canvas.h"
#include "workbook/Geometry.h"
#include "workbook/SSStyleTypes.h"

namespace view {
class TSpreadSheetBook;
class TextMeasurer;
}  // namespace view

namespace printing {

enum ReportViewOption : uint8_t {
  ssovRowAndColumnHeadings = 1,
  ssovGridLines = 2,
  ssovSuppressSourceFormats = 4,
};
using ReportViewOptions = uint8_t;

// One report cell as OnInitializeItem sees it, after the cell was built from the sheet and
// before the report's lines and overflowing text are worked out, so that what the hook
// changes (text, alignment, fill, borders, font) is printed as if the sheet said so.
struct ReportItem {
  size_t column = 0;  // report column and row, from 1 (0 are the headings)
  size_t row = 0;
  int32_t sheetColumn = 0;
  int32_t sheetRow = 0;
  bool merged = false;  // the item stands for a whole merged area (its top-left cell)
  std::string text;
  ui::HorzAlign align = ui::HorzAlign::Left;
  // Copies of the cell's style and font; style.Font points at `font` (re-pointing it has no
  // effect). A cell whose fill becomes a solid window colour prints as transparent.
  workbook::StyleEntry style;
  workbook::TSSFontRec font;
};

// The message of an empty report.
inline constexpr const char* kNothingToPrint =
    "Cannot activate ReportLink because PrintingSystem did not find anything to print.";

class TCustomSpreadSheetReportLink {
 public:
  TCustomSpreadSheetReportLink();
  virtual ~TCustomSpreadSheetReportLink();

  ReportViewOptions OptionsView() const { return optionsView_; }
  void SetOptionsView(ReportViewOptions options);
  bool OnlySelected() const { return onlySelected_; }
  void SetOnlySelected(bool on);
  bool HeadersOnEveryPage = false;
  bool RowAutoHeight = false;
  workbook::ColorValue Color = 0x00FFFFFF;       // data cells when source formats are ignored
  workbook::ColorValue FixedColor = 0x8000000F;  // headings when source formats are ignored
  bool FixedTransparent = false;
  bool Transparent = true;
  ui::Font Font{"Tahoma", 10};
  ui::Font FixedFont{"MS Sans Serif", 8};
  workbook::ColorValue GridLineColor = 0;
  bool Effects3D = false;
  bool Soft3D = true;
  bool ScaleFonts = true;
  // With UseCustomPageBreaks a new page starts before every sheet column in ColumnBreaks
  // (when UseVertDelimiters) and every sheet row in RowBreaks (when UseHorzDelimiters), besides
  // the breaks where a page is full. The sheet model keeps no page breaks of its own, so these
  // lists are the link's.
  bool UseCustomPageBreaks = false;
  bool UseHorzDelimiters = true;
  bool UseVertDelimiters = true;
  std::vector<int32_t> ColumnBreaks;
  std::vector<int32_t> RowBreaks;
  // Hooks, not set by the plug-in. OnGetCustomPageBreaks runs when a report is built with
  // UseCustomPageBreaks, with copies of ColumnBreaks and RowBreaks that it may change; the
  // report breaks where the changed lists say. OnInitializeItem runs once for every printed
  // data cell outside merged areas and once for every merged area. An exception from either
  // makes Activate fail with workbook::ESpreadSheetError naming the hook (no report is left);
  // it never passes on as anything but that error. A report that appends columns for text
  // overflowing past its last column is laid out twice, and the hooks run both times.
  std::function<void(std::vector<int32_t>& columnBreaks, std::vector<int32_t>& rowBreaks)>
      OnGetCustomPageBreaks;
  std::function<void(ReportItem& item)> OnInitializeItem;
  // A cell rectangle to print instead of the used range; empty (Right < Left) by default.
  workbook::TRect PrintArea{0, 0, -1, -1};

  // True when options changed since the last Activate (or none happened yet).
  bool Stale() const { return stale_; }
  void Invalidate() { stale_ = true; }

  // Builds the report of the book's active sheet. Throws workbook::ESpreadSheetError with
  // kNothingToPrint when no column or no row would be printed.
  const Report& Activate(view::TSpreadSheetBook& book);
  // Activate with a measurer of the caller's (tests use fixed metrics).
  const Report& Activate(view::TSpreadSheetBook& book, const view::TextMeasurer& measurer);
  // The report of the last successful Activate; null before one or after a failed one.
  const Report* Built() const { return report_.get(); }
  // The same, shared: a preview keeps the report it shows alive after a rebuild.
  std::shared_ptr<const Report> Shared() const { return report_; }
  // How many reports this link built (successful activations): a preview builds one however
  // many pages it draws.
  size_t Builds() const { return builds_; }

 private:
  ReportViewOptions optionsView_ = ssovRowAndColumnHeadings;
  bool onlySelected_ = false;
  bool stale_ = true;
  size_t builds_ = 0;
  std::shared_ptr<Report> report_;
};

// The link the spreadsheet window owns: prints the active sheet of a book with sheet tabs.
class TSpreadSheetBookReportLink : public TCustomSpreadSheetReportLink {};

}  // namespace printing
