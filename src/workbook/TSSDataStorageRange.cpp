// Range operations of a storage: clearing, inserting and deleting with shift modes, sorting.
#include <algorithm>
#include <cstring>
#include <numeric>

#include "platform/CodePage.h"
#include "workbook/SSUtils.h"
#include "workbook/TSSDataStorage.h"
#include "workbook/TSSStyleCache.h"

namespace workbook {
namespace {

TRect Normalize(const TRect& r) {
  return TRect{std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
               std::max(r.Top, r.Bottom)};
}

// Runs the history's suspend/resume and the book's update lock around an operation.
class Bracket {
 public:
  Bracket(StorageHost& host, bool suspend) : host_(host) {
    host_.Listener().BeginUpdate();
    if (suspend && host_.History()) {
      host_.History()->Suspend();
      suspended_ = true;
    }
  }
  ~Bracket() {
    if (suspended_) host_.History()->Resume();
    host_.Listener().EndUpdate();
  }
  Bracket(const Bracket&) = delete;
  Bracket& operator=(const Bracket&) = delete;

 private:
  StorageHost& host_;
  bool suspended_ = false;
};

}  // namespace

void TSSDataStorage::NotifyMoved(int32_t col, int32_t row) {
  CellSlot* slot = Slot(col, row);
  if (slot && slot->Type() == kCellFormula && slot->formula)
    if (FormulaEngine* formulas = host_.FormulaCache())
      formulas->CellMoved(slot->formula, *this, col, row);
}

void TSSDataStorage::MoveSlot(int32_t fromCol, int32_t fromRow, int32_t toCol, int32_t toRow) {
  if (toCol >= colCapacity_) SetCapacity(toCol + kColumnStep, rowCapacity_);
  if (toRow >= rowCapacity_) SetCapacity(colCapacity_, toRow + kRowStep);
  CellSlot*& from = columns_[static_cast<size_t>(fromCol)].rows[static_cast<size_t>(fromRow)];
  CellSlot*& to = columns_[static_cast<size_t>(toCol)].rows[static_cast<size_t>(toRow)];
  if (&from == &to) return;
  if (to) FreeSlot(to);
  to = from;
  from = nullptr;
  if (!to) return;
  ColumnSlot& target = columns_[static_cast<size_t>(toCol)];
  target.rowsInUse = std::max(target.rowsInUse, toRow + 1);
  usedCols_ = std::max(usedCols_, toCol + 1);
  usedRows_ = std::max(usedRows_, toRow + 1);
  NotifyMoved(toCol, toRow);
}

void TSSDataStorage::ClearSlotContent(CellSlot* slot, bool withStyle) {
  if (slot->Type() == kCellFormula && slot->formula) {
    FormulaHandle* entry = slot->formula;
    slot->formula = nullptr;
    if (FormulaEngine* formulas = host_.FormulaCache()) formulas->Remove(entry);
  }
  slot->SetType(kCellText);
  slot->number = 0;
  slot->SetDerivedText(false);
  slot->text = SharedText();
  if (withStyle && slot->Style() != defaultStyle_) {
    StyleCache().AddRef(defaultStyle_);
    StyleCache().Release(slot->Style());
    slot->SetStyle(defaultStyle_);
  }
}

bool TSSDataStorage::ClearCells(const TRect& rect, bool withStyles) {
  const bool whole = rect.IsWholeUsedArea();
  if (!bulk_) {
    bool useDefault = withStyles, canClear = true;
    host_.Listener().ClearCells(*this, rect, useDefault, canClear);
    if (!canClear) return false;
    withStyles = useDefault;
  }
  TRect r = whole ? TRect{0, 0, usedCols_, usedRows_} : Normalize(rect);
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  Bracket lock(host_, false);
  CellHistory* history = bulk_ ? nullptr : host_.History();
  const bool grouped = history && history->OpenGroup("Delete cells");
  if (withStyles) {
    const int before = merged_->Count();
    TSSMergedCellsStorage probe(nullptr);
    probe.Assign(*merged_);
    probe.RemoveInside(r);
    // Areas removed with the cells come back on undo.
    if (probe.Count() != before && history) history->RecordMergedAreas(*this);
    merged_->RemoveInside(r);
  }
  bool stopped = false;
  const int32_t lastCol = std::min(r.Right, usedCols_ - 1);
  for (int32_t col = r.Left; col <= lastCol && !stopped; ++col) {
    ColumnSlot& column = columns_[static_cast<size_t>(col)];
    const int32_t lastRow = std::min(r.Bottom, column.rowsInUse - 1);
    for (int32_t row = r.Top; row <= lastRow; ++row) {
      CellSlot* slot = column.rows[static_cast<size_t>(row)];
      if (!slot) continue;
      if (slot->Style()->Flags & kStyleReadOnly) {
        stopped = true;
        break;
      }
      RecordChange(col, row);
      ClearSlotContent(slot, withStyles);
      NoteChanged(col, row);
    }
  }
  {
    // Cleared records with the default style read like no record: free them.
    for (int32_t col = r.Left; col <= lastCol; ++col) {
      ColumnSlot& column = columns_[static_cast<size_t>(col)];
      const int32_t lastRow = std::min(r.Bottom, column.rowsInUse - 1);
      for (int32_t row = r.Top; row <= lastRow; ++row) {
        CellSlot*& slot = column.rows[static_cast<size_t>(row)];
        if (slot && slot->Style() == defaultStyle_ && slot->Type() == kCellText &&
            slot->text.Empty()) {
          FreeSlot(slot);
          slot = nullptr;
        }
      }
    }
  }
  if (grouped) history->CloseGroup();
  host_.Listener().BookModified();
  if (whole && !stopped && withStyles) ClearAll();
  return !stopped;
}

void TSSDataStorage::InsertCells(const TRect& rect, int mode) {
  if (mode < 0 || mode > 3) return;
  TRect r = Normalize(rect);
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  if (r.Left >= kFarEdge || r.Top >= kFarEdge) return;
  const int32_t width = std::min(r.Width(), kFarEdge - 1 - r.Left);
  const int32_t height = std::min(r.Height(), kFarEdge - 1 - r.Top);
  if (mode == 0 && merged_->Intersects(TRect{0, r.Top, kFarEdge, r.Bottom}))
    throw ESpreadSheetError("Some modified cells are merged");
  if (mode == 1 && merged_->Intersects(TRect{r.Left, 0, r.Right, kFarEdge}))
    throw ESpreadSheetError("Some modified cells are merged");
  // Cells pushed to or beyond the far edge would be lost: refuse before anything changes.
  // (The used counters never shrink, so the test looks at where records really end.)
  int32_t lastCol = -1, lastRow = -1;
  for (int32_t col = 0; col < usedCols_; ++col) {
    const int32_t rows = columns_[static_cast<size_t>(col)].rowsInUse;
    if (rows > 0) lastCol = col;
    if (mode == 1 && (col < r.Left || col > r.Right)) continue;
    lastRow = std::max(lastRow, rows - 1);
  }
  if ((mode == 0 || mode == 2) && r.Left <= lastCol && int64_t{lastCol} + width >= kFarEdge - 1)
    throw ESpreadSheetError("Cells cannot be moved beyond the end of the sheet");
  if ((mode == 1 || mode == 3) && r.Top <= lastRow && int64_t{lastRow} + height >= kFarEdge - 1)
    throw ESpreadSheetError("Cells cannot be moved beyond the end of the sheet");
  host_.Listener().BookModified();
  NoteShifted(TRect{r.Left, r.Top, r.Left + width - 1, r.Top + height - 1}, mode);
  if (CellHistory* history = host_.History()) history->RecordInsertDelete(*this, r, mode, false);
  Bracket lock(host_, true);
  try {
    if (mode == 0 || mode == 2) {
      const int32_t top = mode == 2 ? 0 : r.Top;
      const int32_t bottom = mode == 2 ? kFarEdge : r.Bottom;
      if (lastCol >= r.Left) {
        SetCapacity(lastCol + 1 + width + kColumnStep, rowCapacity_);
        if (mode == 2) {
          // Whole columns: the directory entries move, cells stay in their arrays.
          for (int32_t col = lastCol; col >= r.Left; --col)
            std::swap(columns_[static_cast<size_t>(col)],
                      columns_[static_cast<size_t>(col + width)]);
          usedCols_ = std::max(usedCols_, lastCol + 1 + width);
          for (int32_t col = r.Left + width; col <= lastCol + width; ++col)
            for (int32_t row = 0; row < columns_[static_cast<size_t>(col)].rowsInUse; ++row)
              NotifyMoved(col, row);
        } else {
          for (int32_t col = lastCol; col >= r.Left; --col) {
            const int32_t last = std::min(bottom, columns_[static_cast<size_t>(col)].rowsInUse - 1);
            for (int32_t row = top; row <= last; ++row)
              if (Slot(col, row)) MoveSlot(col, row, col + width, row);
          }
        }
      }
      if (mode == 2) colHeader_->InsertEntries(r.Left, width, colHeader_->DefaultSize());
    } else {
      const int32_t left = mode == 3 ? 0 : r.Left;
      const int32_t right = mode == 3 ? usedCols_ - 1 : std::min(r.Right, usedCols_ - 1);
      int32_t needed = rowCapacity_;
      for (int32_t col = left; col <= right; ++col)
        if (columns_[static_cast<size_t>(col)].rowsInUse > r.Top)
          needed = std::max(needed, columns_[static_cast<size_t>(col)].rowsInUse + height);
      if (needed > rowCapacity_) SetCapacity(colCapacity_, needed + kRowStep);
      for (int32_t col = left; col <= right; ++col) {
        ColumnSlot& column = columns_[static_cast<size_t>(col)];
        if (column.rowsInUse <= r.Top) continue;
        CellSlot** rows = column.rows.get();
        const size_t count = static_cast<size_t>(column.rowsInUse - r.Top);
        std::memmove(rows + r.Top + height, rows + r.Top, count * sizeof(CellSlot*));
        std::memset(rows + r.Top, 0, static_cast<size_t>(height) * sizeof(CellSlot*));
        column.rowsInUse += height;
        usedRows_ = std::max(usedRows_, column.rowsInUse);
        for (int32_t row = r.Top + height; row < column.rowsInUse; ++row) NotifyMoved(col, row);
      }
      if (mode == 3) rowHeader_->InsertEntries(r.Top, height, rowHeader_->DefaultSize());
    }
    if (mode == 2 || mode == 3) merged_->AdjustForInsert(r, mode);
  } catch (const std::bad_alloc&) {
    throw ESpreadSheetError("Not enough memory to insert cells");
  }
}

void TSSDataStorage::DeleteCells(const TRect& rect, int mode) {
  if (mode < 0 || mode > 3) return;
  TRect r = Normalize(rect);
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  if (mode == 3) {
    r.Left = 0;
    r.Right = std::max(usedCols_ - 1, 0);
  }
  if (mode == 2) {
    r.Top = 0;
    r.Bottom = std::max(usedRows_ - 1, 0);
  }
  r.Right = std::min(r.Right, kFarEdge - 1);
  r.Bottom = std::min(r.Bottom, kFarEdge - 1);
  if (mode == 0 && merged_->Intersects(TRect{0, r.Top, kFarEdge, r.Bottom}))
    throw ESpreadSheetError("Some modified cells are merged");
  if (mode == 1 && merged_->Intersects(TRect{r.Left, 0, r.Right, kFarEdge}))
    throw ESpreadSheetError("Some modified cells are merged");
  // A read-only cell would stop the clearing half-way and its record would then move with the
  // shift: such a deletion does not start at all.
  for (int32_t col = r.Left; col <= std::min(r.Right, usedCols_ - 1); ++col) {
    const ColumnSlot& column = columns_[static_cast<size_t>(col)];
    for (int32_t row = r.Top; row <= std::min(r.Bottom, column.rowsInUse - 1); ++row) {
      const CellSlot* slot = column.rows[static_cast<size_t>(row)];
      if (slot && (slot->Style()->Flags & kStyleReadOnly)) return;
    }
  }
  host_.Listener().BookModified();
  NoteShifted(r, mode);
  const int32_t width = r.Width();
  const int32_t height = r.Height();
  bulk_ = true;
  try {
    if (CellHistory* history = host_.History()) history->RecordInsertDelete(*this, r, mode, true);
  } catch (...) {
    bulk_ = false;
    throw;
  }
  Bracket lock(host_, true);
  ClearCells(r, true);
  bulk_ = false;
  if (mode == 0) {
    for (int32_t col = r.Right + 1; col < usedCols_; ++col) {
      const int32_t last = std::min(r.Bottom, columns_[static_cast<size_t>(col)].rowsInUse - 1);
      for (int32_t row = r.Top; row <= last; ++row)
        if (Slot(col, row)) MoveSlot(col, row, col - width, row);
    }
  } else if (mode == 2) {
    colHeader_->DeleteEntries(r.Left, width);
    if (r.Left < usedCols_) {
      // The directory closes the gap; the emptied columns move to the end.
      const int32_t end = std::min(usedCols_, r.Right + 1);
      for (int32_t col = r.Left; col < end; ++col) columns_[static_cast<size_t>(col)].rowsInUse = 0;
      std::rotate(columns_.begin() + r.Left, columns_.begin() + end, columns_.begin() + usedCols_);
      for (int32_t col = r.Left; col < usedCols_ - (end - r.Left); ++col)
        for (int32_t row = 0; row < columns_[static_cast<size_t>(col)].rowsInUse; ++row)
          NotifyMoved(col, row);
    }
  } else {
    const int32_t left = mode == 3 ? 0 : r.Left;
    const int32_t right = mode == 3 ? usedCols_ - 1 : std::min(r.Right, usedCols_ - 1);
    for (int32_t col = left; col <= right; ++col) {
      ColumnSlot& column = columns_[static_cast<size_t>(col)];
      if (column.rowsInUse <= r.Top) continue;
      CellSlot** rows = column.rows.get();
      if (column.rowsInUse <= r.Bottom + 1) {
        column.rowsInUse = r.Top;  // the column's data ended inside the deleted rows
        continue;
      }
      const size_t count = static_cast<size_t>(column.rowsInUse - r.Bottom - 1);
      std::memmove(rows + r.Top, rows + r.Bottom + 1, count * sizeof(CellSlot*));
      std::memset(rows + r.Top + count, 0, static_cast<size_t>(height) * sizeof(CellSlot*));
      column.rowsInUse -= height;
      for (int32_t row = r.Top; row < column.rowsInUse; ++row) NotifyMoved(col, row);
    }
    if (mode == 3) rowHeader_->DeleteEntries(r.Top, height);
  }
  if (mode == 2 || mode == 3) merged_->AdjustForDelete(r, mode);
}

int TSSDataStorage::CompareCells(TPoint a, TPoint b) const {
  const std::string ta = CellValueText(a.X, a.Y);
  const std::string tb = CellValueText(b.X, b.Y);
  if (ta == tb) return 0;
  if (ta.empty()) return -1;
  if (tb.empty()) return 1;
  double na = 0, nb = 0;
  if (TextToNumber(ta, na) && TextToNumber(tb, nb)) return na < nb ? -1 : (na > nb ? 1 : 0);
  bool ba = false, bb = false;
  if (TextToBoolean(ta, ba) && TextToBoolean(tb, bb)) return ba == bb ? 0 : (ba ? 1 : -1);
  const int cmp = platform::AnsiCompareText(ta, tb);
  return cmp < 0 ? -1 : (cmp > 0 ? 1 : 0);
}

namespace {
// A cell's sort key, computed once per cell.
struct SortKey {
  mutable std::string text;  // for number cells built only when compared with a text
  mutable bool hasText = false;
  bool empty = true;
  bool isNumber = false;
  double number = 0;
  bool isBool = false;
  bool boolean = false;
};

const std::string& TextOf(const SortKey& k) {
  if (!k.hasText) {
    k.text = NumberText(k.number);
    k.hasText = true;
  }
  return k.text;
}

int CompareKeys(const SortKey& a, const SortKey& b) {
  if (a.isNumber && b.isNumber) return a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
  if (TextOf(a) == TextOf(b)) return 0;
  if (a.empty) return -1;
  if (b.empty) return 1;
  if (a.isNumber && b.isNumber) return a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
  if (a.isBool && b.isBool) return a.boolean == b.boolean ? 0 : (a.boolean ? 1 : -1);
  const int cmp = platform::AnsiCompareText(TextOf(a), TextOf(b));
  return cmp < 0 ? -1 : (cmp > 0 ? 1 : 0);
}
}  // namespace

void TSSDataStorage::SortCells(const TRect& rect, const std::vector<bool>& directions) {
  TRect r = Normalize(rect);
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  if (r.Top >= usedRows_ || r.Left >= usedCols_) return;
  r.Bottom = std::min(r.Bottom, usedRows_ - 1);
  r.Right = std::min(r.Right, usedCols_ - 1);
  const int32_t rows = r.Height();
  const int32_t cols = r.Width();
  if (rows < 2) return;
  // Keys per column, built when a comparison first needs that column (later columns only
  // matter on ties), then one stable sort of the row order.
  std::vector<std::vector<SortKey>> keys(static_cast<size_t>(cols));
  const auto column = [&](int32_t c) -> const std::vector<SortKey>& {
    std::vector<SortKey>& k = keys[static_cast<size_t>(c)];
    if (!k.empty()) return k;
    k.resize(static_cast<size_t>(rows));
    for (int32_t i = 0; i < rows; ++i) {
      SortKey& key = k[static_cast<size_t>(i)];
      const CellSlot* slot = Slot(r.Left + c, r.Top + i);
      if (slot && slot->Type() == kCellNumber) {
        // Numbers compare by value: their text is never needed.
        key.isNumber = true;
        key.number = slot->number;
        key.empty = false;
        continue;
      }
      key.text = CellValueText(r.Left + c, r.Top + i);
      key.hasText = true;
      key.empty = key.text.empty();
      if (key.empty) continue;
      if (slot && slot->Type() == kCellLiteralText) continue;  // a text, whatever it reads
      key.isNumber = TextToNumber(key.text, key.number);
      key.isBool = !key.isNumber && TextToBoolean(key.text, key.boolean);
    }
    return k;
  };
  std::vector<int32_t> order(static_cast<size_t>(rows));
  std::iota(order.begin(), order.end(), 0);
  const auto descending = [&directions](int32_t c) {
    if (directions.empty()) return false;
    return directions[std::min(static_cast<size_t>(c), directions.size() - 1)];
  };
  std::stable_sort(order.begin(), order.end(), [&](int32_t x, int32_t y) {
    for (int32_t c = 0; c < cols; ++c) {
      const std::vector<SortKey>& k = column(c);
      const int cmp = CompareKeys(k[static_cast<size_t>(x)], k[static_cast<size_t>(y)]);
      if (cmp != 0) return descending(c) ? cmp > 0 : cmp < 0;
    }
    return false;
  });
  // The new row order is all undo needs to keep.
  if (CellHistory* history = host_.History(); history && !bulk_)
    history->RecordRowOrder(*this, r, order);
  Bracket lock(host_, true);
  PermuteRows(r, order);
}

void TSSDataStorage::PermuteRows(const TRect& r, const std::vector<int32_t>& order) {
  const int32_t rows = r.Height();
  if (rows <= 0 || static_cast<int32_t>(order.size()) != rows) return;
  if (r.Left < 0 || r.Top < 0 || r.Right >= usedCols_ || r.Bottom >= rowCapacity_) return;
  NoteChangedArea(r);
  std::vector<CellSlot*> moved(static_cast<size_t>(rows));
  for (int32_t col = r.Left; col <= r.Right; ++col) {
    ColumnSlot& column = columns_[static_cast<size_t>(col)];
    if (column.rowsInUse == 0) continue;
    for (int32_t i = 0; i < rows; ++i)
      moved[static_cast<size_t>(i)] =
          column.rows[static_cast<size_t>(r.Top + order[static_cast<size_t>(i)])];
    for (int32_t i = 0; i < rows; ++i) {
      column.rows[static_cast<size_t>(r.Top + i)] = moved[static_cast<size_t>(i)];
      if (moved[static_cast<size_t>(i)]) {
        column.rowsInUse = std::max(column.rowsInUse, r.Top + i + 1);
        NotifyMoved(col, r.Top + i);
      }
    }
  }
  for (int32_t col = r.Left; col <= r.Right; ++col)
    for (int32_t i = 0; i < rows; ++i) host_.Listener().CellChanged(*this, col, r.Top + i);
}

}  // namespace workbook
