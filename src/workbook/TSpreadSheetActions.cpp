#include "workbook/TSpreadSheetActions.h"

#include "workbook/TSSDataStorage.h"

namespace workbook {

void TSpreadSheetActions::CaptureCells() {
  cells_.clear();
  for (int32_t col = rect_.Left; col <= rect_.Right; ++col) {
    std::vector<TStoreCellRec> column;
    for (int32_t row = rect_.Top; row <= rect_.Bottom; ++row)
      column.push_back(CaptureCell(*storage_, col, row));
    cells_.push_back(std::move(column));
  }
}

void TSpreadSheetActions::SwapCells() {
  for (int32_t col = rect_.Left; col <= rect_.Right; ++col) {
    auto& column = cells_[static_cast<size_t>(col - rect_.Left)];
    for (int32_t row = rect_.Top; row <= rect_.Bottom; ++row) {
      TStoreCellRec& stored = column[static_cast<size_t>(row - rect_.Top)];
      TStoreCellRec current = CaptureCell(*storage_, col, row);
      RestoreCell(*storage_, col, row, stored);
      stored = std::move(current);
    }
  }
}

void SortRowsAction::Undo() {
  std::vector<int32_t> inverse(order_.size());
  for (size_t i = 0; i < order_.size(); ++i)
    inverse[static_cast<size_t>(order_[i])] = static_cast<int32_t>(i);
  storage_->PermuteRows(rect_, inverse);
}

void SortRowsAction::Redo() { storage_->PermuteRows(rect_, order_); }

}  // namespace workbook
