#include "printing/ReportBuilder.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "printing/TCustomSpreadSheetReportLink.h"
#include "ui/Backend.h"
#include "view/CellColors.h"
#include "view/GridLayout.h"
#include "view/TSpreadSheetBook.h"
#include "view/TextMeasurer.h"
#include "workbook/Errors.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSDataStorage.h"
#include "workbook/TSSMergedCellsStorage.h"

namespace printing {

using workbook::StyleEntry;
using workbook::TRect;

namespace {

// More extra columns than this for overflowing text are not appended.
constexpr int kMaxOverflowColumns = 256;
// Printed ranges are bounded so that a report fits memory: a restricted range reaching the
// sheet's far edge (whole columns or rows selected) stops at the used range.
constexpr int64_t kMaxReportCells = 64LL * 1024 * 1024;

bool EmptyRect(const TRect& r) { return r.Right < r.Left || r.Bottom < r.Top; }

TRect Normalized(TRect r) {
  if (r.Left > r.Right) std::swap(r.Left, r.Right);
  if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
  r.Left = std::clamp(r.Left, 0, workbook::kFarEdge - 1);
  r.Right = std::clamp(r.Right, 0, workbook::kFarEdge - 1);
  r.Top = std::clamp(r.Top, 0, workbook::kFarEdge - 1);
  r.Bottom = std::clamp(r.Bottom, 0, workbook::kFarEdge - 1);
  return r;
}

bool HasValue(const workbook::TSSDataStorage& s, int32_t col, int32_t row) {
  if (s.CellDataType(col, row) != workbook::kCellText) return true;
  return !s.CellValueText(col, row).empty();
}

int RowSize(int size) { return size >= 4 ? size + 3 : size; }

}  // namespace

TRect UsedPrintRange(const workbook::TSSDataStorage& storage) {
  const StyleEntry* def = storage.DefaultStyleEntry();
  int32_t lastCol = -1, lastRow = -1;
  for (int32_t c = 0; c < storage.UsedCols(); ++c) {
    const int32_t rows = storage.RowsInColumn(c);
    for (int32_t r = 0; r < rows; ++r) {
      if (!storage.HasRecord(c, r)) continue;
      const StyleEntry* st = storage.CellStyleEntry(c, r);
      const bool value = HasValue(storage, c, r);
      const bool common = value || st->Font != def->Font || st->FillStyle != def->FillStyle ||
                          st->ForegroundColor != def->ForegroundColor ||
                          st->BackgroundColor != def->BackgroundColor ||
                          st->Borders[workbook::edgeRight] != def->Borders[workbook::edgeRight] ||
                          st->Borders[workbook::edgeBottom] != def->Borders[workbook::edgeBottom];
      // A left border alone is printed as the right border of the cell before it, a top
      // border as the bottom border of the cell above.
      const bool leftDiffers = st->Borders[workbook::edgeLeft] != def->Borders[workbook::edgeLeft];
      const bool topDiffers = st->Borders[workbook::edgeTop] != def->Borders[workbook::edgeTop];
      if (common || topDiffers) lastCol = std::max(lastCol, c);
      if (common || leftDiffers) lastRow = std::max(lastRow, r);
    }
  }
  if (lastCol < 0 || lastRow < 0) return TRect{0, 0, -1, -1};
  TRect range{0, 0, lastCol, lastRow};
  for (const TRect& m : storage.MergedCells().AllAreas()) {
    range.Right = std::max(range.Right, m.Right);
    range.Bottom = std::max(range.Bottom, m.Bottom);
  }
  return range;
}

PrintedRange ChoosePrintedRange(const TCustomSpreadSheetReportLink& link,
                                const workbook::TSSDataStorage& storage) {
  const TRect used = UsedPrintRange(storage);
  const auto restrict = [&](TRect r) {
    r = Normalized(r);
    // Whole columns or rows end where the used range ends (at least one item).
    if (r.Right >= workbook::kFarEdge - 1) r.Right = std::max(r.Left, used.Right);
    if (r.Bottom >= workbook::kFarEdge - 1) r.Bottom = std::max(r.Top, used.Bottom);
    return PrintedRange{r, true};
  };
  if (link.OnlySelected() && !EmptyRect(storage.Selection())) return restrict(storage.Selection());
  if (!EmptyRect(link.PrintArea)) return restrict(link.PrintArea);
  return PrintedRange{used, false};
}

namespace {

class Builder {
 public:
  Builder(const TCustomSpreadSheetReportLink& link, view::TSpreadSheetBook& book,
          const view::TextMeasurer& measurer)
      : link_(link),
        book_(book),
        sheet_(*book.ActiveSheet()),
        storage_(sheet_.Storage()),
        measurer_(measurer) {}

  std::unique_ptr<Report> Run() {
    range_ = ChoosePrintedRange(link_, storage_);
    if (EmptyRect(range_.cells)) throw workbook::ESpreadSheetError(kNothingToPrint);
    if (static_cast<int64_t>(range_.cells.Width()) * range_.cells.Height() > kMaxReportCells)
      throw workbook::ESpreadSheetError(
          "The printed range is too large: " + std::to_string(range_.cells.Width()) +
          " columns by " + std::to_string(range_.cells.Height()) + " rows");
    auto report = Build(0);
    if (!range_.restricted) {
      const int extra = ExtraColumnsNeeded(*report);
      if (extra > 0) report = Build(extra);
    }
    return report;
  }

 private:
  std::unique_ptr<Report> Build(int extraColumns) {
    auto report = std::make_unique<Report>();
    Report& rp = *report;
    headings_ = link_.OptionsView() & ssovRowAndColumnHeadings;
    suppress_ = link_.OptionsView() & ssovSuppressSourceFormats;
    grid_ = link_.OptionsView() & ssovGridLines;
    rp.headings = headings_;
    rp.r1c1 = book_.R1C1ReferenceStyle();
    rp.headingFont = link_.FixedFont;
    rp.headingColor = link_.FixedTransparent
                          ? ui::colors::kWhite
                          : view::ResolveColor(suppress_ ? link_.FixedColor : book_.HeaderColor);
    rp.headingTransparent = link_.FixedTransparent;
    rp.headingRaised = link_.Effects3D;
    rp.headingSoft = link_.Soft3D;
    rp.transparentCells = link_.Transparent;
    rp.scaleFonts = link_.ScaleFonts;
    rp.colors.Refresh(book_);
    if (suppress_) {
      // Unfilled data cells print in the link's colour, grid lines in its grid-line colour.
      rp.colors.SetSpecial(view::CellColors::kSpecialBackground, view::ResolveColor(link_.Color));
      rp.colors.SetSpecial(view::CellColors::kSpecialGrid, view::ResolveColor(link_.GridLineColor));
    }
    rp.overflowColumns = extraColumns;
    styleIndex_.clear();
    Sizes(rp, extraColumns);
    bool anyCol = false, anyRow = false;
    for (size_t c = 1; c < rp.columns.size(); ++c) anyCol = anyCol || rp.columns[c].printed;
    for (size_t r = 1; r < rp.rows.size(); ++r) anyRow = anyRow || rp.rows[r].printed;
    if (!anyCol || !anyRow) throw workbook::ESpreadSheetError(kNothingToPrint);
    if (link_.UseCustomPageBreaks) CustomBreaks(rp);
    Cells(rp);
    Merged(rp);
    if (link_.OnInitializeItem) InitializeItems(rp);
    Sides(rp);
    Overflow(rp);
    if (link_.RowAutoHeight) AutoHeights(rp);
    return report;
  }

  void Sizes(Report& rp, int extraColumns) {
    const TRect& cells = range_.cells;
    const int fixedHeight = measurer_.LineHeight(link_.FixedFont);
    rp.columns.push_back(ReportColumn{-1, book_.RowHeaderWidth(), headings_});
    for (int32_t c = cells.Left; c <= cells.Right; ++c) {
      const int size = storage_.ColumnHeader().Size(c);
      rp.columns.push_back(ReportColumn{c, size, storage_.ColumnHeader().IsVisible(c) && size > 0});
    }
    for (int i = 1; i <= extraColumns; ++i)
      rp.columns.push_back(ReportColumn{cells.Right + i, book_.DefaultColWidth(), true});
    rp.rows.push_back(
        ReportColumn{-1, std::max(RowSize(book_.ColHeaderHeight()), fixedHeight), headings_});
    for (int32_t r = cells.Top; r <= cells.Bottom; ++r) {
      const int size = storage_.RowHeader().Size(r);
      rp.rows.push_back(ReportColumn{r, std::max(RowSize(size), fixedHeight),
                                     storage_.RowHeader().IsVisible(r) && size > 0});
    }
  }

  void CustomBreaks(Report& rp) const {
    std::vector<int32_t> columnBreaks = link_.ColumnBreaks, rowBreaks = link_.RowBreaks;
    if (link_.OnGetCustomPageBreaks)
      CallHook("OnGetCustomPageBreaks",
               [&] { link_.OnGetCustomPageBreaks(columnBreaks, rowBreaks); });
    const auto mark = [](std::vector<ReportColumn>& items, std::vector<int32_t> breaks) {
      std::sort(breaks.begin(), breaks.end());
      for (size_t i = 1; i < items.size(); ++i)
        items[i].breakBefore =
            std::binary_search(breaks.begin(), breaks.end(), items[i].sheetIndex);
    };
    if (link_.UseVertDelimiters) mark(rp.columns, std::move(columnBreaks));
    if (link_.UseHorzDelimiters) mark(rp.rows, std::move(rowBreaks));
  }

  // Runs a caller's hook; whatever it throws becomes the report's error.
  template <typename F>
  static void CallHook(const char* name, F&& call) {
    try {
      call();
    } catch (const std::exception& e) {
      throw workbook::ESpreadSheetError(std::string(name) + " failed: " + e.what());
    } catch (...) {
      throw workbook::ESpreadSheetError(std::string(name) + " failed");
    }
  }

  // The item the hook sees for a cell or merged area, and what it changed written back.
  ReportItem ItemOf(const Report& rp, size_t c, size_t r, const std::string& text,
                    ui::HorzAlign align, uint32_t style, bool merged) const {
    ReportItem item;
    item.column = c;
    item.row = r;
    item.sheetColumn = SheetCol(rp, c);
    item.sheetRow = SheetRow(rp, r);
    item.merged = merged;
    item.text = text;
    item.align = align;
    item.style = rp.styles[style];
    if (item.style.Font) item.font = *item.style.Font;
    item.style.Font = &item.font;
    return item;
  }

  // The report style of a changed item: its original one when nothing changed, else one
  // variant per distinct change (a hook that changes every cell alike adds one style).
  uint32_t StyleAfterHook(Report& rp, uint32_t original, ReportItem& item) {
    const auto same = [&](const StyleEntry& a) {
      StyleEntry probe = item.style;
      probe.Font = a.Font;
      const bool fontSame = a.Font ? a.Font->SameFont(item.font) : item.font.SameFont({});
      return probe.SameStyle(a) && fontSame;
    };
    if (same(rp.styles[original])) return original;
    std::vector<uint32_t>& variants = variants_[original];
    for (uint32_t v : variants)
      if (same(rp.styles[v])) return v;
    rp.fonts.push_back(item.font);
    rp.fonts.back().Handle = 0;
    StyleEntry copy = item.style;
    copy.Font = &rp.fonts.back();
    const uint32_t index = static_cast<uint32_t>(rp.styles.size());
    rp.styles.push_back(copy);
    variants.push_back(index);
    return index;
  }

  void InitializeItems(Report& rp) {
    variants_.clear();
    const size_t nc = rp.DataColumns(), nr = rp.DataRows();
    for (size_t r = 1; r <= nr; ++r) {
      if (!rp.rows[r].printed) continue;
      for (size_t c = 1; c <= nc; ++c) {
        ReportCell& cell = rp.Cell(c, r);
        if (!rp.columns[c].printed || cell.merged >= 0) continue;
        ReportItem item = ItemOf(rp, c, r, cell.text, cell.align, cell.style, false);
        CallHook("OnInitializeItem", [&] { link_.OnInitializeItem(item); });
        cell.text = std::move(item.text);
        cell.align = item.align;
        cell.style = StyleAfterHook(rp, cell.style, item);
        cell.transparent = Transparent(rp, rp.styles[cell.style]);
      }
    }
    for (ReportMerged& m : rp.merged) {
      ReportItem item = ItemOf(rp, static_cast<size_t>(m.area.Left),
                               static_cast<size_t>(m.area.Top), m.text, m.align, m.style, true);
      CallHook("OnInitializeItem", [&] { link_.OnInitializeItem(item); });
      m.text = std::move(item.text);
      m.align = item.align;
      m.style = StyleAfterHook(rp, m.style, item);
      m.transparent = Transparent(rp, rp.styles[m.style]);
    }
  }

  uint32_t StyleOf(Report& rp, const StyleEntry* source) {
    if (suppress_) source = storage_.DefaultStyleEntry();
    auto it = styleIndex_.find(source);
    if (it != styleIndex_.end()) return it->second;
    StyleEntry copy = *source;
    if (suppress_) {
      rp.fonts.push_back(workbook::TSSFontRec{});
      workbook::TSSFontRec& f = rp.fonts.back();
      f.Name = link_.Font.name;
      f.Size = static_cast<uint8_t>(std::clamp(link_.Font.size, 1, 255));
      f.Style = (link_.Font.bold ? workbook::kFontBold : 0) |
                (link_.Font.italic ? workbook::kFontItalic : 0);
      f.Color = workbook::kAutomaticColor;
      copy.Font = &f;
      copy.FillStyle = workbook::fsSolid;
      copy.BackgroundColor = copy.ForegroundColor = workbook::kDefaultFillColor;
      copy.Borders = {};
    } else if (source->Font) {
      rp.fonts.push_back(*source->Font);
      rp.fonts.back().Handle = 0;
      // A face the system does not have prints in the link's font rather than in whatever
      // the platform would substitute.
      if (!Installed(rp.fonts.back().Name)) rp.fonts.back().Name = link_.Font.name;
      copy.Font = &rp.fonts.back();
    }
    const uint32_t index = static_cast<uint32_t>(rp.styles.size());
    rp.styles.push_back(copy);
    styleIndex_.emplace(source, index);
    return index;
  }

  // A solid fill in the window colour: the cell has no fill of its own.
  static bool Transparent(const Report& rp, const StyleEntry& style) {
    return style.FillStyle == workbook::fsSolid &&
           rp.colors.FillBackground(style.BackgroundColor, false) == ui::colors::kWhite;
  }

  bool Installed(const std::string& name) {
    if (installed_.empty()) {
      for (std::string face : ui::CurrentBackend().ScreenFonts()) installed_.insert(Lower(face));
      if (installed_.empty()) return true;  // a system that names no fonts substitutes them all
    }
    return installed_.count(Lower(name)) != 0;
  }
  static std::string Lower(std::string text) {
    for (char& ch : text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return text;
  }

  int32_t SheetCol(const Report& rp, size_t c) const { return rp.columns[c].sheetIndex; }
  int32_t SheetRow(const Report& rp, size_t r) const { return rp.rows[r].sheetIndex; }
  bool InSheetRange(const Report& rp, size_t c) const {
    return SheetCol(rp, c) <= range_.cells.Right;
  }

  void Cells(Report& rp) {
    const size_t nc = rp.DataColumns(), nr = rp.DataRows();
    rp.cells.assign(nc * nr, ReportCell{});
    const StyleEntry* def = storage_.DefaultStyleEntry();
    for (size_t r = 1; r <= nr; ++r) {
      if (!rp.rows[r].printed) continue;
      for (size_t c = 1; c <= nc; ++c) {
        ReportCell& cell = rp.Cell(c, r);
        if (!rp.columns[c].printed || !InSheetRange(rp, c)) {
          cell.style = StyleOf(rp, def);
          continue;
        }
        const int32_t col = SheetCol(rp, c), row = SheetRow(rp, r);
        const StyleEntry* st = storage_.CellStyleEntry(col, row);
        cell.style = StyleOf(rp, st);
        const StyleEntry& printed = rp.styles[cell.style];
        cell.transparent = Transparent(rp, printed);
        if (storage_.HasRecord(col, row)) cell.text = storage_.CellDisplayText(col, row);
        cell.align = view::ValueAlign(storage_, col, row, printed);
      }
    }
  }

  // Report column (row) of a sheet column (row), clamped into the report's data items.
  static size_t ReportIndex(int32_t sheetIndex, int32_t first, size_t count) {
    const int64_t i = static_cast<int64_t>(sheetIndex) - first + 1;
    return static_cast<size_t>(std::clamp<int64_t>(i, 1, static_cast<int64_t>(count)));
  }

  void Merged(Report& rp) {
    const TRect& cells = range_.cells;
    const auto areas = range_.restricted ? storage_.MergedCells().AreasIn(cells)
                                         : storage_.MergedCells().AllAreas();
    for (const TRect& a : areas) {
      if (a.Right < cells.Left || a.Left > cells.Right || a.Bottom < cells.Top ||
          a.Top > cells.Bottom)
        continue;
      ReportMerged m;
      m.area = TRect{static_cast<int32_t>(ReportIndex(a.Left, cells.Left, rp.DataColumns())),
                     static_cast<int32_t>(ReportIndex(a.Top, cells.Top, rp.DataRows())),
                     static_cast<int32_t>(ReportIndex(a.Right, cells.Left, rp.DataColumns())),
                     static_cast<int32_t>(ReportIndex(a.Bottom, cells.Top, rp.DataRows()))};
      m.style = StyleOf(rp, storage_.CellStyleEntry(a.Left, a.Top));
      if (storage_.HasRecord(a.Left, a.Top)) m.text = storage_.CellDisplayText(a.Left, a.Top);
      m.align = view::ValueAlign(storage_, a.Left, a.Top, rp.styles[m.style]);
      m.transparent = Transparent(rp, rp.styles[m.style]);
      const int index = static_cast<int>(rp.merged.size());
      rp.merged.push_back(std::move(m));
      const TRect& ra = rp.merged.back().area;
      for (int32_t r = ra.Top; r <= ra.Bottom; ++r)
        for (int32_t c = ra.Left; c <= ra.Right; ++c) {
          ReportCell& cell = rp.Cell(static_cast<size_t>(c), static_cast<size_t>(r));
          cell.merged = index;
          cell.text.clear();
        }
    }
  }

  // The side a cell's default edge gets as a grid line: the default style's border of that
  // direction when it has a style of its own, else the book's grid colour.
  view::Side GridSide(bool vertical) const {
    const StyleEntry* def = storage_.DefaultStyleEntry();
    const workbook::EdgeRec& e = def->Borders[vertical ? workbook::edgeLeft : workbook::edgeTop];
    if (e.Style != workbook::lsDefault && e.Style != workbook::lsNone)
      return view::Side{workbook::lsThin, e.Color};
    return view::Side{workbook::lsDefault, workbook::kAutomaticColor};
  }

  void Sides(Report& rp) {
    const size_t nc = rp.DataColumns(), nr = rp.DataRows();
    rp.vLines.assign((nc + 1) * nr, view::Side{});
    rp.hLines.assign(nc * (nr + 1), view::Side{});
    // The outer edges: the first and last printed data items.
    size_t firstC = 0, lastC = 0, firstR = 0, lastR = 0;
    for (size_t c = 1; c <= nc; ++c)
      if (rp.columns[c].printed) {
        if (!firstC) firstC = c;
        lastC = c;
      }
    for (size_t r = 1; r <= nr; ++r)
      if (rp.rows[r].printed) {
        if (!firstR) firstR = r;
        lastR = r;
      }
    const auto own = [&](const ReportCell& cell, workbook::EdgeSide side, view::Side& line) {
      const workbook::EdgeRec& e = rp.StyleOf(cell).Borders[side];
      if (e.Style != workbook::lsDefault && e.Style != workbook::lsNone)
        line = view::Side{e.Style, e.Color};
    };
    const view::Side vGrid = GridSide(true), hGrid = GridSide(false);
    // The printed neighbour before (after) an item, 0 when none.
    std::vector<size_t> prevC(nc + 2, 0), nextC(nc + 2, 0), prevR(nr + 2, 0), nextR(nr + 2, 0);
    for (size_t c = 1, last = 0; c <= nc; ++c) {
      prevC[c] = last;
      if (rp.columns[c].printed) last = c;
    }
    for (size_t c = nc, next = 0; c >= 1; --c) {
      nextC[c] = next;
      if (rp.columns[c].printed) next = c;
    }
    for (size_t r = 1, last = 0; r <= nr; ++r) {
      prevR[r] = last;
      if (rp.rows[r].printed) last = r;
    }
    for (size_t r = nr, next = 0; r >= 1; --r) {
      nextR[r] = next;
      if (rp.rows[r].printed) next = r;
    }
    for (size_t r = 1; r <= nr; ++r) {
      if (!rp.rows[r].printed) continue;
      for (size_t c = 1; c <= nc; ++c) {
        if (!rp.columns[c].printed) continue;
        const ReportCell& cell = rp.Cell(c, r);
        // Grid lines: left and top sides, plus the outer right and bottom edges.
        if (grid_) {
          const size_t pc = prevC[c], pr = prevR[r];
          if (c == firstC || (cell.transparent && pc && rp.Cell(pc, r).transparent))
            rp.VLine(c, r) = vGrid;
          if (c == lastC) rp.VLine(c + 1, r) = vGrid;
          if (r == firstR || (cell.transparent && pr && rp.Cell(c, pr).transparent))
            rp.HLine(c, r) = hGrid;
          if (r == lastR) rp.HLine(c, r + 1) = hGrid;
        }
        // A side with a style of its own is always drawn; it lies on the boundary after the
        // printed neighbour, so a hidden item between them leaves no gap.
        own(cell, workbook::edgeLeft, rp.VLine(c, r));
        own(cell, workbook::edgeTop, rp.HLine(c, r));
        own(cell, workbook::edgeRight, rp.VLine(nextC[c] ? nextC[c] : c + 1, r));
        own(cell, workbook::edgeBottom, rp.HLine(c, nextR[r] ? nextR[r] : r + 1));
      }
    }
    // Nothing inside a merged area.
    for (const ReportMerged& m : rp.merged) {
      for (int32_t r = m.area.Top; r <= m.area.Bottom; ++r)
        for (int32_t c = m.area.Left + 1; c <= m.area.Right; ++c)
          rp.VLine(static_cast<size_t>(c), static_cast<size_t>(r)) = view::Side{};
      for (int32_t r = m.area.Top + 1; r <= m.area.Bottom; ++r)
        for (int32_t c = m.area.Left; c <= m.area.Right; ++c)
          rp.HLine(static_cast<size_t>(c), static_cast<size_t>(r)) = view::Side{};
    }
  }

  int Excess(const Report& rp, const ReportCell& cell, size_t c) const {
    const ui::Font font = view::CellFont(rp.StyleOf(cell).Font);
    return measurer_.Width(font, cell.text) + 6 - rp.columns[c].size;
  }

  bool Overflows(const Report& rp, const ReportCell& cell) const {
    return cell.merged < 0 && !cell.text.empty() && !rp.StyleOf(cell).WordBreak;
  }

  static bool Blocks(const ReportCell& n) { return n.merged >= 0 || !n.text.empty(); }

  // Spreads the excess of cell (c, r) over empty printed neighbours in one direction; returns
  // what is left when the row ends first.
  int Spread(Report& rp, size_t c, size_t r, int excess, bool right, int& reach) {
    const size_t nc = rp.DataColumns();
    size_t k = c;
    while (excess > 0) {
      if (right ? k >= nc : k <= 1) return excess;
      k = right ? k + 1 : k - 1;
      if (!rp.columns[k].printed) continue;
      if (Blocks(rp.Cell(k, r))) return 0;
      view::Side& line = rp.VLine(right ? k : k + 1, r);
      if (line.style == workbook::lsDefault) line = view::Side{};
      reach += rp.columns[k].size;
      excess -= rp.columns[k].size;
    }
    return 0;
  }

  void Overflow(Report& rp) {
    const size_t nc = rp.DataColumns(), nr = rp.DataRows();
    for (size_t r = 1; r <= nr; ++r) {
      if (!rp.rows[r].printed) continue;
      for (size_t c = 1; c <= nc; ++c) {
        ReportCell& cell = rp.Cell(c, r);
        if (!rp.columns[c].printed || !Overflows(rp, cell)) continue;
        const int excess = Excess(rp, cell, c);
        if (excess <= 0) continue;
        switch (cell.align) {
          case ui::HorzAlign::Left:
            Spread(rp, c, r, excess, true, cell.overflowRight);
            break;
          case ui::HorzAlign::Right:
            Spread(rp, c, r, excess, false, cell.overflowLeft);
            break;
          case ui::HorzAlign::Center:
            Spread(rp, c, r, (excess + 1) / 2, true, cell.overflowRight);
            Spread(rp, c, r, (excess + 1) / 2, false, cell.overflowLeft);
            break;
        }
      }
    }
  }

  // How many columns of the default width the text running past the last report column needs.
  int ExtraColumnsNeeded(const Report& rp) const {
    const size_t nc = rp.DataColumns(), nr = rp.DataRows();
    int needed = 0;
    for (size_t r = 1; r <= nr; ++r) {
      if (!rp.rows[r].printed) continue;
      for (size_t c = nc; c >= 1; --c) {
        const ReportCell& cell = rp.Cell(c, r);
        if (!rp.columns[c].printed) continue;
        if (Blocks(cell)) {
          if (Overflows(rp, cell) && cell.align != ui::HorzAlign::Right) {
            int excess = Excess(rp, cell, c);
            if (cell.align == ui::HorzAlign::Center) excess = (excess + 1) / 2;
            for (size_t k = c + 1; k <= nc; ++k)
              if (rp.columns[k].printed) excess -= rp.columns[k].size;
            if (excess > 0) {
              const int w = std::max<int>(1, book_.DefaultColWidth());
              needed = std::max(needed, (excess + w - 1) / w);
            }
          }
          break;  // only the last cell with text in a row can reach past the end
        }
      }
    }
    return std::min(needed, kMaxOverflowColumns);
  }

  void AutoHeights(Report& rp) {
    const int minimum = measurer_.LineHeight(link_.FixedFont);
    for (size_t r = 1; r <= rp.DataRows(); ++r) {
      if (!rp.rows[r].printed) continue;
      int height = minimum;
      for (size_t c = 1; c <= rp.DataColumns(); ++c) {
        const ReportCell& cell = rp.Cell(c, r);
        if (!rp.columns[c].printed || cell.text.empty()) continue;
        const ui::Font font = view::CellFont(rp.StyleOf(cell).Font);
        int lines = 1;
        if (rp.StyleOf(cell).WordBreak) {
          const int width = std::max(1, rp.columns[c].size - 4);
          lines = std::max(1, (measurer_.Width(font, cell.text) + width - 1) / width);
        }
        height = std::max(height, lines * measurer_.LineHeight(font) + 4);
      }
      rp.rows[r].size = height;
    }
  }

  const TCustomSpreadSheetReportLink& link_;
  view::TSpreadSheetBook& book_;
  workbook::TSSBookSheet& sheet_;
  const workbook::TSSDataStorage& storage_;
  const view::TextMeasurer& measurer_;
  PrintedRange range_;
  bool headings_ = false, suppress_ = false, grid_ = false;
  std::map<const StyleEntry*, uint32_t> styleIndex_;
  std::map<uint32_t, std::vector<uint32_t>> variants_;
  std::set<std::string> installed_;  // lower-case faces of the system, read once per build  //
                                     // styles changed by OnInitializeItem
};

}  // namespace

std::unique_ptr<Report> BuildReport(const TCustomSpreadSheetReportLink& link,
                                    view::TSpreadSheetBook& book,
                                    const view::TextMeasurer& measurer) {
  if (!book.ActiveSheet()) throw workbook::ESpreadSheetError(kNothingToPrint);
  return Builder(link, book, measurer).Run();
}

}  // namespace printing
