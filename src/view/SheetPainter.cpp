#include "view/SheetPainter.h"

#include <algorithm>

#include "ui/LineStyles.h"
#include "ui/SystemColors.h"
#include "workbook/SSUtils.h"

namespace view {

namespace {

ui::LineStyle ToLineStyle(workbook::TSSEdgeLineStyle s) { return static_cast<ui::LineStyle>(s); }

ui::VertAlign ToVertAlign(workbook::TVertTextAlign a) {
  switch (a) {
    case workbook::vaCENTER:
      return ui::VertAlign::Center;
    case workbook::vaBOTTOM:
      return ui::VertAlign::Bottom;
    default:
      return ui::VertAlign::Top;
  }
}

// Pixel of the boundary before visible position i (i = count: after the last).
int BoundaryPixel(const std::vector<Span>& spans, size_t i) {
  return i == 0 ? spans.front().start - 1 : spans[i - 1].end - 1;
}

}  // namespace

void SheetPainter::Paint(const GridLayout& layout, const PaintOptions& options) {
  canvas_.FillRect(layout.Params().client, colors_.Special(CellColors::kSpecialBackground, false));
  if (layout.Columns().empty() || layout.Rows().empty()) return;
  PaintHeaders(layout, options);
  ui::ClipScope clip(canvas_, layout.DataArea());
  PaintFills(layout);
  PaintLines(layout);
  PaintTexts(layout);
  PaintMergedTexts(layout);
  if (!options.hideSelection) PaintSelectionFrame(layout, options.selectionFrame);
}

void SheetPainter::FillCell(const ui::Rect& r, workbook::TSSFillStyle style, bool selected,
                            workbook::TSSColor pattern, workbook::TSSColor background) {
  const ui::Color back = colors_.FillBackground(background, selected);
  if (style == workbook::fsSolid) {
    canvas_.FillRect(r, back);
    return;
  }
  canvas_.FillPattern(r, static_cast<ui::FillPattern>(style),
                      colors_.PatternColor(pattern, selected), back);
}

void SheetPainter::PaintFills(const GridLayout& layout) {
  const size_t nc = layout.Columns().size(), nr = layout.Rows().size();
  for (size_t r = 0; r < nr; ++r) {
    for (size_t c = 0; c < nc; ++c) {
      const CellView& v = layout.At(c, r);
      if (v.merged >= 0) continue;
      FillCell(v.cell, v.style->FillStyle, v.selected, v.style->ForegroundColor,
               v.style->BackgroundColor);
    }
  }
  for (const MergedView& m : layout.MergedAreas())
    FillCell(m.rect, m.style->FillStyle, m.selected, m.style->ForegroundColor,
             m.style->BackgroundColor);
}

void SheetPainter::Segment(const GridLayout& layout, size_t c, size_t r, bool vertical) {
  const auto& cols = layout.Columns();
  const auto& rows = layout.Rows();
  const size_t nc = cols.size(), nr = rows.size();
  const Side& side = vertical ? layout.VerticalLine(c, r) : layout.HorizontalLine(c, r);
  if (side.style == workbook::lsNone) return;
  // The four arms at the crossing of vertical boundary cc and horizontal boundary rr.
  const auto arms = [&](size_t cc, size_t rr) {
    ui::CornerArms a;
    if (cc > 0) a.left = ToLineStyle(layout.HorizontalLine(cc - 1, rr).style);
    if (cc < nc) a.right = ToLineStyle(layout.HorizontalLine(cc, rr).style);
    if (rr > 0) a.top = ToLineStyle(layout.VerticalLine(cc, rr - 1).style);
    if (rr < nr) a.bottom = ToLineStyle(layout.VerticalLine(cc, rr).style);
    return a;
  };
  const ui::LineStyle style = ToLineStyle(side.style);
  const ui::LineStyleInfo& info = ui::LineStyleOf(style);
  const ui::Span span = ui::LineSpan(style);
  // The line's gaps take the fill of the cell it borders: of the two neighbours the filled one
  // (a bottom border over a filled cell shows that fill), else the one after the line.
  const CellView& after = layout.At(std::min(c, nc - 1), std::min(r, nr - 1));
  const CellView& before = vertical ? layout.At(c > 0 ? c - 1 : 0, std::min(r, nr - 1))
                                    : layout.At(std::min(c, nc - 1), r > 0 ? r - 1 : 0);
  const auto filled = [](const CellView& v) {
    return v.style->BackgroundColor < workbook::kPaletteSize;
  };
  const CellView& cell = filled(after) || !filled(before) ? after : before;
  const bool selected = cell.selected;
  const ui::Color line = side.style == workbook::lsDefault
                             ? colors_.Special(CellColors::kSpecialGrid, false)
                             : colors_.LineColor(side.color, selected);
  const ui::Color gap = side.style == workbook::lsDefault
                            ? line
                            : colors_.FillBackground(cell.style->BackgroundColor, selected);
  if (vertical) {
    const int x = BoundaryPixel(cols, c);
    const int y0 = BoundaryPixel(rows, r), y1 = BoundaryPixel(rows, r + 1);
    const ui::CornerJoin j0 = ui::JoinCorner(arms(c, r)), j1 = ui::JoinCorner(arms(c, r + 1));
    int across = x + span.first;
    for (int b = 0; b < info.bandCount; ++b) {
      const ui::LineBand& band = info.bands[static_cast<size_t>(b)];
      const ui::Rect rect{across, y0 + j0.bottom[static_cast<size_t>(b)], across + band.width,
                          y1 + j1.top[static_cast<size_t>(b)] + 1};
      if (!rect.IsEmpty())
        canvas_.FillDash(rect, ui::Orientation::Vertical, ui::DashPattern(band.dash), line, gap,
                         band.shift);
      across += band.width;
    }
  } else {
    const int y = BoundaryPixel(rows, r);
    const int x0 = BoundaryPixel(cols, c), x1 = BoundaryPixel(cols, c + 1);
    const ui::CornerJoin j0 = ui::JoinCorner(arms(c, r)), j1 = ui::JoinCorner(arms(c + 1, r));
    int across = y + span.first;
    for (int b = 0; b < info.bandCount; ++b) {
      const ui::LineBand& band = info.bands[static_cast<size_t>(b)];
      const ui::Rect rect{x0 + j0.right[static_cast<size_t>(b)], across,
                          x1 + j1.left[static_cast<size_t>(b)] + 1, across + band.width};
      if (!rect.IsEmpty())
        canvas_.FillDash(rect, ui::Orientation::Horizontal, ui::DashPattern(band.dash), line, gap,
                         band.shift);
      across += band.width;
    }
  }
}

void SheetPainter::PaintLines(const GridLayout& layout) {
  const size_t nc = layout.Columns().size(), nr = layout.Rows().size();
  for (size_t r = 0; r < nr; ++r)
    for (size_t c = 0; c <= nc; ++c) Segment(layout, c, r, true);
  for (size_t r = 0; r <= nr; ++r)
    for (size_t c = 0; c < nc; ++c) Segment(layout, c, r, false);
}

void SheetPainter::PaintTexts(const GridLayout& layout) {
  const size_t nc = layout.Columns().size(), nr = layout.Rows().size();
  for (size_t r = 0; r < nr; ++r) {
    for (size_t c = 0; c < nc; ++c) {
      const CellView& v = layout.At(c, r);
      if (v.merged >= 0 || v.caption.empty()) continue;
      CellText(v.text, v.caption, *v.style, v.align, v.selected);
    }
  }
}

void SheetPainter::PaintLooseTexts(const std::vector<CellView>& cells) {
  for (const CellView& v : cells)
    if (!v.caption.empty() && v.style) CellText(v.text, v.caption, *v.style, v.align, v.selected);
}

void SheetPainter::PaintMergedTexts(const GridLayout& layout) {
  for (const MergedView& m : layout.MergedAreas()) {
    if (m.caption.empty()) continue;
    CellText(m.text, m.caption, *m.style, m.align, m.selected);
  }
}

void SheetPainter::CellText(const ui::Rect& r, const std::string& caption,
                            const workbook::StyleEntry& style, ui::HorzAlign align, bool selected) {
  ui::TextFormat format;
  format.horz = align;
  format.vert = ToVertAlign(style.VertAlign);
  format.wordBreak = style.WordBreak;
  format.singleLine = !style.WordBreak;
  const ui::Color color =
      colors_.TextColor(style.Font ? style.Font->Color : workbook::kAutomaticColor, selected);
  canvas_.DrawTextBlock(r, caption, CellFont(style.Font), color, format);
}

void SheetPainter::PaintSelectionFrame(const GridLayout& layout, const ui::Rect& frame) {
  if (frame.IsEmpty()) return;
  ui::ClipScope clip(canvas_, layout.DataArea());
  // Bars three pixels thick centred on the boundary lines (the last pixel before the area and
  // the area's last pixel), so each reaches one pixel outside the cells.
  const int l = frame.left - 1, t = frame.top - 1, r = frame.right - 1, b = frame.bottom - 1;
  const ui::Color black = ui::colors::kBlack;
  canvas_.FillRect(ui::Rect{l - 1, t - 1, l + 2, b + 2}, black);
  canvas_.FillRect(ui::Rect{l - 1, t - 1, r + 2, t + 2}, black);
  canvas_.FillRect(ui::Rect{r - 1, t - 1, r + 2, b + 2}, black);
  canvas_.FillRect(ui::Rect{l - 1, b - 1, r + 2, b + 2}, black);
}

void SheetPainter::HeaderCell(const ui::Rect& r, const std::string& caption, bool selected,
                              const PaintOptions& options) {
  if (r.IsEmpty()) return;
  if (options.look == HeaderLook::Flat) {
    const ui::Color face =
        selected ? Blend(colors_.Selection(), ui::colors::kWhite) : options.headerColor;
    if (options.headerFill) canvas_.FillRect(r, face);
    canvas_.FrameRect(ui::Rect{r.left - 1, r.top - 1, r.right, r.bottom},
                      ui::colors::kButtonShadow);
  } else if (options.look == HeaderLook::Soft) {
    if (options.headerFill)
      canvas_.FillRect(
          r, selected ? Blend(colors_.Selection(), options.headerColor) : options.headerColor);
    // One shadow line on the right and bottom (shared with the neighbour), one highlight
    // line on the top and left.
    canvas_.FillRect(ui::Rect{r.right - 1, r.top, r.right, r.bottom}, ui::colors::kButtonShadow);
    canvas_.FillRect(ui::Rect{r.left, r.bottom - 1, r.right, r.bottom}, ui::colors::kButtonShadow);
    canvas_.FillRect(ui::Rect{r.left, r.top, r.right - 1, r.top + 1}, ui::colors::kButtonHighlight);
    canvas_.FillRect(ui::Rect{r.left, r.top, r.left + 1, r.bottom - 1},
                     ui::colors::kButtonHighlight);
  } else {
    if (options.headerFill)
      canvas_.FillRect(
          r, selected ? Blend(colors_.Selection(), options.headerColor) : options.headerColor);
    // Outer frame in shadow (right and bottom, shared with the neighbour), inner highlight on
    // the top and left and shadow on the bottom and right.
    canvas_.FillRect(ui::Rect{r.right - 1, r.top, r.right, r.bottom},
                     ui::colors::kButtonDarkShadow);
    canvas_.FillRect(ui::Rect{r.left, r.bottom - 1, r.right, r.bottom},
                     ui::colors::kButtonDarkShadow);
    canvas_.FillRect(ui::Rect{r.left, r.top, r.right - 1, r.top + 1}, ui::colors::kButtonHighlight);
    canvas_.FillRect(ui::Rect{r.left, r.top, r.left + 1, r.bottom - 1},
                     ui::colors::kButtonHighlight);
    canvas_.FillRect(ui::Rect{r.right - 2, r.top + 1, r.right - 1, r.bottom - 1},
                     ui::colors::kButtonShadow);
    canvas_.FillRect(ui::Rect{r.left + 1, r.bottom - 2, r.right - 1, r.bottom - 1},
                     ui::colors::kButtonShadow);
  }
  if (caption.empty()) return;
  ui::TextFormat format;
  format.horz = ui::HorzAlign::Center;
  format.vert = options.headerVert;
  format.singleLine = true;
  // Two pixels below the centre line, or two above the bottom edge.
  const ui::Rect box = options.headerVert == ui::VertAlign::Bottom
                           ? ui::Rect{r.left, r.top, r.right, r.bottom - 2}
                           : r.Offset(0, 2);
  canvas_.DrawTextBlock(box, caption, options.headerFont, ui::colors::kWindowText, format);
}

void SheetPainter::PaintHeaders(const GridLayout& layout, const PaintOptions& options) {
  const LayoutParams& p = layout.Params();
  const ui::Rect data = layout.DataArea();
  const workbook::TRect& sel = layout.Selection();
  if (p.colHeaderHeight > 0) {
    ui::ClipScope clip(canvas_, ui::Rect{data.left, p.client.top, data.right, data.top});
    for (const Span& s : layout.Columns())
      HeaderCell(ui::Rect{s.start, p.client.top, s.end, data.top},
                 workbook::TSSUtils::ColumnCaption(s.index, options.r1c1),
                 s.index >= sel.Left && s.index <= sel.Right, options);
  }
  if (p.rowHeaderWidth > 0) {
    ui::ClipScope clip(canvas_, ui::Rect{p.client.left, data.top, data.left, data.bottom});
    for (const Span& s : layout.Rows())
      HeaderCell(ui::Rect{p.client.left, s.start, data.left, s.end}, std::to_string(s.index + 1),
                 s.index >= sel.Top && s.index <= sel.Bottom, options);
  }
  if (p.colHeaderHeight > 0 && p.rowHeaderWidth > 0)
    HeaderCell(ui::Rect{p.client.left, p.client.top, data.left, data.top}, std::string(), false,
               options);
}

}  // namespace view
