#pragma once
// The book's listener: turns model notifications into the book's public events and holds the
// update lock. While the lock is above 0 the cell, selection, size, visibility, caption,
// editing, history and merge events are held back (their vetoes then allow); clear-cells,
// progress and top-left events are raised regardless.
#include <cstdint>
#include <functional>
#include <string>

#include "workbook/SSIntf.h"
#include "workbook/TSSFormatDialog.h"

namespace workbook {

class TCustomSpreadSheetBook;
class TSSBookSheet;

// The published events of a book. Handlers are plain callables; vetoes and replacements go
// through reference parameters.
struct BookEvents {
  std::function<void(TSSBookSheet& sender, TPoint activeCell, bool& canSelect)>
      OnActiveCellChanging;
  std::function<void(TCustomSpreadSheetBook& sender, int activeSheet, bool& canSelect)>
      OnActiveSheetChanging;
  std::function<void(TCustomSpreadSheetBook& sender)> OnAfterCalculation;
  std::function<void(TSSBookSheet& sender, int32_t col, int32_t row)> OnCellChange;
  std::function<void(TCustomSpreadSheetBook& sender, TSSBookSheet& sheet, int32_t index, bool prev,
                     bool now)>
      OnChangeColVisible;
  std::function<void(TCustomSpreadSheetBook& sender, TSSBookSheet& sheet, int32_t index, bool prev,
                     bool now)>
      OnChangeRowVisible;
  std::function<void(TSSBookSheet& sender, std::string& caption)> OnChangeSheetCaption;
  std::function<void(TSSBookSheet& sender, const TRect& cells, bool& useDefaultStyle,
                     bool& canClear)>
      OnClearCells;
  std::function<void(int sheet, bool& canDelete)> OnDeleteSheet;
  std::function<void(TSSBookSheet& sender, int32_t col, int32_t row, bool& canEdit)> OnEditing;
  // Before the Format Cells dialog opens: the handler may veto it or replace its class.
  std::function<void(TSSBookSheet& sender, const TRect& cells, bool& canFormat,
                     FormatDialogFactory& dialogClass)>
      OnFormatCells;
  std::function<void(TCustomSpreadSheetBook& sender)> OnEndEdit;
  std::function<void(int sheet1, int sheet2, bool& canExchange)> OnExchangeSheets;
  std::function<void(TCustomSpreadSheetBook& sender)> OnHistoryChanged;
  std::function<void(TSSBookSheet& sender, const TRect& cells, bool isMerge, bool& canMerge)>
      OnMergeCells;
  std::function<void(TCustomSpreadSheetBook& sender, uint8_t percent)> OnProgress;
  std::function<void(TSSBookSheet& sender, int32_t index, uint16_t& newSize)> OnResizeCol;
  std::function<void(TSSBookSheet& sender, int32_t index, uint16_t& newSize)> OnResizeRow;
  std::function<void(TCustomSpreadSheetBook& sender, TSSBookSheet& sheet)> OnSetSelection;
  std::function<void(TSSBookSheet& sender, TPoint& topLeft)> OnTopLeftChanging;
};

class TSSListener : public ModelListener {
 public:
  explicit TSSListener(TCustomSpreadSheetBook& book) : book_(book) {}

  void CellChanged(TSSDataStorage& storage, int32_t col, int32_t row) override;
  void BookModified() override { modified = true; }
  void ResizeHeader(TSSDataStorage& storage, HeaderKind kind, int32_t index,
                    uint16_t& newSize) override;
  void HeaderVisibilityChanged(TSSDataStorage& storage, HeaderKind kind, int32_t index,
                               bool previous, bool now) override;
  void MergeCells(TSSDataStorage& storage, const TRect& rect, bool isMerge,
                  bool& canMerge) override;
  void ActiveCellChanging(TSSDataStorage& storage, TPoint cell, bool& canSelect) override;
  void ClearCells(TSSDataStorage& storage, const TRect& rect, bool& useDefaultStyle,
                  bool& canClear) override;
  void SelectionChanged(TSSDataStorage& storage) override;
  void HeaderLayoutChanged(TSSDataStorage& storage, HeaderKind kind, int32_t index) override {
    if (headerChanged) headerChanged(storage, kind, index);
  }
  void Repaint() override {
    ++repaintCount;
    if (repaint) repaint();
  }
  void BeginUpdate() override;
  void EndUpdate() override;
  bool IsLocked() const override { return lockCount_ > 0; }

  // Raised by the book and sheets.
  void HistoryChanged();
  bool ChangeSheetCaption(TSSBookSheet& sheet, std::string& caption);
  bool CanEdit(TSSBookSheet& sheet, int32_t col, int32_t row);
  int LockCount() const { return lockCount_; }
  // The counter itself; the book's BeginUpdate/EndUpdate wrap it with recalculation control.
  void IncLock() { ++lockCount_; }
  void DecLock() {
    if (lockCount_ > 0) --lockCount_;
  }

  // The view's in-place editor: set by the view that shows this book. Selecting a cell for
  // editing (and F2) then asks the view to open its editor, which asks the editing veto itself;
  // without a view only the veto is asked.
  std::function<void(TSSBookSheet& sheet)> openEditor;
  // The view's copy of column and row positions follows every size or visibility change.
  std::function<void(TSSDataStorage& storage, HeaderKind kind, int32_t index)> headerChanged;
  // The view's redraw: the model asks for a repaint after changes it made on its own (a sort,
  // an undo step, a toolbar format), so the view lays out again before it next paints.
  std::function<void()> repaint;
  // The view's answers for selecting a cell: whether its in-place editor is open on the sheet
  // (a cell is then not selected), and scrolling a cell into view. Without a view: no editor,
  // nothing to scroll.
  std::function<bool(const TSSBookSheet& sheet)> editorShown;
  std::function<void(TSSBookSheet& sheet, int32_t col, int32_t row)> scrollIntoView;
  bool EditorShown(const TSSBookSheet& sheet) const { return editorShown && editorShown(sheet); }
  void ScrollIntoView(TSSBookSheet& sheet, int32_t col, int32_t row) {
    if (scrollIntoView) scrollIntoView(sheet, col, row);
  }
  // Asks the view to open its editor when one is attached, else only the editing veto.
  void RequestEdit(TSSBookSheet& sheet, int32_t col, int32_t row);

  // The book's modified flag and a repaint counter the view can poll.
  bool modified = false;
  int64_t repaintCount = 0;

 private:
  TSSBookSheet* SheetOf(TSSDataStorage& storage) const;
  TCustomSpreadSheetBook& book_;
  int lockCount_ = 0;
};

}  // namespace workbook
