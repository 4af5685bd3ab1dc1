#include "workbook/TSSListener.h"

#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"

namespace workbook {

TSSBookSheet* TSSListener::SheetOf(TSSDataStorage& storage) const {
  return dynamic_cast<TSSBookSheet*>(&storage.Host());
}

void TSSListener::CellChanged(TSSDataStorage& storage, int32_t col, int32_t row) {
  ++repaintCount;
  if (IsLocked() || !book_.events.OnCellChange) return;
  if (TSSBookSheet* sheet = SheetOf(storage)) book_.events.OnCellChange(*sheet, col, row);
}

void TSSListener::ResizeHeader(TSSDataStorage& storage, HeaderKind kind, int32_t index,
                               uint16_t& newSize) {
  if (IsLocked()) return;
  TSSBookSheet* sheet = SheetOf(storage);
  if (!sheet) return;
  auto& handler = kind == HeaderKind::Columns ? book_.events.OnResizeCol : book_.events.OnResizeRow;
  if (handler) handler(*sheet, index, newSize);
}

void TSSListener::HeaderVisibilityChanged(TSSDataStorage& storage, HeaderKind kind, int32_t index,
                                          bool previous, bool now) {
  ++repaintCount;
  if (IsLocked()) return;
  TSSBookSheet* sheet = SheetOf(storage);
  if (!sheet) return;
  auto& handler = kind == HeaderKind::Columns ? book_.events.OnChangeColVisible
                                              : book_.events.OnChangeRowVisible;
  if (handler) handler(book_, *sheet, index, previous, now);
}

void TSSListener::MergeCells(TSSDataStorage& storage, const TRect& rect, bool isMerge,
                             bool& canMerge) {
  if (IsLocked() || !book_.events.OnMergeCells) return;
  if (TSSBookSheet* sheet = SheetOf(storage))
    book_.events.OnMergeCells(*sheet, rect, isMerge, canMerge);
}

void TSSListener::ActiveCellChanging(TSSDataStorage& storage, TPoint cell, bool& canSelect) {
  if (IsLocked() || !book_.events.OnActiveCellChanging) return;
  if (TSSBookSheet* sheet = SheetOf(storage))
    book_.events.OnActiveCellChanging(*sheet, cell, canSelect);
}

void TSSListener::ClearCells(TSSDataStorage& storage, const TRect& rect, bool& useDefaultStyle,
                             bool& canClear) {
  // Raised even under the update lock.
  if (!book_.events.OnClearCells) return;
  if (TSSBookSheet* sheet = SheetOf(storage))
    book_.events.OnClearCells(*sheet, rect, useDefaultStyle, canClear);
}

void TSSListener::SelectionChanged(TSSDataStorage& storage) {
  ++repaintCount;
  if (IsLocked() || !book_.events.OnSetSelection) return;
  if (TSSBookSheet* sheet = SheetOf(storage)) book_.events.OnSetSelection(book_, *sheet);
}

void TSSListener::BeginUpdate() { book_.BeginUpdate(); }
void TSSListener::EndUpdate() { book_.EndUpdate(); }

void TSSListener::HistoryChanged() {
  if (!IsLocked() && book_.events.OnHistoryChanged) book_.events.OnHistoryChanged(book_);
}

bool TSSListener::ChangeSheetCaption(TSSBookSheet& sheet, std::string& caption) {
  if (IsLocked() || !book_.events.OnChangeSheetCaption) return true;
  book_.events.OnChangeSheetCaption(sheet, caption);
  return true;
}

bool TSSListener::CanEdit(TSSBookSheet& sheet, int32_t col, int32_t row) {
  bool canEdit = true;
  if (!IsLocked() && book_.events.OnEditing) book_.events.OnEditing(sheet, col, row, canEdit);
  return canEdit;
}

void TSSListener::RequestEdit(TSSBookSheet& sheet, int32_t col, int32_t row) {
  if (openEditor) {
    openEditor(sheet);
    return;
  }
  CanEdit(sheet, col, row);
}

}  // namespace workbook
