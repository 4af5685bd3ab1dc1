#pragma once
// The algorithms of the report link: the printed range, the sizes, the heading and data cells
// with their sides, merged areas and overflowing text.
#include <memory>

#include "printing/Report.h"
#include "workbook/Geometry.h"

namespace view {
class TSpreadSheetBook;
class TextMeasurer;
}  // namespace view
namespace workbook {
class TSSDataStorage;
}

namespace printing {

class TCustomSpreadSheetReportLink;

// The sheet columns and rows a report covers, and whether they are a restriction (selection
// or print area) rather than the used range.
struct PrintedRange {
  workbook::TRect cells;  // inclusive sheet coordinates; empty when nothing is used
  bool restricted = false;
};

// The used range of a sheet: from column and row 0 to the last used ones, counted as cells
// (the last used column itself is printed), extended over merged areas. A cell whose only
// difference from the default style is its left (top) border does not make its column (row)
// used. Empty (Right < Left) when nothing is used.
workbook::TRect UsedPrintRange(const workbook::TSSDataStorage& storage);

PrintedRange ChoosePrintedRange(const TCustomSpreadSheetReportLink& link,
                                const workbook::TSSDataStorage& storage);

// Throws workbook::ESpreadSheetError with kNothingToPrint when no data column or no data row
// is printed.
std::unique_ptr<Report> BuildReport(const TCustomSpreadSheetReportLink& link,
                                    view::TSpreadSheetBook& book,
                                    const view::TextMeasurer& measurer);

}  // namespace printing
