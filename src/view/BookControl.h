#pragma once
// The workbook control: the grid of the active sheet with its headers, scroll bars, sheet-tab
// strip and in-place editor, as one toolkit custom control. It reads the book's model and
// display properties at every layout, turns mouse and keys into model operations, and raises
// the book's OnEditing and OnEndEdit events around its editor.
//
// Ownership: the book is owned by the caller (the window) and outlives the control. The
// control attaches to the book's listener (the editor request of SelectCell and F2, scrolling
// a selected cell into view, header changes, repaint requests) while it lives and detaches
// when destroyed.
//
// No exception leaves an input or paint handler: model errors while committing an edit or
// renaming a sheet end the edit and are reported through OnError.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/CustomControl.h"
#include "ui/Timer.h"
#include "view/CellColors.h"
#include "view/GridLayout.h"
#include "view/GridMouse.h"
#include "view/HeaderPositions.h"
#include "view/InplaceEditor.h"
#include "view/SheetTabs.h"
#include "view/TSpreadSheetBook.h"
#include "view/TextMeasurer.h"
#include "workbook/TCustomSpreadSheetBook.h"

namespace view {

using view::TSpreadSheetBook;

class BookControl : public ui::CustomControl, private GridMouseHost {
 public:
  static constexpr int kTabStripHeight = 20;

  // Add<BookControl>(book) on a parent builds it this way.
  BookControl(ui::Control* parent, TSpreadSheetBook& book);
  BookControl(ui::Control& parent, TSpreadSheetBook& book) : BookControl(&parent, book) {}
  ~BookControl() override;

  TSpreadSheetBook& Book() { return book_; }

  // ---- editing
  bool IsEditing() const override { return editor_.IsOpen(); }
  // On the active cell, when it is editable and OnEditing allows; scrolls it into view first.
  void OpenEditor() override;
  // Writes the editor's text when it changed (one undo step), closes it, raises OnEndEdit.
  bool CommitEdit();
  // Closes without writing, raises OnEndEdit.
  void CancelEdit();
  const InplaceEditor& Editor() const { return editor_; }

  // ---- display
  // The book's contents or display properties changed: positions, layout, scroll bars, paint.
  void BookChanged();
  // The same, done at the next paint, input or layout query: a run of model changes (host
  // actions writing cell after cell) costs one layout instead of one each.
  void BookChangedLater();
  const GridLayout& Layout() const override {
    Settle();
    return layout_;
  }
  const SheetTabs& Tabs() const {
    Settle();
    return tabs_;
  }
  workbook::TPoint TopLeft() const;
  // Negative indexes become 0; OnTopLeftChanging may change the target.
  void ScrollTo(workbook::TPoint topLeft);
  void ScrollIntoView(int32_t col, int32_t row);
  Hit HitTest(ui::Point p) const {
    Settle();
    return layout_.HitTest(p);
  }
  // The grid's part of the client area (the tab strip excluded).
  ui::Rect GridRect() const;
  // Tests measure with fixed metrics; the default is the platform's.
  void SetMeasurer(const TextMeasurer& measurer);
  // Wheel rows per notch.
  int wheelRows = 3;

  // The context menus: the grid's (right button on the sheet) and the tab strip's.
  std::function<void(ui::Point)> OnSheetPopupMenu;
  std::function<void(ui::Point)> OnCaptionPopupMenu;
  std::function<void(const std::string& message)> OnError;

  // ---- control entry points
  void Paint(ui::Canvas& canvas) override;
  void HandleMouseDown(const ui::MouseEvent& event) override;
  void HandleMouseMove(const ui::MouseEvent& event) override;
  void HandleMouseUp(const ui::MouseEvent& event) override;
  void HandleDoubleClick(const ui::MouseEvent& event) override;
  void HandleMouseWheel(const ui::MouseEvent& event) override;
  void HandleKeyDown(int& key, ui::ShiftState shift) override;
  void HandleKeyPress(char& c) override;
  void HandleScroll(ui::ScrollBarKind kind, ui::ScrollCode code, int32_t position) override;
  // The auto-scroll timer (tests fire it by hand).
  ui::Timer& AutoScrollTimer() { return timer_; }
  bool IsRenaming() const { return renaming_; }
  // The rectangles invalidated since the last call (a repaint of only these must equal a full
  // one; the tests check that).
  std::vector<ui::Rect> TakeDamage() { return std::exchange(damage_, {}); }

 protected:
  void BoundsChanged() override;

 private:
  // GridMouseHost
  void EditorPress(ui::Point p) override {
    editor_.CaretAt(p);
    Invalidate();
  }
  bool BulkLoading() const override;
  void Select(const workbook::TRect& cells) override;
  uint16_t ItemSize(workbook::HeaderKind kind, int32_t index) const override;
  void Resize(workbook::HeaderKind kind, int32_t index, int32_t size) override;
  bool ScrollStep(int dx, int dy) override;
  void ContextMenu(ui::Point p) override;
  void SetCursor(ui::CursorShape shape) override { ui::Control::SetCursor(shape); }
  void SetAutoScroll(bool on) override { timer_.SetEnabled(on); }

  workbook::TSSBookSheet* Sheet() const { return book_.ActiveSheet(); }
  // Runs a change BookChangedLater left pending.
  void Settle() const;
  // The model asked for a repaint: lay out again before the next paint. Requests made while
  // the control itself lays out or paints (a formula computed on first display) are its own.
  void ModelRepainted();
  void EnsurePositions();
  void Relayout();
  void UpdateScrollBars();
  void SelectionMoved(const workbook::TRect& before);
  // Keyboard navigation; true when the key moved the selection.
  bool Navigate(int key, ui::ShiftState shift);
  void MoveActive(int32_t col, int32_t row, bool extend);
  int32_t Step(const HeaderPositions& pos, int32_t index, int delta, int32_t limit) const;
  void EndEdit(bool write);
  void StartRename();
  void EndRename(bool write);
  void Report(const std::exception& e);
  void Damage(const ui::Rect& r);

  TSpreadSheetBook& book_;
  const TextMeasurer* measurer_;
  HeaderPositions cols_;
  HeaderPositions rows_;
  const workbook::TSSBookSheet* positionsOf_ = nullptr;
  bool positionsDirty_ = true;
  bool changePending_ = false;
  bool layingOut_ = false;
  GridLayout layout_;
  CellColors colors_;
  InplaceEditor editor_;
  InplaceEditor renameEditor_;
  bool renaming_ = false;
  GridMouse mouse_;
  SheetTabs tabs_;
  bool tabsCaptured_ = false;
  ui::Timer timer_;
  std::map<const workbook::TSSBookSheet*, workbook::TPoint> topLeft_;
  workbook::TPoint anchor_;  // the keyboard selection's fixed corner
  workbook::TPoint extent_;  // its moving corner
  int32_t editCol_ = -1;
  int32_t editRow_ = -1;
  const workbook::TSSBookSheet* editSheet_ = nullptr;
  std::vector<ui::Rect> damage_;
};

}  // namespace view
