#include "workbook/TSpreadSheetInsertDeleteActions.h"

#include <algorithm>

#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSDataStorage.h"

namespace workbook {

namespace {
// Formulas follow whole columns and rows; cell shifts inside rows or columns leave them.
void ShiftFormulas(TSSDataStorage& storage, const TRect& rect, int mode, bool isDelete) {
  FormulaEngine* formulas = storage.Host().FormulaCache();
  if (!formulas) return;
  const int32_t sheet = storage.SheetIndex();
  if (mode == 2)
    formulas->ColumnsShifted(sheet, rect.Left, isDelete ? -rect.Width() : rect.Width());
  if (mode == 3) formulas->RowsShifted(sheet, rect.Top, isDelete ? -rect.Height() : rect.Height());
}
}  // namespace

void TInsertCellsAction::Undo() {
  ShiftFormulas(*storage_, rect_, mode_, true);
  storage_->DeleteCells(rect_, mode_);
}

void TInsertCellsAction::Redo() {
  ShiftFormulas(*storage_, rect_, mode_, false);
  storage_->InsertCells(rect_, mode_);
}

TDeleteCellsAction::TDeleteCellsAction(TCustomHistory* history, TSSDataStorage& storage,
                                       const TRect& rect, int mode)
    : TSpreadSheetInsertDeleteActions(history, storage, rect, mode),
      areas_(storage.MergedCells().AllAreas()) {
  // Only cells that can hold records need keeping: beyond the used area everything is empty.
  const TRect full = rect_;
  rect_.Right = std::min(rect_.Right, std::max(rect_.Left, storage.UsedCols() - 1));
  rect_.Bottom = std::min(rect_.Bottom, std::max(rect_.Top, storage.UsedRows() - 1));
  CaptureCells();
  captured_ = rect_;
  rect_ = full;
  // Likewise only explicit header entries differ from the default.
  if (mode == 2)
    for (int32_t i = rect.Left; i <= rect.Right && i < storage.ColumnHeader().Count(); ++i)
      headerEntries_.push_back(storage.ColumnHeader().Entry(i));
  if (mode == 3)
    for (int32_t i = rect.Top; i <= rect.Bottom && i < storage.RowHeader().Count(); ++i)
      headerEntries_.push_back(storage.RowHeader().Entry(i));
}

void TDeleteCellsAction::Undo() {
  ShiftFormulas(*storage_, rect_, mode_, false);
  storage_->InsertCells(rect_, mode_);
  // Header entries of the deleted columns or rows come back as they were.
  TSSHeader* header = mode_ == 2   ? &storage_->ColumnHeader()
                      : mode_ == 3 ? &storage_->RowHeader()
                                   : nullptr;
  const int32_t first = mode_ == 2 ? rect_.Left : rect_.Top;
  if (header) {
    for (size_t i = 0; i < headerEntries_.size(); ++i) {
      const int32_t index = first + static_cast<int32_t>(i);
      if (index < header->Count() || !(headerEntries_[i] == header->Entry(-1)))
        header->StoreEntry(index, headerEntries_[i]);
    }
  }
  storage_->MergedCells().ClearAreas();
  storage_->MergedCells().AddAreas(areas_);
  SwapCaptured();
}

void TDeleteCellsAction::SwapCaptured() {
  const TRect full = rect_;
  rect_ = captured_;
  SwapCells();
  rect_ = full;
}

void TDeleteCellsAction::Redo() {
  SwapCaptured();
  ShiftFormulas(*storage_, rect_, mode_, true);
  storage_->DeleteCells(rect_, mode_);
}

}  // namespace workbook
