#include "ui/Control.h"

#include <algorithm>

#include "ui/Backend.h"
#include "ui/Form.h"

namespace ui {

Control::Control(Control* parent, ControlKind kind, std::string name)
    : kind_(kind), name_(std::move(name)), parent_(parent) {
  if (parent_ != nullptr) font_ = parent_->font_;
  peer_ = CurrentBackend().CreatePeer(*this);
}

Control::Control(uintptr_t foreignParent, ControlKind kind, std::string name)
    : kind_(kind), name_(std::move(name)), parent_(nullptr), foreignParent_(foreignParent) {
  peer_ = CurrentBackend().CreatePeer(*this);
}

Control::~Control() {
  DestroyChildren();
  // A root control has no form to tell (and is no longer a Form while this runs).
  if (parent_ != nullptr) {
    if (Form* form = OwnerForm(); form != nullptr) form->ControlDestroyed(this);
  }
  peer_.reset();
}

void Control::DestroyChildren() {
  // Last created first, so that later siblings (which may refer to earlier ones) go first.
  while (!children_.empty()) children_.pop_back();
}

Form* Control::OwnerForm() {
  Control* node = this;
  while (node->parent_ != nullptr) node = node->parent_;
  return node->kind_ == ControlKind::Form ? static_cast<Form*>(node) : nullptr;
}

Control* Control::FindByName(const std::string& name) {
  if (name_ == name) return this;
  for (const auto& child : children_) {
    if (Control* found = child->FindByName(name)) return found;
  }
  return nullptr;
}

void Control::SetBounds(const Rect& bounds) {
  Rect normal = bounds;
  if (normal.right < normal.left) normal.right = normal.left;
  if (normal.bottom < normal.top) normal.bottom = normal.top;
  if (normal == bounds_) return;
  bool resized = normal.Width() != bounds_.Width() || normal.Height() != bounds_.Height();
  bounds_ = normal;
  Changed(Property::Bounds);
  BoundsChanged();
  if (parent_ != nullptr && (align_ != Align::None || parent_->kind_ == ControlKind::ControlBar)) {
    parent_->Realign();
  }
  if (resized) {
    Realign();
    if (OnResize) OnResize();
  }
}

Rect Control::ClientRect() const { return Rect{0, 0, bounds_.Width(), bounds_.Height()}; }

Point Control::ToForm(Point p) const {
  for (const Control* node = this; node->parent_ != nullptr; node = node->parent_) {
    p.x += node->bounds_.left;
    p.y += node->bounds_.top;
  }
  return p;
}

Point Control::FromForm(Point p) const {
  Point origin = ToForm(Point{0, 0});
  return Point{p.x - origin.x, p.y - origin.y};
}

void Control::SetAlign(Align align) {
  if (align_ == align) return;
  align_ = align;
  if (parent_ != nullptr) parent_->Realign();
}

void Control::Realign() {
  // A child's SetBounds asks its parent to realign again; one pass is enough.
  if (realigning_) return;
  realigning_ = true;
  Rect area = ClientRect();
  auto place = [&](Align which) {
    for (const auto& child : children_) {
      if (child->align_ != which || !child->visible_) continue;
      // A band is never larger than the area left to it.
      int height = std::clamp(child->bounds_.Height(), 0, std::max(0, area.Height()));
      int width = std::clamp(child->bounds_.Width(), 0, std::max(0, area.Width()));
      Rect b = child->bounds_;
      switch (which) {
        case Align::Top:
          b = Rect{area.left, area.top, area.right, area.top + height};
          area.top = b.bottom;
          break;
        case Align::Bottom:
          b = Rect{area.left, area.bottom - height, area.right, area.bottom};
          area.bottom = b.top;
          break;
        case Align::Left:
          b = Rect{area.left, area.top, area.left + width, area.bottom};
          area.left = b.right;
          break;
        case Align::Right:
          b = Rect{area.right - width, area.top, area.right, area.bottom};
          area.right = b.left;
          break;
        case Align::Client:
          b = area;
          break;
        case Align::None:
          break;
      }
      child->SetBounds(b);
    }
  };
  place(Align::Top);
  place(Align::Bottom);
  place(Align::Left);
  place(Align::Right);
  place(Align::Client);
  realigning_ = false;
}

void Control::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  Changed(Property::Visible);
  if (!visible) {
    if (Form* form = OwnerForm()) form->ControlHidden(this);
  }
  if (parent_ != nullptr) parent_->Realign();
}

bool Control::Showing() const {
  for (const Control* node = this; node != nullptr; node = node->parent_) {
    if (!node->visible_) return false;
  }
  return true;
}

void Control::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Changed(Property::Enabled);
  if (!enabled) {
    if (Form* form = OwnerForm()) form->ControlHidden(this);
  }
}

bool Control::EffectivelyEnabled() const {
  for (const Control* node = this; node != nullptr; node = node->parent_) {
    if (!node->enabled_) return false;
  }
  return true;
}

void Control::SetCaption(const std::string& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  Changed(Property::Caption);
}

void Control::SetColor(const Color& color) {
  if (color_ == color) return;
  color_ = color;
  Changed(Property::Color);
}

void Control::SetFont(const ui::Font& font) {
  if (font_ == font) return;
  font_ = font;
  Changed(Property::Font);
}

void Control::SetCursor(CursorShape cursor) {
  if (cursor_ == cursor) return;
  cursor_ = cursor;
  Changed(Property::Cursor);
}

bool Control::IsFocusableKind() const {
  switch (kind_) {
    case ControlKind::Edit:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::Button:
    case ControlKind::ComboBox:
    case ControlKind::Custom:
    case ControlKind::TabControl:
    case ControlKind::ListBox:
      return true;
    default:
      return false;
  }
}

bool Control::CanFocus() const { return IsFocusableKind() && Showing() && EffectivelyEnabled(); }

bool Control::Focused() const {
  Form* form = const_cast<Control*>(this)->OwnerForm();
  return form != nullptr && form->ActiveControl() == this;
}

void Control::SetFocus() {
  if (!CanFocus() || Focused()) return;
  peer_->Focus();
}

void Control::SetCapture() {
  peer_->Capture(true);
  if (Form* form = OwnerForm()) form->NoteCapture(this);
}

void Control::ReleaseCapture() {
  if (!HasCapture()) return;
  peer_->Capture(false);
  if (Form* form = OwnerForm()) form->NoteCapture(nullptr);
}

bool Control::HasCapture() const {
  Form* form = const_cast<Control*>(this)->OwnerForm();
  return form != nullptr && form->CaptureControl() == this;
}

void Control::Invalidate() { peer_->Invalidate(nullptr); }

void Control::Invalidate(const Rect& area) { peer_->Invalidate(&area); }

void Control::Changed(Property what) {
  if (peer_) peer_->Changed(what);
}

void Control::Paint(Canvas&) {}

void Control::HandleMouseDown(const MouseEvent& event) {
  if (OnMouseDown) OnMouseDown(event);
}
void Control::HandleMouseMove(const MouseEvent& event) {
  if (OnMouseMove) OnMouseMove(event);
}
void Control::HandleMouseUp(const MouseEvent& event) {
  if (OnMouseUp) OnMouseUp(event);
}
void Control::HandleDoubleClick(const MouseEvent& event) {
  if (OnDblClick) OnDblClick(event);
}
void Control::HandleMouseWheel(const MouseEvent& event) {
  if (OnMouseWheel) OnMouseWheel(event);
}
void Control::HandleKeyDown(int& key, ShiftState shift) {
  if (OnKeyDown) OnKeyDown(key, shift);
}
void Control::HandleKeyUp(int& key, ShiftState shift) {
  if (OnKeyUp) OnKeyUp(key, shift);
}
void Control::HandleKeyPress(char& c) {
  if (OnKeyPress) OnKeyPress(c);
}
void Control::HandleClick() {
  if (OnClick) OnClick();
}
void Control::HandleEnter() {
  if (OnEnter) OnEnter();
}
void Control::HandleExit() {
  if (OnExit) OnExit();
}

}  // namespace ui
