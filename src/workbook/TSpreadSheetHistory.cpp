#include "workbook/TSpreadSheetHistory.h"

#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TMergeSplitActions.h"
#include "workbook/TSpreadSheetActions.h"
#include "workbook/TSpreadSheetInsertDeleteActions.h"

namespace workbook {

void TSpreadSheetHistory::RecordCellChange(TSSDataStorage& storage, int32_t col, int32_t row) {
  if (IsSuspended()) return;
  auto action = std::make_unique<TChangeDataAction>(this, storage, TRect{col, row, col, row});
  action->CaptureCells();
  AddAction(std::move(action));
}

void TSpreadSheetHistory::RecordMergeSplit(TSSDataStorage& storage, const TRect& rect, bool merge) {
  if (IsSuspended()) return;
  if (merge)
    AddAction(std::make_unique<TMergeCellsAction>(this, storage, rect));
  else
    AddAction(std::make_unique<TSplitCellsAction>(this, storage, rect));
}

void TSpreadSheetHistory::RecordCellsChange(TSSDataStorage& storage, const TRect& rect) {
  if (IsSuspended()) return;
  auto action = std::make_unique<TSpreadSheetChangeCellsAction>(this, storage, rect);
  action->CaptureCells();
  AddAction(std::move(action));
}

void TSpreadSheetHistory::RecordRowOrder(TSSDataStorage& storage, const TRect& rect,
                                         const std::vector<int32_t>& order) {
  if (IsSuspended()) return;
  AddAction(std::make_unique<SortRowsAction>(this, storage, rect, order));
}

void TSpreadSheetHistory::RecordMergedAreas(TSSDataStorage& storage) {
  if (IsSuspended()) return;
  AddAction(std::make_unique<MergedAreasAction>(this, storage));
}

void TSpreadSheetHistory::RecordInsertDelete(TSSDataStorage& storage, const TRect& rect, int mode,
                                             bool isDelete) {
  if (IsSuspended()) return;
  if (isDelete)
    AddAction(std::make_unique<TDeleteCellsAction>(this, storage, rect, mode));
  else
    AddAction(std::make_unique<TInsertCellsAction>(this, storage, rect, mode));
}

void TSpreadSheetHistory::AfterUndoRedo() {
  if (!book_ || !book_->FormulaCache()) return;
  for (int i = 0; i < 2 * book_->PageCount(); ++i) book_->FormulaCache()->RecalculateAll();
}

void TSpreadSheetHistory::Changed() {
  if (book_) book_->Listener().HistoryChanged();
}

void TSpreadSheetHistory::LockBook(bool unlock) {
  if (!book_) return;
  if (unlock)
    book_->EndUpdate();
  else
    book_->BeginUpdate();
}

}  // namespace workbook
