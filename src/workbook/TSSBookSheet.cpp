#include "workbook/TSSBookSheet.h"

#include <algorithm>

#include "platform/FontMetrics.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSSStyleCache.h"

namespace workbook {

TSSBookSheet::TSSBookSheet(TCustomSpreadSheetBook& book)
    : book_(book), storage_(std::make_unique<TSSDataStorage>(*this)) {
  ShowGrid = book.ShowGrid();
  ShowFormulas = book.ShowFormulas();
}

TSSBookSheet::~TSSBookSheet() {
  // The storage gives its records back (styles, formula entries) while the book still exists.
  storage_.reset();
}

void TSSBookSheet::SetCaption(const std::string& caption) {
  std::string name = caption;
  book_.Listener().ChangeSheetCaption(*this, name);
  if (name == Caption()) return;
  for (int i = 0; i < book_.PageCount(); ++i) {
    const TSSBookSheet& other = book_.Sheets(i);
    if (&other != this && other.Caption() == name)
      throw ESpreadSheetError("Sheet caption invalid or already exist");
  }
  storage_->SetCaption(name);
  book_.Refresh();
}

void TSSBookSheet::SelectCell(int32_t col, int32_t row, bool edit) {
  if (col < 0 || row < 0 || book_.Listener().EditorShown(*this)) return;
  SetSelection(TRect{col, row, col, row});
  // Into view before the editor opens there (a scroll would end the edit).
  book_.Listener().ScrollIntoView(*this, col, row);
  if (edit && IsCellEditable(storage_->ActiveCol(), storage_->ActiveRow())) {
    // The in-place editor belongs to the view; without one the model only asks the veto.
    book_.Listener().RequestEdit(*this, storage_->ActiveCol(), storage_->ActiveRow());
  }
}

bool TSSBookSheet::IsCellEditable(int32_t col, int32_t row) const {
  if (book_.Loading()) return true;
  if (book_.ExcelProtectionStyle) {
    if (!book_.Protected && !SheetProtected) return true;
    if (storage_->HasRecord(col, row))
      return !(storage_->CellStyleEntry(col, row)->Flags & kStyleLocked);
    return !storage_->ColumnHeader().IsProtectionLocked(col);
  }
  if (book_.ReadOnly() || SheetReadOnly) return false;
  return !(storage_->CellStyleEntry(col, row)->Flags & kStyleReadOnly);
}

bool TSSBookSheet::AreCellsEditable(const TRect& rect) const {
  for (int32_t col = rect.Left; col <= rect.Right; ++col)
    for (int32_t row = rect.Top; row <= rect.Bottom; ++row)
      if (!IsCellEditable(col, row)) return false;
  return true;
}

void TSSBookSheet::NotifyCellsChanged(const TRect& rect) {
  if (!book_.events.OnCellChange) return;
  for (int32_t col = rect.Left; col <= rect.Right; ++col)
    for (int32_t row = rect.Top; row <= rect.Bottom; ++row)
      book_.events.OnCellChange(*this, col, row);
}

void TSSBookSheet::SetColumnsRowsVisible(const TRect& rect, bool columns, bool visible, bool rows) {
  const TRect r{std::min(rect.Left, rect.Right), std::min(rect.Top, rect.Bottom),
                std::max(rect.Left, rect.Right), std::max(rect.Top, rect.Bottom)};
  if (r.Left < 0 || r.Top < 0) return;
  const bool wasSelection = r == storage_->Selection();
  book_.BeginUpdate();
  try {
    const auto apply = [visible](TSSHeader& header, int32_t from, int32_t to) {
      for (int32_t i = from; i <= to && i < kFarEdge; ++i) {
        header.SetVisible(i, visible);
        if (visible && header.Entry(i).Size == 0) header.SetSize(i, header.DefaultSize());
      }
    };
    if (columns) apply(ColumnHeader(), r.Left, std::min(r.Right, r.Left + 65535));
    if (rows) apply(RowHeader(), r.Top, std::min(r.Bottom, r.Top + 1048575));
    if (!visible && wasSelection) {
      TRect sel = storage_->Selection();
      if (columns) {
        const int32_t c = ColumnHeader().NextVisible(r.Left, true);
        sel.Left = sel.Right = c;
      }
      if (rows) {
        const int32_t rr = RowHeader().NextVisible(r.Top, true);
        sel.Top = sel.Bottom = rr;
      }
      storage_->SetSelection(sel);
    }
  } catch (...) {
    book_.EndUpdate();
    throw;
  }
  book_.EndUpdate();
}

void TSSBookSheet::Assign(const TSSBookSheet& source) {
  if (&source == this) return;
  book_.BeginUpdate();
  try {
    SheetReadOnly = source.SheetReadOnly;
    ShowGrid = source.ShowGrid;
    ShowHeaders = source.ShowHeaders;
    ShowFormulas = source.ShowFormulas;
    storage_->Assign(source.Storage());
    storage_->ColumnHeader().Assign(source.Storage().ColumnHeader());
    storage_->RowHeader().Assign(source.Storage().RowHeader());
  } catch (...) {
    book_.EndUpdate();
    throw;
  }
  book_.EndUpdate();
}

std::unique_ptr<TSSCellObject> TSSBookSheet::CellObject(int32_t col, int32_t row) {
  return std::make_unique<TSSCellObject>(*this, col, row);
}

void TSSBookSheet::AutoRowHeight(int32_t row) {
  if (book_.Loading() || row < 0) return;
  TSSHeader& rows = RowHeader();
  // A row sized by hand keeps its size; a default or automatically sized one follows content.
  if (!rows.IsDefaultState(row) && !rows.IsAutoSized(row)) return;
  // The raw column counter bounds the scan (the visible extent would need a scan of its own).
  const int32_t lastCol = storage_->UsedCols() - 1;
  int32_t best = 0;
  for (int32_t col = 0; col <= lastCol; ++col) {
    if (!IsTextType(storage_->CellDataType(col, row))) continue;  // texts only, literal too
    const StyleEntry* style = storage_->CellStyleEntry(col, row);
    if (!style->WordBreak || !style->Font) continue;
    const TRect area = storage_->MergedAreaOf(col, row);
    const int64_t width = ColumnHeader().Distance(area.Left, area.Right + 1) - 4;
    if (width <= 0) continue;
    const std::string text = storage_->CellDisplayText(col, row);
    // Lines broken with the font's real widths; each line is the font's height plus a margin.
    const platform::FontMetrics& metrics =
        platform::SharedFontMetrics(FontDescriptionOf(*style->Font));
    const int32_t lineHeight = metrics.Metrics().height + 2;
    const int32_t lines = static_cast<int32_t>(std::min<size_t>(
        platform::BreakLines(metrics, text,
                             static_cast<int32_t>(std::min<int64_t>(width, INT32_MAX)))
            .size(),
        INT32_MAX));
    int32_t need = lines * lineHeight;
    if (lines == 1 && lineHeight < rows.DefaultSize()) need = rows.DefaultSize();
    best = std::max(best, need);
  }
  if (best > 0 && rows.Entry(row).Size > 0) rows.ScaleSize(row, rows.Entry(row).Size, best);
}

void TSSBookSheet::SetHeaderEntry(int kind, int32_t index, bool visible, bool locked,
                                  uint16_t size) {
  if (index < 0 || index >= kFarEdge) return;
  TSSHeader& header = kind == 0 ? ColumnHeader() : RowHeader();
  header.SetSize(index, size);
  header.SetProtectionLocked(index, locked);
  header.SetVisible(index, visible);
}

std::unique_ptr<TSSCellObject> TSSBookSheet::GetCell(int32_t col, int32_t row) {
  return CellObject(col, row);
}

void TSSBookSheet::SetDefaultSize(int kind, uint16_t size) {
  (kind == 0 ? ColumnHeader() : RowHeader()).SetDefaultSize(size);
}

void TSSBookSheet::SetCapacity(int32_t cols, int32_t rows) {
  // Capacities a file asks for are bounded by what a sheet can address.
  storage_->SetCapacity(std::clamp(cols, 0, kFarEdge), std::clamp(rows, 0, kFarEdge));
}

void TSSBookSheet::SetViewOptions(const TRect& selection, bool showFormulas, bool showHeaders,
                                  bool showGrid) {
  ShowFormulas = showFormulas;
  ShowHeaders = showHeaders;
  ShowGrid = showGrid;
  if (selection.Left >= 0 && selection.Top >= 0 && selection.Right < kFarEdge &&
      selection.Bottom < kFarEdge)
    storage_->SetSelection(selection);
}

TSSStyleCache& TSSBookSheet::StyleCache() { return book_.StyleCache(); }
ModelListener& TSSBookSheet::Listener() { return book_.Listener(); }
CellHistory* TSSBookSheet::History() { return &book_.History(); }
FormulaEngine* TSSBookSheet::FormulaCache() { return book_.FormulaCache(); }
int32_t TSSBookSheet::SheetIndex() const { return std::max(0, book_.IndexOfSheet(this)); }
uint16_t TSSBookSheet::DefaultColWidth() const { return book_.DefaultColWidth(); }
uint16_t TSSBookSheet::DefaultRowHeight() const { return book_.DefaultRowHeight(); }
int TSSBookSheet::Precision() const { return book_.Precision(); }
bool TSSBookSheet::IsLoading() const { return book_.Loading(); }
bool TSSBookSheet::IsReadOnly() const { return book_.ReadOnly() || SheetReadOnly; }

}  // namespace workbook
