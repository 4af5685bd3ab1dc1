#pragma once
// One worksheet of a book: owns the sheet's storage and adds the editability rules, the
// selection operations, caption renaming and the factory of cell objects.
#include <memory>
#include <string>
#include <vector>

#include "workbook/SSBookIntf.h"
#include "workbook/SSIntf.h"
#include "workbook/TSSDataStorage.h"

namespace workbook {

class TCustomSpreadSheetBook;
class TSSCellObject;

class TSSBookSheet : public StorageHost, public IBookSheet {
 public:
  explicit TSSBookSheet(TCustomSpreadSheetBook& book);
  ~TSSBookSheet() override;

  TCustomSpreadSheetBook& Book() const { return book_; }
  TSSDataStorage& Storage() { return *storage_; }
  const TSSDataStorage& Storage() const { return *storage_; }

  const std::string& Caption() const { return storage_->Caption(); }
  // Rename rules: the caption handler may replace the name; an unchanged name does nothing;
  // a name another sheet has exactly raises "Sheet caption invalid or already exist".
  void SetCaption(const std::string& caption);

  bool ShowGrid = true;
  bool ShowFormulas = false;
  bool ShowHeaders = true;
  bool SheetProtected = false;
  bool SheetReadOnly = false;

  TSSHeader& ColumnHeader() { return storage_->ColumnHeader(); }
  TSSHeader& RowHeader() { return storage_->RowHeader(); }
  const TRect& Selection() const { return storage_->Selection(); }
  void SetSelection(const TRect& rect) { storage_->SetSelection(rect); }
  // Selects one cell and scrolls it into view; nothing while the view's editor is open.
  // Editing is the view's business (the editing veto is asked here).
  void SelectCell(int32_t col, int32_t row, bool edit = false);

  bool IsCellEditable(int32_t col, int32_t row) const;
  bool AreCellsEditable(const TRect& rect) const;
  // Raises OnCellChange for every cell of rect, column by column.
  void NotifyCellsChanged(const TRect& rect);
  void SetColumnsRowsVisible(const TRect& rect, bool columns, bool visible, bool rows);
  // Copies flags, storage and both headers of another sheet.
  void Assign(const TSSBookSheet& source);
  std::unique_ptr<TSSCellObject> CellObject(int32_t col, int32_t row);
  // ---- range operations (editability checked, one undo step each, events afterwards)
  void ClearCells(const TRect& rect, bool withStyles);
  void ClearAll();
  void InsertCells(const TRect& rect, int mode);
  void DeleteCells(const TRect& rect, int mode);
  void SortCells(const TRect& rect, const std::vector<bool>& directions);
  // Plain text and the private block on the clipboard; cut clears the cells afterwards.
  void CopyToClipboard(const TRect& rect, bool cut);
  // Pastes the private block, or else the clipboard's text, at a cell. Returns the pasted
  // rectangle, (0, 0, -1, -1) when nothing was pasted.
  TRect Paste(int32_t col, int32_t row);

  // The Format Cells dialog for `cells` inside the undo group "Format cells": the rectangle is
  // normalised (corners in either order) and clamped to the sheet's far edge; a rectangle
  // wholly outside the sheet, a veto of OnFormatCells or a book without a dialog class opens
  // nothing. True when the dialog ended with OK.
  bool FormatCells(const TRect& cells);

  // Delete, Ctrl+Delete, Shift+Delete, Ctrl+Insert, Shift+Insert, F2, Enter, Tab, Shift+Tab.
  // F2 only asks the editing veto (the editor is the view's); true when the key was used.
  bool KeyDown(uint16_t key, bool shift, bool ctrl);

  // Row heights follow wrapped text (estimated with the style cache's font metrics).
  void AutoRowHeight(int32_t row);

  // IBookSheet (the file reader's view)
  void SetHeaderEntry(int kind, int32_t index, bool visible, bool locked, uint16_t size) override;
  void SetDefaultSize(int kind, uint16_t size) override;
  void MergeCells(const TRect& rect, bool merge) override { storage_->MergeCells(rect, merge); }
  void SetCapacity(int32_t cols, int32_t rows) override;
  void SetProtected(bool value) override { SheetProtected = value; }
  void SetViewOptions(const TRect& selection, bool showFormulas, bool showHeaders,
                      bool showGrid) override;
  std::unique_ptr<TSSCellObject> GetCell(int32_t col, int32_t row) override;

  // StorageHost
  TSSStyleCache& StyleCache() override;
  ModelListener& Listener() override;
  CellHistory* History() override;
  FormulaEngine* FormulaCache() override;
  int32_t SheetIndex() const override;
  const void* BookIdentity() const override { return &book_; }
  uint16_t DefaultColWidth() const override;
  uint16_t DefaultRowHeight() const override;
  int Precision() const override;
  bool IsLoading() const override;
  bool IsReadOnly() const override;

 private:
  TCustomSpreadSheetBook& book_;
  std::unique_ptr<TSSDataStorage> storage_;
};

}  // namespace workbook
