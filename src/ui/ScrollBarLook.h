#pragma once
// The painted scroll bar of the headless backend (custom controls, list boxes): arrow boxes
// at both ends and a thumb between them in proportion to the page. Hit testing uses the same
// parts as the painting.
#include "ui/Canvas.h"
#include "ui/CustomControl.h"

namespace ui {

struct ScrollBarParts {
  Rect lowArrow;   // top or left
  Rect highArrow;  // bottom or right
  Rect thumb;
};

ScrollBarParts LayOutScrollBar(const Rect& track, const ScrollBarState& bar, bool vertical);
void PaintScrollBar(Canvas& canvas, const Rect& track, const ScrollBarState& bar, bool vertical);

}  // namespace ui
