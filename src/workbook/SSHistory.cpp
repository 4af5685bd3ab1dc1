#include "workbook/SSHistory.h"

#include <algorithm>

#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSCellStyle.h"
#include "workbook/TSSDataStorage.h"

namespace workbook {

TStoreCellRec CaptureCell(TSSDataStorage& storage, int32_t col, int32_t row) {
  TStoreCellRec cell;
  TSSCellRec rec;
  if (storage.IsTextDerived(col, row)) {
    // Numbers keep no text of their own: capturing them needs no text either.
    rec.DataType = kCellNumber;
    rec.Value = storage.CellNumber(col, row);
    rec.Style = storage.CellStyleEntry(col, row);
    cell.DerivedText = true;
  } else {
    storage.GetCellRec(col, row, rec);
    // A formula's stored text can lag behind its entry (a sheet it names was renamed since):
    // the entry's own text is what compiles back to the same formula. A cell that keeps no
    // text of its own has the entry's text in its record already.
    if (rec.DataType == kCellFormula && rec.Formula != nullptr && !storage.IsFormulaTextDerived(col, row)) {
      std::string text = storage.CellEditText(col, row);
      if (!text.empty()) rec.Text = std::move(text);
    }
  }
  cell.Text = rec.Text;
  cell.DataType = rec.DataType;
  cell.Value = rec.Value;
  cell.Style = *rec.Style;
  cell.Style.RefCount = 0;
  if (const TSSFontRec* font = rec.Style->Font) {
    cell.FontName = font->Name;
    cell.FontColor = font->Color;
    cell.FontStyle = font->Style;
    cell.FontCharset = font->Charset;
    cell.FontSize = font->Size;
  }
  cell.Style.Font = nullptr;
  return cell;
}

void RestoreCell(TSSDataStorage& storage, int32_t col, int32_t row, const TStoreCellRec& cell) {
  storage.RestoreCellContent(col, row, cell.Text, cell.DataType, cell.Value, cell.DerivedText);
  TSSFontRec font;
  font.Name = cell.FontName;
  font.Color = cell.FontColor;
  font.Style = cell.FontStyle;
  font.Charset = cell.FontCharset;
  font.Size = cell.FontSize;
  {
    TSSCellStyle style(storage, col, row);
    style.SetWholeStyle(cell.Style, font, true);
  }
  storage.Host().Listener().CellChanged(storage, col, row);
}

// ---- actions

void TCustomAction::Undo() {
  for (auto& child : children_) child->Undo();
}

void TCustomAction::Redo() {
  for (auto it = children_.rbegin(); it != children_.rend(); ++it) (*it)->Redo();
}

void TCustomAction::AppendChild(std::unique_ptr<TCustomAction> action) {
  action->parent_ = this;
  children_.push_back(std::move(action));
}

void TCustomAction::InsertChild(std::unique_ptr<TCustomAction> action) {
  action->parent_ = this;
  children_.insert(children_.begin(), std::move(action));
}

std::unique_ptr<TCustomAction> TCustomAction::Unlink() {
  if (!parent_) return nullptr;
  auto& siblings = parent_->children_;
  for (auto it = siblings.begin(); it != siblings.end(); ++it) {
    if (it->get() == this) {
      std::unique_ptr<TCustomAction> self = std::move(*it);
      siblings.erase(it);
      parent_ = nullptr;
      return self;
    }
  }
  return nullptr;
}

TCustomAction* TCustomAction::ChildAt(int index) const {
  if (index < 0 || index >= ChildCount()) return nullptr;
  return children_[static_cast<size_t>(index)].get();
}

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

TMergedAreasAction::TMergedAreasAction(TCustomHistory* history, TSSDataStorage& storage)
    : TCustomAction(history), storage_(&storage), areas_(storage.MergedCells().AllAreas()) {}

void TMergedAreasAction::Swap() {
  TSSRectsArray current = storage_->MergedCells().AllAreas();
  storage_->MergedCells().ClearAreas();
  storage_->MergedCells().AddAreas(areas_);
  areas_ = std::move(current);
}

void TSortRowsAction::Undo() {
  std::vector<int32_t> inverse(order_.size());
  for (size_t i = 0; i < order_.size(); ++i) inverse[static_cast<size_t>(order_[i])] = static_cast<int32_t>(i);
  storage_->PermuteRows(rect_, inverse);
}

void TSortRowsAction::Redo() { storage_->PermuteRows(rect_, order_); }

namespace {
// Formulas follow whole columns and rows; cell shifts inside rows or columns leave them.
void ShiftFormulas(TSSDataStorage& storage, const TRect& rect, int mode, bool isDelete) {
  IFormulaCache* formulas = storage.Host().FormulaCache();
  if (!formulas) return;
  const int32_t sheet = storage.SheetIndex();
  if (mode == 2) formulas->ColumnsShifted(sheet, rect.Left, isDelete ? -rect.Width() : rect.Width());
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
  TSSHeader* header = mode_ == 2 ? &storage_->ColumnHeader() : mode_ == 3 ? &storage_->RowHeader() : nullptr;
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

// ---- history

TCustomHistory::TCustomHistory() : undo_(this), redo_(this), current_(&undo_) {}

TCustomHistory::~TCustomHistory() = default;

void TCustomHistory::Insert(std::unique_ptr<TCustomAction> action) {
  if (current_ == &undo_ && undo_.ChildCount() >= kLimit) {
    // The oldest step is forgotten.
    TCustomAction* oldest = undo_.ChildAt(undo_.ChildCount() - 1);
    oldest->Unlink();
  }
  if (!action->IsComplex()) redo_.FreeChildren();
  current_->InsertChild(std::move(action));
}

TCustomAction* TCustomHistory::AddAction(std::unique_ptr<TCustomAction> action) {
  if (IsSuspended() || !action) return nullptr;
  TCustomAction* raw = action.get();
  Insert(std::move(action));
  Changed();
  return raw;
}

TComplexAction* TCustomHistory::BeginGroup(const std::string& caption) {
  if (IsSuspended()) return nullptr;
  auto group = std::make_unique<TComplexAction>(this, caption);
  TComplexAction* raw = group.get();
  Insert(std::move(group));
  current_ = raw;
  return raw;
}

void TCustomHistory::EndGroup() {
  if (current_ == &undo_) return;
  TCustomAction* group = current_;
  current_ = group->Parent() ? group->Parent() : &undo_;
  // Empty nested groups at the front leave no trace.
  while (group->ChildCount() > 0 && group->ChildAt(0)->IsComplex() &&
         group->ChildAt(0)->ChildCount() == 0)
    group->ChildAt(0)->Unlink();
  if (group->ChildCount() > 0) Changed();
  else group->Unlink();
}

void TCustomHistory::Undo(int count) { Replay(undo_, redo_, count, true); }

void TCustomHistory::Redo(int count) { Replay(redo_, undo_, count, false); }

void TCustomHistory::Replay(TActionList& from, TActionList& to, int count, bool undo) {
  if (InGroup()) return;  // never undo or redo half of an open step
  bool any = false;
  for (int i = 0; i < count && from.ChildCount() > 0; ++i) {
    std::unique_ptr<TCustomAction> action = from.ChildAt(0)->Unlink();
    LockBook(false);
    Suspend();
    try {
      if (undo) action->Undo();
      else action->Redo();
    } catch (...) {
      // A step that fails half-way leaves states the other steps cannot rely on.
      Resume();
      LockBook(true);
      action.reset();
      Clear();
      throw;
    }
    Resume();
    LockBook(true);
    to.InsertChild(std::move(action));
    any = true;
  }
  if (any) {
    AfterUndoRedo();
    Changed();
  }
}

void TCustomHistory::Clear() {
  if (clearing_) return;
  clearing_ = true;
  undo_.FreeChildren();
  redo_.FreeChildren();
  current_ = &undo_;
  clearing_ = false;
  Changed();
}

void TSpreadSheetHistory::RecordCellChange(TSSDataStorage& storage, int32_t col, int32_t row) {
  if (IsSuspended()) return;
  auto action = std::make_unique<TChangeDataAction>(this, storage, TRect{col, row, col, row});
  action->CaptureCells();
  AddAction(std::move(action));
}

void TSpreadSheetHistory::RecordMergeSplit(TSSDataStorage& storage, const TRect& rect, bool merge) {
  if (IsSuspended()) return;
  if (merge) AddAction(std::make_unique<TMergeCellsAction>(this, storage, rect));
  else AddAction(std::make_unique<TSplitCellsAction>(this, storage, rect));
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
  AddAction(std::make_unique<TSortRowsAction>(this, storage, rect, order));
}

void TSpreadSheetHistory::RecordMergedAreas(TSSDataStorage& storage) {
  if (IsSuspended()) return;
  AddAction(std::make_unique<TMergedAreasAction>(this, storage));
}

void TSpreadSheetHistory::RecordInsertDelete(TSSDataStorage& storage, const TRect& rect, int mode,
                                             bool isDelete) {
  if (IsSuspended()) return;
  if (isDelete) AddAction(std::make_unique<TDeleteCellsAction>(this, storage, rect, mode));
  else AddAction(std::make_unique<TInsertCellsAction>(this, storage, rect, mode));
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
  if (unlock) book_->EndUpdate();
  else book_->BeginUpdate();
}

}  // namespace workbook
