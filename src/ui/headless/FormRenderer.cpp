#include "ui/headless/FormRenderer.h"

#include <algorithm>

#include "ui/CustomControl.h"
#include "ui/SystemColors.h"
#include "ui/headless/HeadlessBackend.h"

namespace ui::headless {

namespace {

void PaintScrollBar(Canvas& canvas, const Rect& track, const ScrollBarState& bar, bool vertical) {
  canvas.FillRect(track, Color{225, 225, 225});
  int length = vertical ? track.Height() : track.Width();
  int thickness = vertical ? track.Width() : track.Height();
  // Arrow boxes at both ends, the thumb between them in proportion to the page.
  int arrows = std::min(thickness, length / 2);
  int room = length - 2 * arrows;
  int64_t span = static_cast<int64_t>(bar.max) - bar.min + 1;
  int thumb = bar.page > 0 && span > 0
                  ? static_cast<int>(std::max<int64_t>(8, room * bar.page / span))
                  : std::min(room, thickness);
  thumb = std::min(thumb, room);
  int64_t range = static_cast<int64_t>(CustomControl::MaxPosition(bar)) - bar.min;
  int offset = range > 0 ? static_cast<int>((room - thumb) *
                                            (static_cast<int64_t>(bar.position) - bar.min) / range)
                         : 0;
  auto part = [&](int from, int size) {
    return vertical ? Rect{track.left, track.top + from, track.right, track.top + from + size}
                    : Rect{track.left + from, track.top, track.left + from + size, track.bottom};
  };
  for (Rect r : {part(0, arrows), part(length - arrows, arrows), part(arrows + offset, thumb)}) {
    canvas.FillRect(r, colors::kButtonFace);
    canvas.FrameRect(r, colors::kButtonShadow);
  }
}

}  // namespace

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
