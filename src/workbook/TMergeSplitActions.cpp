#include "workbook/TMergeSplitActions.h"

#include "workbook/TSSDataStorage.h"

namespace workbook {

TMergeSplitActions::TMergeSplitActions(TCustomHistory* history, TSSDataStorage& storage,
                                       const TRect& rect)
    : TSpreadSheetActions(history, storage, rect), areas_(storage.MergedCells().AllAreas()) {
  CaptureCells();
}

void TMergeSplitActions::Swap() {
  TSSRectsArray current = storage_->MergedCells().AllAreas();
  storage_->MergedCells().ClearAreas();
  storage_->MergedCells().AddAreas(areas_);
  areas_ = std::move(current);
  SwapCells();
}

MergedAreasAction::MergedAreasAction(TCustomHistory* history, TSSDataStorage& storage)
    : TCustomAction(history), storage_(&storage), areas_(storage.MergedCells().AllAreas()) {}

void MergedAreasAction::Swap() {
  TSSRectsArray current = storage_->MergedCells().AllAreas();
  storage_->MergedCells().ClearAreas();
  storage_->MergedCells().AddAreas(areas_);
  areas_ = std::move(current);
}

}  // namespace workbook
