#pragma once
// The layout of the visible part of one sheet: which columns and rows are on screen and where,
// each visible cell's rectangle, text rectangle (with overflow into empty neighbours), style,
// border sides and selected state, the merged areas met by the visible grid, and hit testing.
// Painting draws only what this says; the mouse and the keyboard ask it what lies where.
//
// Geometry: a cell covers [left, right) x [top, bottom) in client pixels; the line at a cell's
// right (bottom) boundary lies on its last pixel column (row), so the boundary before data
// column 0 lies on the row header's last pixel (outside the data area when headers are hidden).
// Positions come from HeaderPositions in O(log n); sums to distant items stay 64-bit until they
// are clipped to the visible range.
#include <cstdint>
#include <string>
#include <vector>

#include "ui/Canvas.h"
#include "view/HeaderPositions.h"
#include "view/TextMeasurer.h"
#include "workbook/CellValueTypes.h"
#include "workbook/Errors.h"
#include "workbook/Geometry.h"
#include "workbook/KeyCodes.h"
#include "workbook/SSStyleTypes.h"

namespace workbook {
class TSSBookSheet;
class TSSDataStorage;
}  // namespace workbook

namespace view {

// Hit-test flags.
constexpr unsigned kHitCell = 1;
constexpr unsigned kHitRowHeader = 2;
constexpr unsigned kHitColHeader = 4;
constexpr unsigned kHitResize = 8;
constexpr unsigned kHitCorner = 16;

struct Hit {
  int32_t col = -1;
  int32_t row = -1;
  unsigned flags = 0;
  bool operator==(const Hit&) const = default;
};

// One visible column or row: its sheet index and pixel extent [start, end).
struct Span {
  int32_t index = 0;
  int start = 0;
  int end = 0;
};

struct Side {
  workbook::TSSEdgeLineStyle style = workbook::lsNone;
  workbook::TSSColor color = workbook::kAutomaticColor;
  bool operator==(const Side&) const = default;
};

struct CellView {
  int32_t col = 0;
  int32_t row = 0;
  ui::Rect cell;
  ui::Rect text;
  std::string caption;
  const workbook::StyleEntry* style = nullptr;
  ui::HorzAlign align = ui::HorzAlign::Left;
  bool selected = false;
  int merged = -1;  // index into MergedAreas(), -1 when not merged
};

struct MergedView {
  workbook::TRect area;
  ui::Rect rect;
  ui::Rect text;
  std::string caption;
  const workbook::StyleEntry* style = nullptr;
  ui::HorzAlign align = ui::HorzAlign::Left;
  bool selected = false;
};

struct LayoutParams {
  ui::Rect client;  // the grid's client area (scroll bars and tab strip excluded)
  int rowHeaderWidth = 0;
  int colHeaderHeight = 0;  // both 0 when headers are hidden
  workbook::TPoint topLeft;
  bool showGrid = true;
  int32_t colLimit = workbook::kFarEdge;  // one past the last column of the sheet
  int32_t rowLimit = workbook::kFarEdge;
};

class GridLayout {
 public:
  void Build(const workbook::TSSBookSheet& sheet, const HeaderPositions& cols,
             const HeaderPositions& rows, const LayoutParams& params, const TextMeasurer& measurer);
  // A layout made whole by its caller (a printed page, laid out from a report): spans in the
  // data area, cells row by row, lines as VerticalLine and HorizontalLine index them, merged
  // areas that the cells' `merged` fields name. Nothing is selected. The sizes must agree
  // (cells nc * nr, vertical lines (nc + 1) * nr, horizontal lines nc * (nr + 1)); a layout
  // whose sizes do not is refused with std::invalid_argument and left empty.
  void Assign(const LayoutParams& params, std::vector<Span> cols, std::vector<Span> rows,
              std::vector<CellView> cells, std::vector<Side> vLines, std::vector<Side> hLines,
              std::vector<MergedView> merged);

  const LayoutParams& Params() const { return params_; }
  const std::vector<Span>& Columns() const { return cols_; }
  const std::vector<Span>& Rows() const { return rows_; }
  // The cell at visible column position c and row position r.
  const CellView& At(size_t c, size_t r) const { return cells_[r * cols_.size() + c]; }
  const std::vector<MergedView>& MergedAreas() const { return merged_; }
  // The vertical line before column position c (c = count: after the last), in row position r.
  const Side& VerticalLine(size_t c, size_t r) const { return vLines_[r * (cols_.size() + 1) + c]; }
  // The horizontal line above row position r (r = count: below the last), in column position c.
  const Side& HorizontalLine(size_t c, size_t r) const { return hLines_[r * cols_.size() + c]; }

  const workbook::TRect& Selection() const { return selection_; }
  // The unclipped screen rectangle of a sheet rectangle, from 64-bit offsets relative to the
  // top-left cell, clipped to a few pixels beyond the data area (a frame's far sides then lie
  // outside, as they should when the area runs off screen).
  ui::Rect FrameRect(const workbook::TRect& cells, const HeaderPositions& cols,
                     const HeaderPositions& rows) const;
  // The data area: right of the row headers and below the column headers.
  ui::Rect DataArea() const;
  int32_t LastVisibleColumn() const;
  int32_t LastVisibleRow() const;
  // Last column (row) whose whole extent is inside the data area, at least the first visible.
  int32_t LastWholeColumn() const;
  int32_t LastWholeRow() const;

  Hit HitTest(ui::Point p) const;
  // The screen rectangle of a sheet rectangle clipped to the visible grid (empty when none of
  // it is visible). Parts scrolled away to the left or above start at the data area's edge.
  ui::Rect ScreenRect(const workbook::TRect& cells) const;
  // Visible position of a sheet column (row), -1 when not visible.
  int ColumnPosition(int32_t col) const;
  int RowPosition(int32_t row) const;
  // What a cell change repaints: cell and text rectangle grown by 3 pixels.
  ui::Rect CellInvalidation(int32_t col, int32_t row) const;

 private:
  void BuildCell(const workbook::TSSBookSheet& sheet, size_t c, size_t r,
                 const TextMeasurer& measurer);
  void SettleOverflow(size_t r);
  void BuildMerged(const workbook::TSSBookSheet& sheet, const TextMeasurer& measurer);
  Side& VLine(size_t c, size_t r) { return vLines_[r * (cols_.size() + 1) + c]; }
  Side& HLine(size_t c, size_t r) { return hLines_[r * cols_.size() + c]; }

  LayoutParams params_;
  std::vector<Span> cols_;
  std::vector<Span> rows_;
  std::vector<CellView> cells_;
  std::vector<Side> vLines_;
  std::vector<Side> hLines_;
  std::vector<MergedView> merged_;
  workbook::TRect selection_;
  int32_t prevCol_ = -1;  // the visible column before the first one on screen, -1 when none
  int32_t prevRow_ = -1;
};

// The alignment a cell's text takes: the explicit one, or for general alignment left for the
// text format, right for numbers, centre for TRUE and FALSE, otherwise left.
ui::HorzAlign EffectiveAlign(const workbook::StyleEntry& style, bool isNumber,
                             const std::string& text);
// The alignment of the text of cell (col, row) drawn with `style` (the screen draws a cell with
// its own style, the printed report maybe with another): it follows the cell's value (a
// formula's result, the stored text), not its display text, so TRUE that shows as 1 is centred
// and a number kept as text is right-aligned.
ui::HorzAlign ValueAlign(const workbook::TSSDataStorage& storage, int32_t col, int32_t row,
                         const workbook::StyleEntry& style);

}  // namespace view
