#include "ui/headless/FormRenderer.h"

#include <algorithm>

#include "ui/CustomControl.h"
#include "ui/ScrollBarLook.h"
#include "ui/SystemColors.h"
#include "ui/headless/HeadlessBackend.h"

namespace ui::headless {

void FormRenderer::PaintTree(Control& control, Canvas& canvas) {
  Rect own{0, 0, control.Width(), control.Height()};
  ClipScope clip(canvas, own);
  control.Paint(canvas);
  if (control.Kind() == ControlKind::Custom) {
    auto& custom = static_cast<CustomControl&>(control);
    Rect client = custom.ClientRect();
    const ScrollBarState& v = custom.ScrollBar(ScrollBarKind::Vertical);
    const ScrollBarState& h = custom.ScrollBar(ScrollBarKind::Horizontal);
    if (v.visible) PaintScrollBar(canvas, Rect{client.right, 0, own.right, client.bottom}, v, true);
    if (h.visible)
      PaintScrollBar(canvas, Rect{0, client.bottom, client.right, own.bottom}, h, false);
    if (v.visible && h.visible) {
      canvas.FillRect(Rect{client.right, client.bottom, own.right, own.bottom},
                      colors::kButtonFace);
    }
  }
  ClipScope clientClip(canvas, control.ClientRect());
  for (const auto& child : control.Children()) {
    if (!child->Visible()) continue;
    canvas.PushOrigin(Point{child->Bounds().left, child->Bounds().top});
    PaintTree(*child, canvas);
    canvas.PopOrigin();
  }
}

Image FormRenderer::Render(Form& form) {
  Image image(std::max(1, form.Width()), std::max(1, form.Height()));
  std::unique_ptr<Canvas> canvas = CreateImageCanvas(image);
  PaintTree(form, *canvas);
  canvas.reset();  // writes the picture back into the image
  return image;
}

}  // namespace ui::headless
