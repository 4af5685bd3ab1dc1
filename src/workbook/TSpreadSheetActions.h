#pragma once
// Actions on the cells of one rectangle of one sheet: a change of cells (one cell or a whole
// rectangle) and a sort of its rows.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "workbook/Geometry.h"
#include "workbook/TCustomAction.h"
#include "workbook/TStoreCellRec.h"

namespace workbook {

class TSSDataStorage;

// Actions on the cells of one rectangle of one sheet.
class TSpreadSheetActions : public TCustomAction {
 public:
  TSpreadSheetActions(TCustomHistory* history, TSSDataStorage& storage, const TRect& rect)
      : TCustomAction(history), storage_(&storage), rect_(rect) {}
  std::string Caption() const override { return "TSpreadSheetActions"; }
  void CaptureCells();
  // Exchanges the stored cells with the current ones, column by column, row by row.
  void SwapCells();
  const TRect& Rect() const { return rect_; }
  TSSDataStorage& Storage() const { return *storage_; }

 protected:
  TSSDataStorage* storage_;
  TRect rect_;
  TCellsData cells_;
};

class TChangeDataAction : public TSpreadSheetActions {
 public:
  using TSpreadSheetActions::TSpreadSheetActions;
  std::string Caption() const override { return "Change cells"; }
  void Undo() override { SwapCells(); }
  void Redo() override { SwapCells(); }
};

// Changes of a whole rectangle.
class TSpreadSheetChangeCellsAction : public TSpreadSheetActions {
 public:
  using TSpreadSheetActions::TSpreadSheetActions;
  std::string Caption() const override { return "TSpreadSheetChangeCellsAction"; }
  void Undo() override { SwapCells(); }
  void Redo() override { SwapCells(); }
};

// A sort: the row order it applied (undo applies the inverse).
class SortRowsAction : public TCustomAction {
 public:
  SortRowsAction(TCustomHistory* history, TSSDataStorage& storage, const TRect& rect,
                 std::vector<int32_t> order)
      : TCustomAction(history), storage_(&storage), rect_(rect), order_(std::move(order)) {}
  std::string Caption() const override { return "TSortRowsAction"; }
  void Undo() override;
  void Redo() override;

 private:
  TSSDataStorage* storage_;
  TRect rect_;
  std::vector<int32_t> order_;
};

}  // namespace workbook
