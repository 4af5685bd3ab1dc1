#pragma once
// Paints a GridLayout on a canvas in the fixed order: background, headers, fills (cells, then
// merged areas), border and grid lines with their corner joins, the texts of unmerged cells,
// the merged areas' texts, and last the selection frame. Later steps never cover earlier
// ones where they must show: a fill never covers a line, and a merged area's text comes after
// every fill of its cells.
//
// Three header looks: the raised one (the default painter type: a hard bevel of two lines on
// each side), a soft raised one (one light and one shadow line; printed headings) and a flat
// one with the selection blended into selected headers (the XP-like types).
#include <vector>

#include "ui/Canvas.h"
#include "ui/SystemColors.h"
#include "view/CellColors.h"
#include "view/GridLayout.h"

namespace view {

enum class HeaderLook { Raised, Soft, Flat };

struct PaintOptions {
  HeaderLook look = HeaderLook::Raised;
  ui::Font headerFont{"MS Sans Serif", 8};
  ui::Color headerColor = ui::colors::kButtonFace;
  // False: header faces are not filled (printed headings without background); frames, bevels
  // and captions are drawn all the same.
  bool headerFill = true;
  // Header captions are centred; vertically in the middle (the screen) or at the bottom
  // (printed headings).
  ui::VertAlign headerVert = ui::VertAlign::Center;
  bool hideSelection = false;
  bool r1c1 = false;
  // The selection frame in client pixels, unclipped (may reach beyond the data area).
  ui::Rect selectionFrame;
};

class SheetPainter {
 public:
  SheetPainter(ui::Canvas& canvas, const CellColors& colors) : canvas_(canvas), colors_(colors) {}
  void Paint(const GridLayout& layout, const PaintOptions& options);

  void PaintHeaders(const GridLayout& layout, const PaintOptions& options);
  void PaintFills(const GridLayout& layout);
  void PaintLines(const GridLayout& layout);
  void PaintTexts(const GridLayout& layout);
  void PaintMergedTexts(const GridLayout& layout);
  // Texts of cells that are not part of the layout but whose text reaches into it (a printed
  // page continuing the overflow of a cell on the page before or after); clipped by the caller.
  void PaintLooseTexts(const std::vector<CellView>& cells);
  void PaintSelectionFrame(const GridLayout& layout, const ui::Rect& frame);

  // One fill with its pattern and colours (also the Format Cells preview's).
  void FillCell(const ui::Rect& r, workbook::TSSFillStyle style, bool selected,
                workbook::TSSColor pattern, workbook::TSSColor background);

 private:
  // A cell's or a merged area's text in its rectangle, with the style's font, colour and
  // alignment.
  void CellText(const ui::Rect& r, const std::string& caption, const workbook::StyleEntry& style,
                ui::HorzAlign align, bool selected);
  void HeaderCell(const ui::Rect& r, const std::string& caption, bool selected,
                  const PaintOptions& options);
  void Segment(const GridLayout& layout, size_t c, size_t r, bool vertical);

  ui::Canvas& canvas_;
  const CellColors& colors_;
};

}  // namespace view
