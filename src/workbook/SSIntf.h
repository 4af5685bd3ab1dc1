#pragma once
// The seams through which the cell storage reaches the book: its listener (events and repaint),
// its history (undo recording) and its formula cache (which lives in a layer above this one).
// The book wires real implementations; tests use their own. Every call happens on the one UI
// thread; none of these may throw back into the storage except where stated.
#include <cstdint>
#include <string>
#include <vector>

#include "workbook/Geometry.h"

namespace workbook {

class TSSDataStorage;
class TSSStyleCache;

enum class HeaderKind : uint8_t { Columns = 0, Rows = 1 };

// Model notifications. The defaults do nothing, so a listener overrides only what it serves.
class ModelListener {
 public:
  virtual ~ModelListener() = default;
  // A cell record changed through the single write path.
  virtual void CellChanged(TSSDataStorage& storage, int32_t col, int32_t row) {}
  // The book's content changed (its modified flag).
  virtual void BookModified() {}
  // A column width or row height is about to change; the handler may change newSize.
  virtual void ResizeHeader(TSSDataStorage& storage, HeaderKind kind, int32_t index,
                            uint16_t& newSize) {}
  // Sizes from `index` on changed: the view recomputes its layout.
  virtual void HeaderLayoutChanged(TSSDataStorage& storage, HeaderKind kind, int32_t index) {}
  virtual void HeaderVisibilityChanged(TSSDataStorage& storage, HeaderKind kind, int32_t index,
                                       bool previous, bool now) {}
  // Cells are about to be merged (isMerge) or split; canMerge enters equal to isMerge and
  // leaves as the operation to perform.
  virtual void MergeCells(TSSDataStorage& storage, const TRect& rect, bool isMerge,
                          bool& canMerge) {}
  // Cells are about to be cleared; useDefaultStyle enters as "with styles" and leaves as the
  // choice to apply; canClear false cancels.
  virtual void ClearCells(TSSDataStorage& storage, const TRect& rect, bool& useDefaultStyle,
                          bool& canClear) {}
  // The top-left cell of a sheet's selection is about to move; canSelect false keeps it.
  virtual void ActiveCellChanging(TSSDataStorage& storage, TPoint cell, bool& canSelect) {}
  // The selection of a sheet changed.
  virtual void SelectionChanged(TSSDataStorage& storage) {}
  // Everything must be painted again (default style changes, palette changes).
  virtual void Repaint() {}
  // The update lock: events are held back while it is above 0.
  virtual void BeginUpdate() {}
  virtual void EndUpdate() {}
  virtual bool IsLocked() const { return false; }
};

// Undo recording. Every call offers the history an action; while recording is suspended the
// history ignores it.
class CellHistory {
 public:
  virtual ~CellHistory() = default;
  // Store the content of one cell before it changes ("Change cells").
  virtual void RecordCellChange(TSSDataStorage& storage, int32_t col, int32_t row) = 0;
  // Store the cells and merged areas of a rectangle before a merge or split.
  virtual void RecordMergeSplit(TSSDataStorage& storage, const TRect& rect, bool merge) = 0;
  // Before cells are inserted or deleted with a shift mode (deletion: the widened rectangle,
  // whose cells, merged areas and header entries are stored).
  virtual void RecordInsertDelete(TSSDataStorage& storage, const TRect& rect, int mode,
                                  bool isDelete) {}
  // Rows of a rectangle are about to be reordered: row i of the result is row order[i] now.
  virtual void RecordRowOrder(TSSDataStorage& storage, const TRect& rect,
                              const std::vector<int32_t>& order) {
    RecordCellsChange(storage, rect);
  }
  // Store the sheet's merged areas before the list changes outside a merge (paste).
  virtual void RecordMergedAreas(TSSDataStorage& storage) {}
  // Store the content of every cell of a rectangle before all of them change.
  virtual void RecordCellsChange(TSSDataStorage& storage, const TRect& rect) {
    for (int32_t col = rect.Left; col <= rect.Right; ++col)
      for (int32_t row = rect.Top; row <= rect.Bottom; ++row) RecordCellChange(storage, col, row);
  }
  // Groups what follows into one step until CloseGroup; false while suspended (then no
  // CloseGroup).
  virtual bool OpenGroup(const std::string& caption) { return false; }
  virtual void CloseGroup() {}
  virtual void Suspend() = 0;
  virtual void Resume() = 0;
  virtual bool IsSuspended() const = 0;
};

// A compiled formula of one cell, owned by the book's formula cache: an opaque handle that the
// storage keeps and hands back. It has no virtual functions (a book holds one per formula
// cell, and a table pointer in each would be memory for nothing); the cache that made an
// entry is the one that destroys it, as its own type.
class FormulaHandle {
 protected:
  FormulaHandle() = default;
  ~FormulaHandle() = default;
};

// The book's formula cache as the storage sees it.
// A formula's current result as the engine holds it, without a detour through display text.
struct FormulaValue {
  enum class Kind : uint8_t { None, Number, Text, Boolean, Error };
  Kind kind = Kind::None;  // None: no result (no engine, or the entry is gone)
  double number = 0;       // Number: the exact value; Boolean: 1 or 0
  std::string text;        // Text: the text; Error: the error literal ("#DIV/0!")
};

class FormulaEngine {
 public:
  virtual ~FormulaEngine() = default;
  // Drop a cell's formula entry (the cell no longer holds a formula).
  virtual void Remove(FormulaHandle* entry) = 0;
  // Compile the text now stored at (col, row): point the record at a new entry, regenerate its
  // text and set data type formula, through the storage's write path.
  virtual void SetFormula(TSSDataStorage& storage, int32_t col, int32_t row) = 0;
  // A copy of an entry for the same cell position in another storage.
  virtual FormulaHandle* Clone(FormulaHandle* entry, TSSDataStorage& target) = 0;
  // The formula text regenerated from the entry (for editing).
  virtual std::string FormulaText(FormulaHandle* entry) = 0;
  // The text of the formula's current result.
  virtual std::string FormulaDisplayText(FormulaHandle* entry) = 0;
  // The formula's current result, calculated first when it has none yet.
  virtual FormulaValue FormulaResult(FormulaHandle* entry) {
    (void)entry;
    return {};
  }

  // Book-level operations; the defaults suit a cache without formulas.
  // Recalculates every sheet; returns how many formulas were evaluated.
  virtual int RecalculateAll() { return 0; }
  // A sheet was removed / two sheets swapped places: renumber sheet indices.
  virtual void SheetRemoved(int32_t index) {}
  virtual void SwapSheets(int32_t index1, int32_t index2) {}
  // Forget every entry and name (the book is cleared; cells are already gone).
  virtual void Clear() {}
  // The content of one cell changed (the storage's write path, clearing): the formulas that
  // read it need recalculating.
  virtual void CellChanged(TSSDataStorage& storage, int32_t col, int32_t row) {}
  // Cells of a storage moved or were replaced wholesale (insertion, deletion, sorting,
  // copying a sheet, tearing a storage down): every formula may read something else now.
  virtual void CellsRearranged() {}
  // Automatic recalculation held back while the lock is above 0.
  virtual void Lock() {}
  virtual void Unlock() {}
  virtual int LockCount() const { return 0; }
  virtual void SetR1C1ReferenceStyle(bool r1c1) {}
  // A defined name read from a file (name and its formula text).
  virtual void AddName(const std::string& name, const std::string& definition) {}
  // Whole columns or rows were inserted (count > 0) or deleted (count < 0) at `at` on a sheet:
  // references in formulas follow.
  virtual void ColumnsShifted(int32_t sheet, int32_t at, int32_t count) {}
  virtual void RowsShifted(int32_t sheet, int32_t at, int32_t count) {}
  // A formula cell's record moved to (col, row) of a storage (insertion, deletion, sorting):
  // the entry takes its new position and regenerates the record's text.
  virtual void CellMoved(FormulaHandle* entry, TSSDataStorage& storage, int32_t col, int32_t row) {}
  // The token stream of an entry for the clipboard; count 0 when there is none.
  virtual std::string FormulaTokenBytes(FormulaHandle* entry, uint16_t& count) {
    count = 0;
    return std::string();
  }
  enum class PasteResult : uint8_t { NotSupported, Pasted, InvalidReference };
  // Builds a formula at (col, row) from copied tokens, moved by (dCol, dRow).
  virtual PasteResult PasteFormula(TSSDataStorage& target, int32_t col, int32_t row,
                                   const std::string& tokens, uint16_t count, int32_t dCol,
                                   int32_t dRow) {
    return PasteResult::NotSupported;
  }
};

// What a storage needs from the sheet and book that own it.
class StorageHost {
 public:
  virtual ~StorageHost() = default;
  virtual TSSStyleCache& StyleCache() = 0;
  virtual ModelListener& Listener() = 0;
  virtual CellHistory* History() = 0;         // null: nothing is recorded
  virtual FormulaEngine* FormulaCache() = 0;  // null: formulas stay text
  // Position of the owning sheet among the book's sheets, 0 if not found.
  virtual int32_t SheetIndex() const = 0;
  // Identity of the owning book (copies within one book get a "2" appended to the caption).
  virtual const void* BookIdentity() const = 0;
  virtual uint16_t DefaultColWidth() const { return 85; }
  virtual uint16_t DefaultRowHeight() const { return 20; }
  virtual int Precision() const { return 2; }
  // The book is loading a file: font changes do not rescale rows then.
  virtual bool IsLoading() const { return false; }
  // The book is read-only, or this sheet is.
  virtual bool IsReadOnly() const { return false; }
};

}  // namespace workbook
