#pragma once
// Pictures of headless forms: every showing control painted through the canvas, parents
// before children, each clipped to its own bounds and to its parent's client area, with
// the scroll bars of custom controls drawn as the classic bars look.
#include "ui/Canvas.h"
#include "ui/Form.h"
#include "ui/Image.h"

namespace ui::headless {

class FormRenderer {
 public:
  // An image of the form's size (at least 1 x 1).
  static Image Render(Form& form);
  // Paints `control` and its subtree with its top-left corner at the canvas origin.
  static void PaintTree(Control& control, Canvas& canvas);
};

}  // namespace ui::headless
