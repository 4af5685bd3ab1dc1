// Copying, moving, measuring and scanning a storage; selection and merging.
#include <algorithm>

#include "workbook/SSUtils.h"
#include "workbook/TSSDataStorage.h"
#include "workbook/TSSStyleCache.h"

namespace workbook {

void TSSDataStorage::Assign(const TSSDataStorage& source) {
  if (&source == this) return;
  ClearAll();
  NoteRearranged();
  SetCapacity(source.colCapacity_, source.rowCapacity_);
  usedCols_ = source.usedCols_;
  usedRows_ = source.usedRows_;
  merged_->Assign(*source.merged_);
  selection_ = source.selection_;
  selectionKind_ = source.selectionKind_;
  caption_ = source.caption_;
  if (source.host_.BookIdentity() == host_.BookIdentity()) caption_ += "2";
  for (int32_t c = 0; c < source.usedCols_; ++c) {
    const ColumnSlot& from = source.columns_[static_cast<size_t>(c)];
    ColumnSlot& to = columns_[static_cast<size_t>(c)];
    to.rowsInUse = from.rowsInUse;
    for (int32_t r = 0; r < source.rowCapacity_; ++r) {
      const CellSlot* s = from.rows[static_cast<size_t>(r)];
      if (!s) continue;
      TSSCellRec rec;
      source.FillRec(s, rec);
      // The clone's style reference becomes the stored record's reference.
      const TSSCellRec clone = CloneCellRec(rec);
      CellSlot* slot = pool_.Allocate();
      slot->SetStyle(clone.Style);
      slot->SetType(clone.DataType);
      slot->SetDerivedText(s->DerivedText() && clone.DataType == kCellNumber);
      if (!slot->DerivedText()) slot->text = SharedText(clone.Text);
      if (clone.DataType == kCellFormula)
        slot->formula = clone.Formula;
      else
        slot->number = clone.Value;
      to.rows[static_cast<size_t>(r)] = slot;
    }
  }
}

TRect TSSDataStorage::MergedAreaOf(int32_t col, int32_t row) const {
  TRect area;
  merged_->AreaAt(TPoint{col, row}, area);
  return area;
}

TRect TSSDataStorage::CellBounds(int32_t col, int32_t row, bool expandMerged) const {
  TRect cells{col, row, col, row};
  if (expandMerged) cells = MergedAreaOf(col, row);
  const auto clampPixels = [](int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
  };
  const int64_t left = colHeader_->Distance(0, cells.Left);
  const int64_t top = rowHeader_->Distance(0, cells.Top);
  const int64_t right = left + colHeader_->Distance(cells.Left, cells.Right + 1);
  const int64_t bottom = top + rowHeader_->Distance(cells.Top, cells.Bottom + 1);
  return TRect{clampPixels(left), clampPixels(top), clampPixels(right), clampPixels(bottom)};
}

TRect TSSDataStorage::ExpandByMerges(const TRect& rect) const {
  return merged_->ExpandByMerges(rect);
}

void TSSDataStorage::MoveCells(int32_t destCol, int32_t srcCol, bool clearSource, int32_t count,
                               int32_t srcRow, int32_t destRow) {
  if (srcCol < 0 || srcCol >= usedCols_ || destCol < 0 || srcRow < 0 || destRow < 0 || count <= 0)
    return;
  count = std::min(count, columns_[static_cast<size_t>(srcCol)].rowsInUse - srcRow);
  if (count <= 0) return;
  NoteRearranged();
  if (destCol >= colCapacity_) SetCapacity(destCol + kColumnStep, rowCapacity_);
  if (destRow + count > rowCapacity_) SetCapacity(colCapacity_, destRow + count + kRowStep);
  CellSlot** src = columns_[static_cast<size_t>(srcCol)].rows.get();
  CellSlot** dst = columns_[static_cast<size_t>(destCol)].rows.get();
  // Overlapping moves within one column run in the safe direction. A destination record
  // that is overwritten is freed so that its style reference and formula go back.
  const bool backwards = src == dst && destRow > srcRow;
  for (int32_t k = 0; k < count; ++k) {
    const int32_t i = backwards ? count - 1 - k : k;
    CellSlot*& from = src[srcRow + i];
    CellSlot*& to = dst[destRow + i];
    if (&from == &to) continue;
    if (clearSource) {
      if (to) FreeSlot(to);
      to = from;
      from = nullptr;
    } else {
      // Without clearing the source the destination gets its own copy of the record.
      CellSlot* copy = nullptr;
      if (from) {
        TSSCellRec rec;
        FillRec(from, rec);
        const TSSCellRec clone = CloneCellRec(rec);
        copy = pool_.Allocate();
        copy->SetStyle(clone.Style);
        copy->SetType(clone.DataType);
        copy->SetDerivedText(from->DerivedText());
        if (!copy->DerivedText()) copy->text = from->text;
        if (clone.DataType == kCellFormula)
          copy->formula = clone.Formula;
        else
          copy->number = clone.Value;
      }
      if (to) FreeSlot(to);
      to = copy;
    }
  }
  usedCols_ = std::max(usedCols_, destCol + 1);
  usedRows_ = std::max(usedRows_, destRow + count);
  ColumnSlot& target = columns_[static_cast<size_t>(destCol)];
  target.rowsInUse = std::max(target.rowsInUse, destRow + count);
}

bool TSSDataStorage::IsBlank(const CellSlot* slot) const {
  if (!slot) return true;
  if (!slot->text.Empty() || slot->DerivedText()) return false;
  if (slot->Type() == kCellFormula || slot->number != 0) return false;
  return slot->Style() == defaultStyle_ || slot->Style()->SameFillAndBorders(*defaultStyle_);
}

int32_t TSSDataStorage::UsedColCount() const {
  for (int32_t c = usedCols_ - 1; c >= 0; --c) {
    const ColumnSlot& column = columns_[static_cast<size_t>(c)];
    for (int32_t r = 0; r < column.rowsInUse; ++r)
      if (!IsBlank(column.rows[static_cast<size_t>(r)])) return c + 1;
  }
  return 0;
}

int32_t TSSDataStorage::UsedRowCount() const {
  int32_t result = 0;
  for (int32_t c = 0; c < usedCols_; ++c) {
    const ColumnSlot& column = columns_[static_cast<size_t>(c)];
    for (int32_t r = column.rowsInUse - 1; r >= result; --r) {
      if (!IsBlank(column.rows[static_cast<size_t>(r)])) {
        result = r + 1;
        break;
      }
    }
  }
  return result;
}

SelectionKind TSSDataStorage::KindOf(const TRect& rect) const {
  if (rect.Left == rect.Right && rect.Top == rect.Bottom) return SelectionKind::SingleCell;
  TRect area;
  if (merged_->AreaAt(TPoint{rect.Left, rect.Top}, area) && area == rect)
    return SelectionKind::OneMergedArea;
  return SelectionKind::Other;
}

void TSSDataStorage::SetSelection(const TRect& rect) {
  if (rect == selection_) return;
  const TRect expanded = ExpandByMerges(rect);
  if (expanded == selection_) return;
  if ((expanded.Left != selection_.Left || expanded.Top != selection_.Top) && !inSelectionNotify_) {
    bool canSelect = true;
    host_.Listener().ActiveCellChanging(*this, TPoint{expanded.Left, expanded.Top}, canSelect);
    if (!canSelect) return;
  }
  selection_ = expanded;
  selectionKind_ = KindOf(expanded);
  if (inSelectionNotify_) return;
  inSelectionNotify_ = true;
  try {
    host_.Listener().SelectionChanged(*this);
  } catch (...) {
    inSelectionNotify_ = false;
    throw;
  }
  inSelectionNotify_ = false;
}

void TSSDataStorage::SetActiveCol(int32_t col) {
  if (col < 0 || col == selection_.Left) return;
  const int32_t row = selection_.Top;
  TRect area;
  if (!merged_->AreaAt(TPoint{col, row}, area)) {
    const TSSHeader& header = *colHeader_;
    int32_t target = col;
    if (col > selection_.Left) {
      if (!header.IsVisible(col) || header.Size(col) == 0) target = header.NextVisible(col, true);
    } else if (!header.IsVisible(col) || header.Size(col) == 0) {
      target = header.NextVisible(col + 1, false);
    }
    area = TRect{target, row, target, row};
  }
  SetSelection(area);
}

void TSSDataStorage::SetActiveRow(int32_t row) {
  if (row < 0 || row == selection_.Top) return;
  const int32_t col = selection_.Left;
  TRect area;
  if (!merged_->AreaAt(TPoint{col, row}, area)) {
    const TSSHeader& header = *rowHeader_;
    int32_t target = row;
    if (header.Size(row) == 0) target = header.NextVisible(row + 1, false);
    area = TRect{col, target, col, target};
  }
  SetSelection(area);
}

void TSSDataStorage::MergeCells(const TRect& requested, bool merge) {
  TRect rect{std::max(std::min(requested.Left, requested.Right), 0),
             std::max(std::min(requested.Top, requested.Bottom), 0),
             std::max(requested.Left, requested.Right), std::max(requested.Top, requested.Bottom)};
  if (rect.Right < 0 || rect.Bottom < 0) return;
  // Every cell of an area carries the merged flag in its own record: an area must stay small
  // enough to hold one per cell.
  constexpr int64_t kMaxMergedCells = 1000000;
  if (int64_t{rect.Right - rect.Left + 1} * (int64_t{rect.Bottom} - rect.Top + 1) > kMaxMergedCells)
    throw ESpreadSheetError("Too many cells to merge");
  bool canMerge = merge;
  host_.Listener().MergeCells(*this, rect, merge, canMerge);
  ModelListener& listener = host_.Listener();
  listener.BeginUpdate();
  CellHistory* history = host_.History();
  bool suspended = false;
  try {
    const TRect expanded = ExpandByMerges(rect);
    if (history) {
      history->RecordMergeSplit(*this, expanded, canMerge);
      // The merge or split is one undo step: its style changes are not recorded one by one.
      history->Suspend();
      suspended = true;
    }
    merged_->MergeOrSplit(expanded, canMerge);
  } catch (...) {
    if (suspended) history->Resume();
    listener.EndUpdate();
    throw;
  }
  if (suspended) history->Resume();
  listener.EndUpdate();
  // A selection that cut through a new area now covers it whole. It is widened like any
  // other selection change, so the book's listeners (and the host variables the window
  // keeps) learn the new rectangle instead of keeping the one that cut the area.
  const TRect widened = ExpandByMerges(selection_);
  if (widened != selection_) SetSelection(widened);
  selectionKind_ = KindOf(selection_);
}

}  // namespace workbook
