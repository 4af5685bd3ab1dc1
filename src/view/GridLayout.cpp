#include "view/GridLayout.h"

#include <algorithm>
#include <stdexcept>

#include "workbook/SSUtils.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSMergedCellsStorage.h"

namespace view {

using workbook::TRect;

namespace {

bool Inside(const TRect& r, int32_t col, int32_t row) {
  return col >= r.Left && col <= r.Right && row >= r.Top && row <= r.Bottom;
}

// Positions of visible items from `first` on until `extent` pixels from `start` are covered or
// the far edge is reached. Hidden items are jumped over through the prefix sums, so a sheet whose
// every item beyond the first is hidden ends at the far edge instead of looping.
std::vector<Span> VisibleSpans(const HeaderPositions& pos, int32_t first, int start, int end,
                               int32_t limit) {
  std::vector<Span> spans;
  int32_t i = pos.IndexAt(pos.Offset(std::max(first, 0)), limit);
  int at = start;
  while (i < limit && at < end) {
    const int size = pos.Size(i);
    spans.push_back(Span{i, at, at + size});
    at += size;
    i = pos.IndexAt(pos.Offset(i + 1), limit);
  }
  return spans;
}

// The last visible item before `index`, -1 when there is none.
int32_t PreviousVisible(const HeaderPositions& pos, int32_t index) {
  const int64_t offset = pos.Offset(index);
  if (offset <= 0) return -1;
  return pos.IndexAt(offset - 1, index);
}

int SpanAt(const std::vector<Span>& spans, int v) {
  // The last span starting at or before v (searching from the last position down).
  auto it = std::upper_bound(spans.begin(), spans.end(), v,
                             [](int value, const Span& s) { return value < s.start; });
  if (it == spans.begin()) return spans.empty() ? -1 : 0;
  return static_cast<int>(it - spans.begin()) - 1;
}

int PositionOf(const std::vector<Span>& spans, int32_t index) {
  auto it = std::lower_bound(spans.begin(), spans.end(), index,
                             [](const Span& s, int32_t value) { return s.index < value; });
  if (it == spans.end() || it->index != index) return -1;
  return static_cast<int>(it - spans.begin());
}

}  // namespace

ui::HorzAlign EffectiveAlign(const workbook::StyleEntry& style, bool isNumber,
                             const std::string& text) {
  switch (style.HorzAlign) {
    case workbook::haLEFT:
    case workbook::haFILL:
    case workbook::haJUSTIFY:
      return ui::HorzAlign::Left;
    case workbook::haCENTER:
      return ui::HorzAlign::Center;
    case workbook::haRIGHT:
      return ui::HorzAlign::Right;
    case workbook::haGENERAL:
      break;
  }
  if (style.Format == 49) return ui::HorzAlign::Left;
  if (isNumber) return ui::HorzAlign::Right;
  if (workbook::IsBooleanText(text)) return ui::HorzAlign::Center;
  return ui::HorzAlign::Left;
}

ui::HorzAlign ValueAlign(const workbook::TSSDataStorage& storage, int32_t col, int32_t row,
                         const workbook::StyleEntry& style) {
  const workbook::CellContentType type = storage.CellDataType(col, row);
  const std::string value = storage.CellValueText(col, row);
  // Typed numbers may be kept as text cells: their text decides (a literal text is text).
  const bool number = type == workbook::kCellNumber ||
                      (type != workbook::kCellLiteralText && workbook::IsNumberText(value));
  return EffectiveAlign(style, number, value);
}

ui::Rect GridLayout::DataArea() const {
  const ui::Rect& c = params_.client;
  return ui::Rect{std::min(c.left + params_.rowHeaderWidth, c.right),
                  std::min(c.top + params_.colHeaderHeight, c.bottom), c.right, c.bottom};
}

void GridLayout::Build(const workbook::TSSBookSheet& sheet, const HeaderPositions& cols,
                       const HeaderPositions& rows, const LayoutParams& params,
                       const TextMeasurer& measurer) {
  params_ = params;
  const ui::Rect data = DataArea();
  cols_ = VisibleSpans(cols, params.topLeft.X, data.left, data.right, params.colLimit);
  rows_ = VisibleSpans(rows, params.topLeft.Y, data.top, data.bottom, params.rowLimit);
  prevCol_ = cols_.empty() ? -1 : PreviousVisible(cols, cols_.front().index);
  prevRow_ = rows_.empty() ? -1 : PreviousVisible(rows, rows_.front().index);
  selection_ = sheet.Selection();
  const size_t nc = cols_.size(), nr = rows_.size();
  cells_.assign(nc * nr, CellView{});
  const Side grid{workbook::lsDefault, workbook::kAutomaticColor};
  vLines_.assign((nc + 1) * nr, grid);
  hLines_.assign(nc * (nr + 1), grid);
  BuildMerged(sheet, measurer);
  for (size_t r = 0; r < nr; ++r) {
    for (size_t c = 0; c < nc; ++c) BuildCell(sheet, c, r, measurer);
    SettleOverflow(r);
  }
  if (!params.showGrid) {
    for (Side& s : vLines_)
      if (s.style == workbook::lsDefault) s = Side{};
    for (Side& s : hLines_)
      if (s.style == workbook::lsDefault) s = Side{};
  }
  // No lines inside merged areas.
  for (size_t r = 0; r < nr; ++r) {
    for (size_t c = 0; c < nc; ++c) {
      const int m = At(c, r).merged;
      if (m < 0) continue;
      if (c + 1 < nc && At(c + 1, r).merged == m) VLine(c + 1, r) = Side{};
      if (r + 1 < nr && At(c, r + 1).merged == m) HLine(c, r + 1) = Side{};
    }
  }
}

void GridLayout::Assign(const LayoutParams& params, std::vector<Span> cols, std::vector<Span> rows,
                        std::vector<CellView> cells, std::vector<Side> vLines,
                        std::vector<Side> hLines, std::vector<MergedView> merged) {
  const size_t nc = cols.size(), nr = rows.size();
  bool valid =
      cells.size() == nc * nr && vLines.size() == (nc + 1) * nr && hLines.size() == nc * (nr + 1);
  for (const CellView& v : cells)
    valid = valid && v.style && v.merged < static_cast<int>(merged.size());
  for (const MergedView& m : merged) valid = valid && m.style;
  params_ = params;
  prevCol_ = prevRow_ = -1;
  selection_ = TRect{-1, -1, -2, -2};
  if (!valid) {
    cols_.clear();
    rows_.clear();
    cells_.clear();
    vLines_.clear();
    hLines_.clear();
    merged_.clear();
    throw std::invalid_argument("GridLayout::Assign - the parts' sizes do not agree");
  }
  cols_ = std::move(cols);
  rows_ = std::move(rows);
  cells_ = std::move(cells);
  vLines_ = std::move(vLines);
  hLines_ = std::move(hLines);
  merged_ = std::move(merged);
}

void GridLayout::BuildMerged(const workbook::TSSBookSheet& sheet, const TextMeasurer& measurer) {
  merged_.clear();
  if (cols_.empty() || rows_.empty()) return;
  const workbook::TSSDataStorage& storage = sheet.Storage();
  const TRect visible{cols_.front().index, rows_.front().index, cols_.back().index,
                      rows_.back().index};
  for (const TRect& area : storage.MergedCells().AreasIn(visible)) {
    MergedView m;
    m.area = area;
    m.rect = ScreenRect(area);
    if (m.rect.IsEmpty()) continue;
    m.text = ui::Rect{m.rect.left + 1, m.rect.top + 2, m.rect.right - 2, m.rect.bottom};
    m.caption = storage.CellDisplayText(area.Left, area.Top);
    m.style = storage.CellStyleEntry(area.Left, area.Top);
    m.align = ValueAlign(storage, area.Left, area.Top, *m.style);
    m.selected = Inside(selection_, area.Left, area.Top) &&
                 Inside(selection_, area.Right, area.Bottom) &&
                 !(selection_.Left == area.Left && selection_.Top == area.Top);
    const int index = static_cast<int>(merged_.size());
    merged_.push_back(std::move(m));
    // Mark the visible cells of the area.
    for (size_t r = 0; r < rows_.size(); ++r) {
      if (rows_[r].index < area.Top || rows_[r].index > area.Bottom) continue;
      for (size_t c = 0; c < cols_.size(); ++c)
        if (cols_[c].index >= area.Left && cols_[c].index <= area.Right)
          cells_[r * cols_.size() + c].merged = index;
    }
  }
  (void)measurer;
}

void GridLayout::BuildCell(const workbook::TSSBookSheet& sheet, size_t c, size_t r,
                           const TextMeasurer& measurer) {
  const workbook::TSSDataStorage& storage = sheet.Storage();
  CellView& v = cells_[r * cols_.size() + c];
  v.col = cols_[c].index;
  v.row = rows_[r].index;
  v.cell = ui::Rect{cols_[c].start, rows_[r].start, cols_[c].end, rows_[r].end};
  v.style = storage.CellStyleEntry(v.col, v.row);
  const auto& b = v.style->Borders;
  // A shared boundary shows the explicit line of either neighbour (the model keeps both equal,
  // but a cell without a record of its own only has default sides).
  const auto pick = [](Side& line, const workbook::EdgeRec& e) {
    if (e.Style != workbook::lsDefault) line = Side{e.Style, e.Color};
  };
  pick(VLine(c, r), b[workbook::edgeLeft]);
  pick(VLine(c + 1, r), b[workbook::edgeRight]);
  pick(HLine(c, r), b[workbook::edgeTop]);
  pick(HLine(c, r + 1), b[workbook::edgeBottom]);
  v.selected =
      Inside(selection_, v.col, v.row) && !(v.col == selection_.Left && v.row == selection_.Top);
  if (v.merged >= 0) {
    v.selected = merged_[static_cast<size_t>(v.merged)].selected;
    return;
  }
  v.caption = storage.CellDisplayText(v.col, v.row);
  v.align = ValueAlign(storage, v.col, v.row, *v.style);
  // Two pixels in from the sides and two down from the top; the bottom stays at the cell's, so
  // descenders never reach into the row below.
  v.text = ui::Rect{v.cell.left + 2, v.cell.top + 2, v.cell.right - 2, v.cell.bottom};
  if (v.caption.empty() || v.style->WordBreak) return;
  const int e = measurer.Width(CellFont(v.style->Font), v.caption) + v.text.left - v.text.right + 4;
  if (e <= 0) return;
  switch (v.align) {
    case ui::HorzAlign::Left:
      v.text.right += e;
      break;
    case ui::HorzAlign::Right:
      v.text.left -= e;
      break;
    case ui::HorzAlign::Center:
      v.text.left -= e / 2;
      v.text.right += e / 2;
      break;
  }
}

void GridLayout::SettleOverflow(size_t r) {
  const size_t nc = cols_.size();
  const ui::Rect data = DataArea();
  const auto blocks = [&](size_t k) {
    const CellView& n = At(k, r);
    return n.merged >= 0 || !n.caption.empty();
  };
  for (size_t c = nc; c-- > 0;) {
    CellView& v = cells_[r * nc + c];
    if (v.merged >= 0 || v.caption.empty() || v.style->WordBreak) continue;
    // Leftwards.
    for (size_t k = c; k-- > 0 && v.text.left < cols_[k + 1].start;) {
      if (blocks(k)) {
        v.text.left = cols_[k].end + 2;
        break;
      }
      Side& line = VLine(k + 1, r);
      if (line.style == workbook::lsDefault) line = Side{};
    }
    v.text.left = std::max(v.text.left, data.left);
    // Rightwards.
    for (size_t k = c + 1; k < nc && v.text.right > cols_[k].start; ++k) {
      if (blocks(k)) {
        v.text.right = cols_[k].start - 2;
        break;
      }
      Side& line = VLine(k, r);
      if (line.style == workbook::lsDefault) line = Side{};
    }
  }
}

int32_t GridLayout::LastVisibleColumn() const { return cols_.empty() ? -1 : cols_.back().index; }
int32_t GridLayout::LastVisibleRow() const { return rows_.empty() ? -1 : rows_.back().index; }

int32_t GridLayout::LastWholeColumn() const {
  for (size_t i = cols_.size(); i-- > 1;)
    if (cols_[i].end <= params_.client.right) return cols_[i].index;
  return cols_.empty() ? -1 : cols_.front().index;
}

int32_t GridLayout::LastWholeRow() const {
  for (size_t i = rows_.size(); i-- > 1;)
    if (rows_[i].end <= params_.client.bottom) return rows_[i].index;
  return rows_.empty() ? -1 : rows_.front().index;
}

int GridLayout::ColumnPosition(int32_t col) const { return PositionOf(cols_, col); }
int GridLayout::RowPosition(int32_t row) const { return PositionOf(rows_, row); }

ui::Rect GridLayout::ScreenRect(const TRect& cells) const {
  if (cols_.empty() || rows_.empty()) return ui::Rect{};
  const auto range = [](const std::vector<Span>& spans, int32_t first, int32_t last, int& from,
                        int& to) {
    auto lo = std::lower_bound(spans.begin(), spans.end(), first,
                               [](const Span& s, int32_t v) { return s.index < v; });
    auto hi = std::upper_bound(spans.begin(), spans.end(), last,
                               [](int32_t v, const Span& s) { return v < s.index; });
    if (lo >= hi) return false;
    from = lo->start;
    to = (hi - 1)->end;
    return true;
  };
  ui::Rect r;
  if (!range(cols_, cells.Left, cells.Right, r.left, r.right) ||
      !range(rows_, cells.Top, cells.Bottom, r.top, r.bottom))
    return ui::Rect{};
  return r;
}

ui::Rect GridLayout::FrameRect(const TRect& cells, const HeaderPositions& cols,
                               const HeaderPositions& rows) const {
  if (cols_.empty() || rows_.empty()) return ui::Rect{};
  const ui::Rect data = DataArea();
  const auto at = [](const HeaderPositions& pos, int32_t index, int32_t origin, int start, int lo,
                     int hi) {
    const int64_t v = start + pos.Offset(index) - pos.Offset(origin);
    return static_cast<int>(std::clamp<int64_t>(v, lo, hi));
  };
  const int32_t c0 = cols_.front().index, r0 = rows_.front().index;
  return ui::Rect{
      at(cols, cells.Left, c0, cols_.front().start, data.left - 4, data.right + 4),
      at(rows, cells.Top, r0, rows_.front().start, data.top - 4, data.bottom + 4),
      at(cols, cells.Right + 1, c0, cols_.front().start, data.left - 4, data.right + 4),
      at(rows, cells.Bottom + 1, r0, rows_.front().start, data.top - 4, data.bottom + 4)};
}

ui::Rect GridLayout::CellInvalidation(int32_t col, int32_t row) const {
  const int c = ColumnPosition(col), r = RowPosition(row);
  if (c < 0 || r < 0) return ui::Rect{};
  const CellView& v = At(static_cast<size_t>(c), static_cast<size_t>(r));
  ui::Rect u = v.cell;
  if (!v.text.IsEmpty()) {
    u.left = std::min(u.left, v.text.left);
    u.right = std::max(u.right, v.text.right);
    u.bottom = std::max(u.bottom, v.text.bottom);
  }
  if (v.merged >= 0) u = merged_[static_cast<size_t>(v.merged)].rect;
  return u.Inflate(3);
}

Hit GridLayout::HitTest(ui::Point p) const {
  Hit hit;
  if (cols_.empty() || rows_.empty()) return hit;
  const ui::Rect data = DataArea();
  const bool inRowHeader = params_.rowHeaderWidth > 0 && p.x < data.left;
  const bool inColHeader = params_.colHeaderHeight > 0 && p.y < data.top;
  // Beyond the grid the nearest visible item counts (the last one, or the first).
  const int c = SpanAt(cols_, p.x);
  const int r = SpanAt(rows_, p.y);
  const Span& cs = cols_[static_cast<size_t>(c)];
  const Span& rs = rows_[static_cast<size_t>(r)];
  if (inRowHeader && inColHeader) {
    hit.flags = kHitCorner;
    return hit;
  }
  if (!inRowHeader && !inColHeader) {
    hit = Hit{cs.index, rs.index, kHitCell};
    return hit;
  }
  if (inRowHeader) {
    hit.row = rs.index;
    hit.flags = kHitRowHeader;
    if (p.y >= rs.start && p.y - rs.start <= 4) {
      // The boundary above this row belongs to the visible row before it; at row 0 (or with
      // every row before it hidden) there is none.
      const int32_t above = r > 0 ? rows_[static_cast<size_t>(r) - 1].index : prevRow_;
      if (above >= 0) {
        hit.row = above;
        hit.flags |= kHitResize;
      }
    } else if (p.y < rs.end && rs.end - 1 - p.y < 4) {
      // Within 4 pixels above the next row's top edge: this row's own lower boundary.
      hit.flags |= kHitResize;
    }
    return hit;
  }
  hit.col = cs.index;
  hit.flags = kHitColHeader;
  if (p.x >= cs.start && p.x - cs.start < 4) {
    const int32_t left = c > 0 ? cols_[static_cast<size_t>(c) - 1].index : prevCol_;
    if (left >= 0) {
      hit.col = left;
      hit.flags |= kHitResize;
    }
  } else if (p.x < cs.end && cs.end - 1 - p.x < 3) {
    hit.flags |= kHitResize;
  }
  return hit;
}

}  // namespace view
