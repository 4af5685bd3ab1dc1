#pragma once
// A report: the printable form of one sheet, built by the report link and read by the
// paginator, the page painter and the preview. It is a value of its own: built once from the
// book, it keeps copies of the styles and fonts it prints with, so a preview that shows it
// stays valid while the book changes (or goes away).
//
// Grid. Report column 0 and report row 0 are the headings; report column c >= 1 stands for
// the sheet column `columns[c].sheetIndex` (the printed range shifted by one) and row r >= 1
// likewise. Columns appended for text overflowing past the last used column have the sheet
// indices that follow it. Sizes are in screen pixels (96 per inch).
//
// Cells. `cells` holds the data cells only, row by row: the cell of report column c >= 1 and
// row r >= 1 is cells[(r - 1) * (ColumnCount() - 1) + (c - 1)]. Lines are kept as the grid
// layout of the view keeps them: vertical lines before each report column (and after the
// last) per data row, horizontal lines above each report row (and below the last) per data
// column, each already decided (drawn with its style and colour, a grid line, or none).
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "ui/Canvas.h"
#include "view/CellColors.h"
#include "view/GridLayout.h"
#include "workbook/Geometry.h"
#include "workbook/SSStyleTypes.h"

namespace printing {

struct ReportColumn {
  int32_t sheetIndex = -1;   // -1 for the heading
  int size = 0;              // width or height in pixels
  bool printed = true;       // false: hidden, of size 0, or a heading not printed
  bool breakBefore = false;  // a custom page break: a new page starts with this item
};

struct ReportCell {
  std::string text;
  uint32_t style = 0;  // index into Report::styles
  ui::HorzAlign align = ui::HorzAlign::Left;
  bool transparent = true;  // no fill of its own (a solid fill in the window colour)
  int merged = -1;          // index into Report::merged, -1 when not in a merged area
  // How far the text reaches beyond the cell's right and left edges, in pixels.
  int overflowRight = 0;
  int overflowLeft = 0;
};

struct ReportMerged {
  workbook::TRect area;  // report columns and rows, inclusive
  std::string text;
  uint32_t style = 0;
  ui::HorzAlign align = ui::HorzAlign::Left;
  bool transparent = true;  // as for ReportCell, from the top-left cell's fill
};

struct Report {
  std::vector<ReportColumn> columns;
  std::vector<ReportColumn> rows;
  std::vector<ReportCell> cells;
  std::vector<view::Side> vLines;  // (ColumnCount() - 1 + 1) per data row
  std::vector<view::Side> hLines;  // (ColumnCount() - 1) per boundary of data rows
  std::vector<ReportMerged> merged;
  // The styles the cells print with; their Font pointers point into `fonts`.
  std::vector<workbook::StyleEntry> styles;
  std::deque<workbook::TSSFontRec> fonts;
  int overflowColumns = 0;  // extra columns appended for overflowing text
  bool headings = false;    // the heading column and row are printed
  bool r1c1 = false;        // heading captions in R1C1 notation
  ui::Font headingFont{"MS Sans Serif", 8};
  ui::Color headingColor;
  bool headingTransparent = false;
  // Heading cells look raised: a soft bevel (one light and one shadow line) or a hard one
  // (two lines each side); flat when not raised.
  bool headingRaised = false;
  bool headingSoft = true;
  // Transparent data cells are left unpainted (the paper shows); when false every data cell
  // paints its background, the window colour included.
  bool transparentCells = true;
  // Fonts grow and shrink with the print scale; when false they keep their point size on paper.
  bool scaleFonts = true;
  view::CellColors colors;  // the book's colours when the report was built

  size_t ColumnCount() const { return columns.size(); }
  size_t RowCount() const { return rows.size(); }
  size_t DataColumns() const { return columns.empty() ? 0 : columns.size() - 1; }
  size_t DataRows() const { return rows.empty() ? 0 : rows.size() - 1; }
  // Data cell of report column c >= 1, row r >= 1.
  const ReportCell& Cell(size_t c, size_t r) const {
    return cells[(r - 1) * DataColumns() + c - 1];
  }
  ReportCell& Cell(size_t c, size_t r) { return cells[(r - 1) * DataColumns() + c - 1]; }
  // The line before report column c (c = ColumnCount(): after the last) in data row r >= 1.
  view::Side& VLine(size_t c, size_t r) { return vLines[(r - 1) * (DataColumns() + 1) + c - 1]; }
  const view::Side& VLine(size_t c, size_t r) const {
    return vLines[(r - 1) * (DataColumns() + 1) + c - 1];
  }
  // The line above report row r (r = RowCount(): below the last) in data column c >= 1.
  view::Side& HLine(size_t c, size_t r) { return hLines[(r - 1) * DataColumns() + c - 1]; }
  const view::Side& HLine(size_t c, size_t r) const {
    return hLines[(r - 1) * DataColumns() + c - 1];
  }
  const workbook::StyleEntry& StyleOf(const ReportCell& cell) const { return styles[cell.style]; }
};

}  // namespace printing
