#pragma once
// Undo and redo. Actions form a tree: the undo and redo lists hold top-level actions (newest
// first); a complex action collects everything recorded while it is open. Cell actions keep a
// copy of their cells and swap it with the current state, so one action serves undo and redo.
// While an action is undone or redone recording is suspended.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "workbook/SSIntf.h"
#include "workbook/SSStyleTypes.h"
#include "workbook/TSSHeader.h"
#include "workbook/TSSMergedCellsStorage.h"

namespace workbook {

class TCustomHistory;
class TCustomSpreadSheetBook;

// One cell as an action keeps it: content and every style field (the font by value).
struct TStoreCellRec {
  std::string Text;
  uint8_t DataType = kCellText;
  double Value = 0;  // the exact number of a number cell
  bool DerivedText = false;  // a number whose text is its own decimal text (Text left empty)
  TSSStyleEntry Style;  // Font is null; the font fields follow
  std::string FontName;
  TSSColor FontColor = 0;
  uint8_t FontStyle = 0;
  uint8_t FontCharset = 1;
  uint8_t FontSize = 8;
};
using TCellsData = std::vector<std::vector<TStoreCellRec>>;  // one array per column

TStoreCellRec CaptureCell(TSSDataStorage& storage, int32_t col, int32_t row);
// Writes a stored cell back: content (a formula text becomes a formula again), then the whole
// style, then a cell-change notification.
void RestoreCell(TSSDataStorage& storage, int32_t col, int32_t row, const TStoreCellRec& cell);

class TCustomAction {
 public:
  explicit TCustomAction(TCustomHistory* history) : history_(history) {}
  virtual ~TCustomAction() = default;
  TCustomAction(const TCustomAction&) = delete;
  TCustomAction& operator=(const TCustomAction&) = delete;

  virtual void FreeChildren() { children_.clear(); }
  virtual std::string Caption() const { return "TCustomAction"; }
  // Default: undo every child, newest first; redo every child, oldest first.
  virtual void Undo();
  virtual void Redo();
  // At the end (oldest) / at the front (newest).
  virtual void AppendChild(std::unique_ptr<TCustomAction> action);
  virtual void InsertChild(std::unique_ptr<TCustomAction> action);
  // Takes this action out of its parent's list; the caller owns it then.
  std::unique_ptr<TCustomAction> Unlink();
  int ChildCount() const { return static_cast<int>(children_.size()); }
  // 0 is the newest.
  TCustomAction* ChildAt(int index) const;
  TCustomAction* Parent() const { return parent_; }
  virtual bool IsComplex() const { return false; }

 protected:
  TCustomHistory* history_;
  TCustomAction* parent_ = nullptr;
  std::vector<std::unique_ptr<TCustomAction>> children_;  // [0] newest
};

class TActionList : public TCustomAction {
 public:
  using TCustomAction::TCustomAction;
  std::string Caption() const override { return "TActionList"; }
};

class TComplexAction : public TCustomAction {
 public:
  TComplexAction(TCustomHistory* history, std::string caption)
      : TCustomAction(history), caption_(std::move(caption)) {}
  std::string Caption() const override { return caption_; }
  bool IsComplex() const override { return true; }

 private:
  std::string caption_;
};

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
class TMergedAreasAction : public TCustomAction {
 public:
  TMergedAreasAction(TCustomHistory* history, TSSDataStorage& storage);
  std::string Caption() const override { return "TMergedAreasAction"; }
  void Undo() override { Swap(); }
  void Redo() override { Swap(); }

 private:
  void Swap();
  TSSDataStorage* storage_;
  TSSRectsArray areas_;
};

// A sort: the row order it applied (undo applies the inverse).
class TSortRowsAction : public TCustomAction {
 public:
  TSortRowsAction(TCustomHistory* history, TSSDataStorage& storage, const TRect& rect,
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

// Changes of a whole rectangle.
class TSpreadSheetChangeCellsAction : public TSpreadSheetActions {
 public:
  using TSpreadSheetActions::TSpreadSheetActions;
  std::string Caption() const override { return "TSpreadSheetChangeCellsAction"; }
  void Undo() override { SwapCells(); }
  void Redo() override { SwapCells(); }
};

// Insertion and deletion with a shift mode.
class TSpreadSheetInsertDeleteActions : public TSpreadSheetActions {
 public:
  TSpreadSheetInsertDeleteActions(TCustomHistory* history, TSSDataStorage& storage, const TRect& rect,
                                  int mode)
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
  std::vector<THeaderEntry> headerEntries_;
};

class TCustomHistory {
 public:
  static constexpr int kLimit = 15;
  TCustomHistory();
  virtual ~TCustomHistory();

  // Offers an action; while suspended nothing is kept and the result is null. The history
  // owns the action; the pointer stays valid until the action is freed.
  TCustomAction* AddAction(std::unique_ptr<TCustomAction> action);
  // Opens a group: everything recorded until EndGroup becomes its child. Null while suspended.
  TComplexAction* BeginGroup(const std::string& caption);
  void EndGroup();
  void Suspend() { ++suspendCount_; }
  void Resume() {
    if (suspendCount_ > 0) --suspendCount_;
  }
  bool IsSuspended() const { return suspendCount_ > 0; }
  virtual void Undo(int count = 1);
  virtual void Redo(int count = 1);
  virtual void Clear();
  int UndoCount() const { return undo_.ChildCount(); }
  int RedoCount() const { return redo_.ChildCount(); }
  const TActionList& UndoList() const { return undo_; }
  const TActionList& RedoList() const { return redo_; }
  // Depth of open groups.
  bool InGroup() const { return current_ != &undo_; }

 protected:
  virtual void Changed() {}
  virtual void LockBook(bool unlock) {}
  virtual void AfterUndoRedo() {}

 private:
  void Insert(std::unique_ptr<TCustomAction> action);
  // Takes up to `count` steps from the front of `from`, undoes or redoes each, and moves it to
  // the front of `to`.
  void Replay(TActionList& from, TActionList& to, int count, bool undo);
  TActionList undo_;
  TActionList redo_;
  TCustomAction* current_;
  int suspendCount_ = 0;
  bool clearing_ = false;
};

// The book's history: records cell changes and merges, locks the book while undoing.
class TSpreadSheetHistory : public TCustomHistory, public ICellHistory {
 public:
  explicit TSpreadSheetHistory(TCustomSpreadSheetBook* book) : book_(book) {}
  void RecordCellChange(TSSDataStorage& storage, int32_t col, int32_t row) override;
  void RecordMergeSplit(TSSDataStorage& storage, const TRect& rect, bool merge) override;
  void RecordCellsChange(TSSDataStorage& storage, const TRect& rect) override;
  void RecordMergedAreas(TSSDataStorage& storage) override;
  void RecordRowOrder(TSSDataStorage& storage, const TRect& rect, const std::vector<int32_t>& order) override;
  void RecordInsertDelete(TSSDataStorage& storage, const TRect& rect, int mode, bool isDelete) override;
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
