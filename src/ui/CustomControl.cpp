#include "ui/CustomControl.h"

#include <algorithm>

#include "ui/Backend.h"
#include "ui/Form.h"

namespace ui {

CustomControl::CustomControl(Control* parent, std::string name)
    : Control(parent, ControlKind::Custom, std::move(name)) {
  SetColor(colors::kWhite);
}

Rect CustomControl::ClientRect() const {
  Rect client = Control::ClientRect();
  int size = CurrentBackend().ScrollBarSize();
  if (vertical_.visible) client.right = std::max(client.left, client.right - size);
  if (horizontal_.visible) client.bottom = std::max(client.top, client.bottom - size);
  return client;
}

const ScrollBarState& CustomControl::ScrollBar(ScrollBarKind kind) const {
  return kind == ScrollBarKind::Horizontal ? horizontal_ : vertical_;
}

int32_t CustomControl::MaxPosition(const ScrollBarState& state) {
  if (state.page <= 0) return state.max;
  int64_t last = static_cast<int64_t>(state.max) - state.page + 1;
  return static_cast<int32_t>(std::max<int64_t>(state.min, last));
}

void CustomControl::SetScrollBar(ScrollBarKind kind, ScrollBarState state) {
  if (state.max < state.min) state.max = state.min;
  if (state.page < 0) state.page = 0;
  state.position = std::clamp(state.position, state.min, MaxPosition(state));
  ScrollBarState& bar = kind == ScrollBarKind::Horizontal ? horizontal_ : vertical_;
  if (bar == state) return;
  bool visibilityChanged = bar.visible != state.visible;
  bar = state;
  Changed(Property::Scroll);
  if (visibilityChanged) {
    Realign();
    if (OnResize) OnResize();
  }
}

void CustomControl::SetScrollPosition(ScrollBarKind kind, int32_t position) {
  ScrollBarState state = ScrollBar(kind);
  state.position = position;
  SetScrollBar(kind, state);
}

void CustomControl::SetTakesFocus(bool on) {
  if (takesFocus_ == on) return;
  takesFocus_ = on;
  if (!on) {
    if (Form* form = OwnerForm(); form != nullptr && form->ActiveControl() == this)
      form->NoteFocus(nullptr);
  }
}

bool CustomControl::CanFocus() const { return takesFocus_ && Control::CanFocus(); }

void CustomControl::Paint(Canvas& canvas) {
  if (OnPaint) OnPaint(canvas);
}

void CustomControl::HandleScroll(ScrollBarKind kind, ScrollCode code, int32_t position) {
  if (OnScroll) OnScroll(kind, code, position);
}

void CustomControl::HandleMouseDown(const MouseEvent& event) {
  if (CanFocus()) SetFocus();
  Control::HandleMouseDown(event);
}

}  // namespace ui
