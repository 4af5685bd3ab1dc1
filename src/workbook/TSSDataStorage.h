#pragma once
// The cells of one sheet, its column and row headers, merged areas and selection.
//
// Layout: a directory of column slots, each with a pointer array of the full row capacity;
// a null pointer is an empty cell. Lookup is two array indexings. Records live in a slot pool;
// numbers keep no text (it is derived from the value when asked), so a numeric cell costs one
// pointer plus one pool slot. A formula pasted as compiled tokens keeps none either: its text
// is its entry's, made when asked.
//
// Every change of a cell goes through SetCellRec (or, for numbers, the equivalent internal
// write), which records undo, grows the grid in steps of 10 columns / 1000 rows, keeps the
// style references (one per stored record) and notifies the listener.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/CellPool.h"
#include "workbook/SSIntf.h"
#include "workbook/TSSCellRec.h"
#include "workbook/TSSHeader.h"
#include "workbook/TSSMergedCellsStorage.h"

namespace workbook {

class TSSCellStyle;
class TSSStyleCache;

enum class SelectionKind : uint8_t { SingleCell = 0, Other = 1, OneMergedArea = 2 };

class TSSDataStorage {
 public:
  static constexpr int32_t kColumnStep = 10;
  static constexpr int32_t kRowStep = 1000;

  explicit TSSDataStorage(StorageHost& host);
  virtual ~TSSDataStorage();
  TSSDataStorage(const TSSDataStorage&) = delete;
  TSSDataStorage& operator=(const TSSDataStorage&) = delete;

  // Outside the grid, beyond the used area or on an empty slot: the empty-cell template.
  virtual void GetCellRec(int32_t col, int32_t row, TSSCellRec& rec) const;
  TSSCellRec CellRec(int32_t col, int32_t row) const;
  // The single write path. Negative or far-edge coordinates and identical records do nothing.
  virtual void SetCellRec(int32_t col, int32_t row, const TSSCellRec& rec);
  virtual void SetActiveCol(int32_t col);
  virtual void SetActiveRow(int32_t row);
  // Copies another storage (of this or another book).
  virtual void Assign(const TSSDataStorage& source);
  // Pixel rectangle of a cell from the sheet's origin (Right/Bottom exclusive); with
  // expandMerged, of the merged area holding it.
  virtual TRect CellBounds(int32_t col, int32_t row, bool expandMerged) const;
  virtual TRect ExpandByMerges(const TRect& rect) const;
  // Frees every record (styles released, formula entries removed), capacities and used counts
  // back to zero, merged list emptied. Headers and caption stay.
  virtual void ClearAll();
  // Moves record pointers; no event and no undo record.
  virtual void MoveCells(int32_t destCol, int32_t srcCol, bool clearSource, int32_t count,
                         int32_t srcRow, int32_t destRow);
  // Extent of visible content: one more than the last column / row holding a non-blank cell.
  virtual int32_t UsedColCount() const;
  virtual int32_t UsedRowCount() const;
  // Raises the merge veto, then merges or splits within an update lock and one undo action.
  virtual void MergeCells(const TRect& rect, bool merge);  // at most 1,000,000 cells
  virtual void SetCapacity(int32_t cols, int32_t rows);
  // Clears a rectangle (-1, -1, -1, -1: the whole used area), with or without styles. Raises
  // the clear veto unless in bulk mode; records every cleared cell; stops at the first cell
  // with a read-only style. Returns false when vetoed or stopped.
  virtual bool ClearCells(const TRect& rect, bool withStyles);
  // Shift modes: 0 right/left, 1 down/up, 2 whole columns, 3 whole rows. Modes 0 and 1 refuse
  // to touch merged areas ("Some modified cells are merged").
  virtual void InsertCells(const TRect& rect, int mode);
  virtual void DeleteCells(const TRect& rect, int mode);
  // Sorts the rows of rect by its columns (lexicographically, first column first); directions
  // true = descending, the last one applying to further columns.
  virtual void SortCells(const TRect& rect, const std::vector<bool>& directions);
  // By display value texts: equal 0, empty first, numbers by value, false before true, then
  // case-insensitive text.
  int CompareCells(TPoint a, TPoint b) const;
  // Reorders the rows of rect (already clipped to the grid): row i becomes the former row
  // order[i]. Records move as pointers; no undo record; every cell of rect is reported changed.
  void PermuteRows(const TRect& rect, const std::vector<int32_t>& order);

  void StoreCellText(int32_t col, int32_t row, bool checkFormula, bool forceFormula,
                     std::string_view text);
  void StoreCellTextChecked(int32_t col, int32_t row, std::string_view text) {
    StoreCellText(col, row, true, false, text);
  }
  void StoreCellValue(int32_t col, int32_t row, double value);
  // Makes the cell a literal text cell (kCellLiteralText): the text exactly as given, never
  // read as a number, date or boolean; any formula is released. An empty text empties the
  // cell's content. The style stays.
  void StoreLiteralText(int32_t col, int32_t row, std::string_view text);
  bool IsLiteralText(int32_t col, int32_t row) const {
    const CellSlot* slot = Slot(col, row);
    return slot && slot->Type() == kCellLiteralText;
  }
  // Makes the cell a formula cell of `entry`, its text the entry's own (made when asked, as a
  // number's is). The style stays; an entry the cell held before is the caller's to remove.
  void StoreFormulaEntry(int32_t col, int32_t row, FormulaHandle* entry);
  // Replaces only the style entry (the storage takes its own reference).
  void StoreCellStyle(int32_t col, int32_t row, StyleEntry* style);
  std::string CellEditText(int32_t col, int32_t row) const;
  // The value as text: numbers in general form, formulas their result, texts themselves.
  std::string CellValueText(int32_t col, int32_t row) const;
  // The value text formatted with the cell's format code and the book's precision.
  std::string CellDisplayText(int32_t col, int32_t row) const;
  // A style object bound to the cell; the caller owns it.
  std::unique_ptr<TSSCellStyle> CellStyle(int32_t col, int32_t row);
  // A copy of a record for this storage: its style taken into this book's cache with a new
  // reference (the caller hands that reference to the write path or releases it), its formula
  // entry duplicated by the formula cache.
  TSSCellRec CloneCellRec(const TSSCellRec& rec);
  void RecordChange(int32_t col, int32_t row);
  // Puts back a content exactly as captured (undo): a formula text is compiled again, a number
  // keeps its value and text, a text stays text without any entry rule. The style stays.
  void RestoreCellContent(int32_t col, int32_t row, const std::string& text, uint8_t dataType,
                          double value, bool derivedText = false);

  // Fast reads for evaluation and scanning (no text built).
  CellContentType CellDataType(int32_t col, int32_t row) const {
    const CellSlot* slot = Slot(col, row);
    return slot ? static_cast<CellContentType>(slot->Type()) : kCellText;
  }
  double CellNumber(int32_t col, int32_t row) const;  // 0 unless a number cell
  StyleEntry* CellStyleEntry(int32_t col, int32_t row) const {
    const CellSlot* slot = Slot(col, row);
    return slot ? slot->Style() : defaultStyle_;
  }
  bool HasRecord(int32_t col, int32_t row) const { return Slot(col, row) != nullptr; }
  // A number cell whose text is the value's own decimal text (kept implicitly).
  bool IsTextDerived(int32_t col, int32_t row) const {
    const CellSlot* slot = Slot(col, row);
    return slot && slot->DerivedText() && slot->Type() == kCellNumber;
  }
  // A formula cell whose text is its entry's (kept implicitly).
  bool IsFormulaTextDerived(int32_t col, int32_t row) const {
    const CellSlot* slot = Slot(col, row);
    return slot && slot->DerivedText() && slot->Type() == kCellFormula;
  }
  // The entry of a formula cell, else null; no text is built.
  FormulaHandle* CellFormula(int32_t col, int32_t row) const {
    const CellSlot* slot = Slot(col, row);
    return slot && slot->Type() == kCellFormula ? slot->formula : nullptr;
  }
  // Such a cell's value, in one lookup.
  bool DerivedNumber(int32_t col, int32_t row, double& value) const {
    const CellSlot* slot = Slot(col, row);
    if (!slot || !slot->DerivedText() || slot->Type() != kCellNumber) return false;
    value = slot->number;
    return true;
  }

  TSSHeader& ColumnHeader() { return *colHeader_; }
  TSSHeader& RowHeader() { return *rowHeader_; }
  const TSSHeader& ColumnHeader() const { return *colHeader_; }
  const TSSHeader& RowHeader() const { return *rowHeader_; }
  TSSMergedCellsStorage& MergedCells() { return *merged_; }
  const TSSMergedCellsStorage& MergedCells() const { return *merged_; }
  // The merged area holding a cell, or the cell itself.
  TRect MergedAreaOf(int32_t col, int32_t row) const;

  const TRect& Selection() const { return selection_; }
  SelectionKind SelectionType() const { return selectionKind_; }
  // Normalises and expands over merged areas, then notifies the listener.
  void SetSelection(const TRect& rect);
  int32_t ActiveCol() const { return selection_.Left; }
  int32_t ActiveRow() const { return selection_.Top; }

  int32_t RowsInColumn(int32_t col) const;
  int32_t SheetIndex() const { return host_.SheetIndex(); }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption) { caption_ = caption; }
  int32_t ColCapacity() const { return colCapacity_; }
  int32_t RowCapacity() const { return rowCapacity_; }
  // The raw counters: one more than the highest column / row that ever received a record.
  int32_t UsedCols() const { return usedCols_; }
  int32_t UsedRows() const { return usedRows_; }
  size_t RecordCount() const { return pool_.LiveCount(); }
  // While set: no undo recording and no clear veto (whole-storage clearing, cell deletion).
  bool Bulk() const { return bulk_; }
  void SetBulk(bool bulk) { bulk_ = bulk; }

  StorageHost& Host() const { return host_; }
  TSSStyleCache& StyleCache() const;
  StyleEntry* DefaultStyleEntry() const { return defaultStyle_; }

 private:
  struct ColumnSlot {
    int32_t rowsInUse = 0;
    SlotArray rows;
  };
  // The content of a write, in stored form.
  struct Content {
    SharedText text;
    bool derivedText = false;
    StyleEntry* style = nullptr;
    uint8_t type = kCellText;
    double number = 0;
    FormulaHandle* formula = nullptr;
  };

  void MoveSlot(int32_t fromCol, int32_t fromRow, int32_t toCol, int32_t toRow);
  void NotifyMoved(int32_t col, int32_t row);
  // Tell the formula cache that a cell's content changed, or that cells moved wholesale.
  void NoteChanged(int32_t col, int32_t row);
  void NoteRearranged();
  // Every cell of an area changed (cells shifted or sorted within it); a huge area counts as
  // rearranged.
  void NoteChangedArea(const TRect& area);
  // The area whose cells an insertion or deletion along a row (mode 0) or a column (mode 1)
  // moves; whole columns and rows (modes 2, 3) rearrange the sheet.
  void NoteShifted(const TRect& r, int mode);
  void ClearSlotContent(CellSlot* slot, bool withStyle);
  CellSlot* Slot(int32_t col, int32_t row) const {
    if (col < 0 || row < 0 || col >= usedCols_ || row >= rowCapacity_) return nullptr;
    return columns_[static_cast<size_t>(col)].rows[static_cast<size_t>(row)];
  }
  Content CurrentContent(int32_t col, int32_t row) const;
  // The text of content whose text is derived: a number's decimal text, a formula's text.
  std::string DerivedText(uint8_t type, double number, FormulaHandle* formula) const;
  bool SameContent(const Content& a, const Content& b) const;
  void Write(int32_t col, int32_t row, Content content);
  void FillRec(const CellSlot* slot, TSSCellRec& rec) const;
  void FreeSlot(CellSlot* slot);
  void RemoveFormula(int32_t col, int32_t row);
  // Writes content over a cell that may hold a formula, so that the undo record still sees
  // the formula; the entry is removed after the write.
  void WriteOverFormula(int32_t col, int32_t row, Content content, FormulaHandle* oldFormula);
  uint16_t FormatCode(int32_t col, int32_t row) const;
  bool IsBlank(const CellSlot* slot) const;
  SelectionKind KindOf(const TRect& rect) const;

  StorageHost& host_;
  std::string caption_;
  int32_t colCapacity_ = 0;
  int32_t rowCapacity_ = 0;
  std::vector<ColumnSlot> columns_;
  int32_t usedCols_ = 0;
  int32_t usedRows_ = 0;
  StyleEntry* defaultStyle_;
  CellPool pool_;
  std::unique_ptr<TSSHeader> colHeader_;
  std::unique_ptr<TSSHeader> rowHeader_;
  std::unique_ptr<TSSMergedCellsStorage> merged_;
  TRect selection_{0, 0, 0, 0};
  SelectionKind selectionKind_ = SelectionKind::SingleCell;
  bool bulk_ = false;
  bool inSelectionNotify_ = false;
};

}  // namespace workbook
