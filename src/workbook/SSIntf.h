#pragma once
// The seams through which the cell storage reaches the book: its listener (events and repaint),
// its history (undo recording) and its formula cache (which lives in a layer above this one).
// The book wires real implementations; tests use their own. Every call happens on the one UI
// thread; none of these may throw back into the storage except where stated.
#include <cstdint>
#include <string>

#include "workbook/SSTypes.h"

namespace workbook {

class TSSDataStorage;
class TSSStyleCache;

enum class HeaderKind : uint8_t { Columns = 0, Rows = 1 };

// Model notifications. The defaults do nothing, so a listener overrides only what it serves.
class IModelListener {
 public:
  virtual ~IModelListener() = default;
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
class ICellHistory {
 public:
  virtual ~ICellHistory() = default;
  // Store the content of one cell before it changes ("Change cells").
  virtual void RecordCellChange(TSSDataStorage& storage, int32_t col, int32_t row) = 0;
  // Store the cells and merged areas of a rectangle before a merge or split.
  virtual void RecordMergeSplit(TSSDataStorage& storage, const TRect& rect, bool merge) = 0;
  virtual void Suspend() = 0;
  virtual void Resume() = 0;
  virtual bool IsSuspended() const = 0;
};

// A compiled formula of one cell, owned by the book's formula cache.
class IFormulaEntry {
 public:
  virtual ~IFormulaEntry() = default;
};

// The book's formula cache as the storage sees it.
class IFormulaCache {
 public:
  virtual ~IFormulaCache() = default;
  // Drop a cell's formula entry (the cell no longer holds a formula).
  virtual void Remove(IFormulaEntry* entry) = 0;
  // Compile the text now stored at (col, row): point the record at a new entry, regenerate its
  // text and set data type formula, through the storage's write path.
  virtual void SetFormula(TSSDataStorage& storage, int32_t col, int32_t row) = 0;
  // A copy of an entry for the same cell position in another storage.
  virtual IFormulaEntry* Clone(IFormulaEntry* entry, TSSDataStorage& target) = 0;
  // The formula text regenerated from the entry (for editing).
  virtual std::string FormulaText(IFormulaEntry* entry) = 0;
  // The text of the formula's current result.
  virtual std::string FormulaDisplayText(IFormulaEntry* entry) = 0;
};

// What a storage needs from the sheet and book that own it.
class IStorageHost {
 public:
  virtual ~IStorageHost() = default;
  virtual TSSStyleCache& StyleCache() = 0;
  virtual IModelListener& Listener() = 0;
  virtual ICellHistory* History() = 0;        // null: nothing is recorded
  virtual IFormulaCache* FormulaCache() = 0;  // null: formulas stay text
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
