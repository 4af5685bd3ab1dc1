#pragma once
// Insertion and deletion of cells with one of the four shift modes.
#include <vector>

#include "workbook/TSSHeader.h"
#include "workbook/TSSMergedCellsStorage.h"
#include "workbook/TSpreadSheetActions.h"

namespace workbook {

// Insertion and deletion with a shift mode.
class TSpreadSheetInsertDeleteActions : public TSpreadSheetActions {
 public:
  TSpreadSheetInsertDeleteActions(TCustomHistory* history, TSSDataStorage& storage,
                                  const TRect& rect, int mode)
      : TSpreadSheetActions(history, storage, rect), mode_(mode) {}
  int Mode() const { return mode_; }

 protected:
  int mode_;
};

class TInsertCellsAction : public TSpreadSheetInsertDeleteActions {
 public:
  using TSpreadSheetInsertDeleteActions::TSpreadSheetInsertDeleteActions;
  std::string Caption() const override { return "Insert cells"; }
  void Undo() override;
  void Redo() override;
};

// Keeps the deleted cells, the merged areas and the header entries of deleted columns/rows.
class TDeleteCellsAction : public TSpreadSheetInsertDeleteActions {
 public:
  TDeleteCellsAction(TCustomHistory* history, TSSDataStorage& storage, const TRect& rect, int mode);
  std::string Caption() const override { return "Delete cells"; }
  void Undo() override;
  void Redo() override;

 private:
  void SwapCaptured();
  TRect captured_;  // the part of the rectangle whose cells are kept
  TSSRectsArray areas_;
  std::vector<HeaderEntry> headerEntries_;
};

}  // namespace workbook
