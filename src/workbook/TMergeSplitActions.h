#pragma once
// Actions on the merged areas of a sheet: merging and splitting a rectangle, and a change of
// the merged list alone.

#include "workbook/TSSMergedCellsStorage.h"
#include "workbook/TSpreadSheetActions.h"

namespace workbook {

// Merge and split: the cells of the rectangle and the merged list before the change.
class TMergeSplitActions : public TSpreadSheetActions {
 public:
  TMergeSplitActions(TCustomHistory* history, TSSDataStorage& storage, const TRect& rect);
  void Undo() override { Swap(); }
  void Redo() override { Swap(); }

 private:
  void Swap();
  TSSRectsArray areas_;
};

class TMergeCellsAction : public TMergeSplitActions {
 public:
  using TMergeSplitActions::TMergeSplitActions;
  std::string Caption() const override { return "Merge cells"; }
};

class TSplitCellsAction : public TMergeSplitActions {
 public:
  using TMergeSplitActions::TMergeSplitActions;
  std::string Caption() const override { return "Split cells"; }
};

// The merged list alone (areas added by a paste).
class MergedAreasAction : public TCustomAction {
 public:
  MergedAreasAction(TCustomHistory* history, TSSDataStorage& storage);
  std::string Caption() const override { return "TMergedAreasAction"; }
  void Undo() override { Swap(); }
  void Redo() override { Swap(); }

 private:
  void Swap();
  TSSDataStorage* storage_;
  TSSRectsArray areas_;
};

}  // namespace workbook
