#pragma once
// The book's history: the model's CellHistory over the undo and redo lists.
#include <cstdint>
#include <string>
#include <vector>

#include "workbook/Geometry.h"
#include "workbook/SSIntf.h"
#include "workbook/TCustomHistory.h"

namespace workbook {

class TCustomSpreadSheetBook;
class TSSDataStorage;

// The book's history: records cell changes and merges, locks the book while undoing.
class TSpreadSheetHistory : public TCustomHistory, public CellHistory {
 public:
  explicit TSpreadSheetHistory(TCustomSpreadSheetBook* book) : book_(book) {}
  void RecordCellChange(TSSDataStorage& storage, int32_t col, int32_t row) override;
  void RecordMergeSplit(TSSDataStorage& storage, const TRect& rect, bool merge) override;
  void RecordCellsChange(TSSDataStorage& storage, const TRect& rect) override;
  void RecordMergedAreas(TSSDataStorage& storage) override;
  void RecordRowOrder(TSSDataStorage& storage, const TRect& rect,
                      const std::vector<int32_t>& order) override;
  void RecordInsertDelete(TSSDataStorage& storage, const TRect& rect, int mode,
                          bool isDelete) override;
  bool OpenGroup(const std::string& caption) override { return BeginGroup(caption) != nullptr; }
  void CloseGroup() override { EndGroup(); }
  void Suspend() override { TCustomHistory::Suspend(); }
  void Resume() override { TCustomHistory::Resume(); }
  bool IsSuspended() const override { return TCustomHistory::IsSuspended(); }

 protected:
  void Changed() override;
  void LockBook(bool unlock) override;
  // Formulas settle after restored cells: the whole book is recalculated twice per sheet.
  void AfterUndoRedo() override;

 private:
  TCustomSpreadSheetBook* book_;
};

}  // namespace workbook
