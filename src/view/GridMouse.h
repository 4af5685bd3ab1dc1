#pragma once
// The grid's mouse as a state machine over a small host interface, so that it runs in tests
// with a fake timer and no window: press, move, release, double click and the auto-scroll
// tick.
//
// States: resizing a column or row (from a press on a header boundary), selecting by dragging
// (from a left press on a cell), or idle. Releasing clears both; the editor-open state is the
// host's and is not touched by a release. The auto-scroll timer runs only while a left-button
// drag is outside the data area.
#include <cstdint>

#include "ui/Control.h"
#include "view/GridLayout.h"
#include "workbook/SSIntf.h"

namespace view {

class GridMouseHost {
 public:
  virtual ~GridMouseHost() = default;
  virtual const GridLayout& Layout() const = 0;
  virtual bool IsEditing() const = 0;
  virtual void EditorPress(ui::Point p) = 0;
  virtual bool BulkLoading() const = 0;
  // Through the storage's SetSelection (which expands over merged areas and raises events).
  virtual void Select(const workbook::TRect& cells) = 0;
  virtual uint16_t ItemSize(workbook::HeaderKind kind, int32_t index) const = 0;
  // Through the header's SetSize (resize locks and the resize events apply).
  virtual void Resize(workbook::HeaderKind kind, int32_t index, int32_t size) = 0;
  // One visible column (dx) or row (dy) towards the sign; false when already at the edge.
  virtual bool ScrollStep(int dx, int dy) = 0;
  virtual void OpenEditor() = 0;
  virtual void ContextMenu(ui::Point p) = 0;
  virtual void SetCursor(ui::CursorShape shape) = 0;
  virtual void SetAutoScroll(bool on) = 0;
};

class GridMouse {
 public:
  explicit GridMouse(GridMouseHost& host) : host_(host) {}

  void Press(const ui::MouseEvent& e);
  void Move(const ui::MouseEvent& e);
  void Release(const ui::MouseEvent& e);
  void DoubleClick(ui::Point p);
  // The auto-scroll timer fired: repeat the last move.
  void Tick();

  bool Resizing() const { return resizing_; }
  bool Selecting() const { return selecting_; }
  workbook::TPoint Anchor() const { return anchor_; }

 private:
  GridMouseHost& host_;
  bool leftDown_ = false;
  bool rightDown_ = false;
  bool resizing_ = false;
  bool selecting_ = false;
  workbook::HeaderKind kind_ = workbook::HeaderKind::Columns;
  int32_t item_ = -1;
  int sizeAtPress_ = 0;
  ui::Point pressPoint_;
  ui::Point lastPoint_;
  ui::ShiftState lastShift_;
  workbook::TPoint anchor_;
};

}  // namespace view
