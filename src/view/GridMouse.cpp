#include "view/GridMouse.h"

#include <algorithm>

namespace view {

using workbook::HeaderKind;

void GridMouse::Press(const ui::MouseEvent& e) {
  lastPoint_ = e.pos;
  lastShift_ = e.shift;
  if (e.button == ui::MouseButton::Left) leftDown_ = true;
  if (e.button == ui::MouseButton::Right) rightDown_ = true;
  if (host_.IsEditing()) {
    if (host_.Layout().DataArea().Contains(e.pos)) {
      host_.EditorPress(e.pos);
      resizing_ = selecting_ = false;
      return;
    }
  }
  pressPoint_ = e.pos;
  const Hit hit = host_.Layout().HitTest(e.pos);
  if ((hit.flags & kHitResize) && e.button == ui::MouseButton::Left) {
    kind_ = hit.col < 0 ? HeaderKind::Rows : HeaderKind::Columns;
    item_ = kind_ == HeaderKind::Rows ? hit.row : hit.col;
    sizeAtPress_ = host_.ItemSize(kind_, item_);
    resizing_ = true;
    return;
  }
  if (e.button == ui::MouseButton::Right) {
    if (hit.col >= 0 && hit.row >= 0 && (hit.flags & kHitCell) && !host_.BulkLoading()) {
      anchor_ = workbook::TPoint{hit.col, hit.row};
      host_.Select(workbook::TRect{hit.col, hit.row, hit.col, hit.row});
    }
    host_.ContextMenu(e.pos);
    return;
  }
  if (hit.flags & kHitCell) {
    anchor_ = workbook::TPoint{hit.col, hit.row};
    host_.Select(workbook::TRect{hit.col, hit.row, hit.col, hit.row});
    if (e.button == ui::MouseButton::Left) selecting_ = true;
  }
}

void GridMouse::Move(const ui::MouseEvent& e) {
  lastPoint_ = e.pos;
  lastShift_ = e.shift;
  const bool held = leftDown_ || rightDown_;
  if (held && !resizing_ && !selecting_) return;
  const GridLayout& layout = host_.Layout();
  const ui::Rect data = layout.DataArea();
  if (selecting_ && leftDown_) {
    host_.SetAutoScroll(!data.Contains(e.pos));
    // One step towards the mouse when it is beyond the data area.
    int dx = 0, dy = 0;
    if (e.pos.y < data.top)
      dy = -1;
    else if (!layout.Rows().empty() && e.pos.y >= std::min(data.bottom, layout.Rows().back().end))
      dy = 1;
    if (e.pos.x < data.left)
      dx = -1;
    else if (!layout.Columns().empty() &&
             e.pos.x >= std::min(data.right, layout.Columns().back().end))
      dx = 1;
    // Only beyond the far side of the data area itself, not merely past the last cell when the
    // sheet ends inside the view.
    if (dy == 1 && e.pos.y < data.bottom && layout.Rows().back().end >= data.bottom) dy = 0;
    if (dx == 1 && e.pos.x < data.right && layout.Columns().back().end >= data.right) dx = 0;
    if (dx != 0 || dy != 0) host_.ScrollStep(dx, dy);
  }
  const Hit hit = host_.Layout().HitTest(e.pos);
  if (resizing_) {
    if (!leftDown_) return;
    const int along =
        kind_ == HeaderKind::Columns ? e.pos.x - pressPoint_.x : e.pos.y - pressPoint_.y;
    const int size = std::clamp(along + sizeAtPress_ + 1, 0, 65535);
    host_.Resize(kind_, item_, size);
    return;
  }
  if (!(hit.flags & kHitResize) || selecting_) {
    host_.SetCursor(ui::CursorShape::Cross);
    if (selecting_ && leftDown_) {
      // Beyond the grid the nearest visible cell counts.
      const int32_t col = std::max(0, hit.col >= 0 ? hit.col : layout.Columns().front().index);
      const int32_t row = std::max(0, hit.row >= 0 ? hit.row : layout.Rows().front().index);
      host_.Select(workbook::TRect{std::min(anchor_.X, col), std::min(anchor_.Y, row),
                                   std::max(anchor_.X, col), std::max(anchor_.Y, row)});
    }
    return;
  }
  host_.SetCursor(hit.col < 0 ? ui::CursorShape::SizeNS : ui::CursorShape::SizeWE);
}

void GridMouse::Release(const ui::MouseEvent& e) {
  host_.SetAutoScroll(false);
  lastPoint_ = e.pos;
  if (e.button == ui::MouseButton::Left) leftDown_ = false;
  if (e.button == ui::MouseButton::Right) rightDown_ = false;
  resizing_ = selecting_ = false;
}

void GridMouse::DoubleClick(ui::Point p) {
  const Hit hit = host_.Layout().HitTest(p);
  if (hit.flags & (kHitRowHeader | kHitColHeader | kHitResize | kHitCorner)) return;
  if (hit.flags & kHitCell) host_.OpenEditor();
}

void GridMouse::Tick() {
  if (!leftDown_ || !selecting_) {
    host_.SetAutoScroll(false);
    return;
  }
  ui::MouseEvent e;
  e.pos = lastPoint_;
  e.shift = lastShift_;
  Move(e);
}

}  // namespace view
