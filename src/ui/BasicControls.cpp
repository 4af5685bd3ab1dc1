#include "ui/BasicControls.h"

#include <algorithm>

namespace ui {

Panel::Panel(Control* parent, std::string name)
    : Control(parent, ControlKind::Panel, std::move(name)) {
  SetTabStop(false);
}

void Panel::SetBevelOuter(Bevel bevel) {
  if (bevel_ == bevel) return;
  bevel_ = bevel;
  Changed(Property::State);
  Invalidate();
}

void Panel::SetTextAlignment(TextAlign alignment) {
  if (alignment_ == alignment) return;
  alignment_ = alignment;
  Invalidate();
}

Label::Label(Control* parent, std::string name)
    : Control(parent, ControlKind::Label, std::move(name)) {
  SetTabStop(false);
}

void Label::SetTextAlignment(TextAlign alignment) {
  if (alignment_ == alignment) return;
  alignment_ = alignment;
  Changed(Property::State);
}

void Label::SetTransparent(bool transparent) {
  if (transparent_ == transparent) return;
  transparent_ = transparent;
  Invalidate();
}

Edit::Edit(Control* parent, std::string name)
    : Control(parent, ControlKind::Edit, std::move(name)) {
  SetColor(colors::kWhite);
}

void Edit::SetText(const std::string& text) {
  std::string limited = maxLength_ > 0 && static_cast<int>(text.size()) > maxLength_
                            ? text.substr(0, static_cast<size_t>(maxLength_))
                            : text;
  if (limited == Text()) return;
  SetCaption(limited);
  selStart_ = static_cast<int>(limited.size());
  selLength_ = 0;
  if (OnChange) OnChange();
}

void Edit::SetSelection(int start, int length) {
  int size = static_cast<int>(Text().size());
  start = std::clamp(start, 0, size);
  length = std::clamp(length, 0, size - start);
  if (start == selStart_ && length == selLength_) return;
  selStart_ = start;
  selLength_ = length;
  Changed(Property::State);
}

void Edit::SetMaxLength(int maxLength) {
  maxLength_ = std::max(0, maxLength);
  Changed(Property::State);
}

void Edit::SetPasswordChar(char c) {
  if (passwordChar_ == c) return;
  passwordChar_ = c;
  Changed(Property::State);
}

void Edit::SetReadOnly(bool readOnly) {
  if (readOnly_ == readOnly) return;
  readOnly_ = readOnly;
  Changed(Property::State);
}

void Edit::NoteText(const std::string& text) {
  if (text == Text()) return;
  NoteCaption(text);
  int size = static_cast<int>(text.size());
  selStart_ = std::min(selStart_, size);
  selLength_ = std::min(selLength_, size - selStart_);
  if (OnChange) OnChange();
}

void Edit::NoteSelection(int start, int length) {
  int size = static_cast<int>(Text().size());
  selStart_ = std::clamp(start, 0, size);
  selLength_ = std::clamp(length, 0, size - selStart_);
}

CheckBox::CheckBox(Control* parent, std::string name)
    : Control(parent, ControlKind::CheckBox, std::move(name)) {}

void CheckBox::SetChecked(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  Changed(Property::State);
}

void CheckBox::NoteChecked(bool checked) {
  checked_ = checked;
  HandleClick();
}

RadioButton::RadioButton(Control* parent, std::string name, int group)
    : Control(parent, ControlKind::RadioButton, std::move(name)), group_(group) {
  // The peer was made before the group was known: let it place the group's start now.
  Changed(Property::State);
}

std::vector<RadioButton*> RadioButton::GroupMembers() const {
  std::vector<RadioButton*> members;
  bool listed = false;
  if (Parent() != nullptr) {
    for (const auto& child : Parent()->Children()) {
      if (child->Kind() != ControlKind::RadioButton) continue;
      auto* radio = static_cast<RadioButton*>(child.get());
      if (radio->group_ != group_) continue;
      members.push_back(radio);
      listed = listed || radio == this;
    }
  }
  // While it is being constructed, a button is not among its parent's children yet.
  if (!listed) members.push_back(const_cast<RadioButton*>(this));
  return members;
}

bool RadioButton::FirstInGroup() const { return GroupMembers().front() == this; }

bool RadioButton::TakesTab() const {
  if (checked_) return true;
  for (const RadioButton* member : GroupMembers()) {
    if (member->checked_ && member->CanFocus()) return false;
  }
  return true;
}

void RadioButton::SetChecked(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  Changed(Property::State);
  if (!checked) return;
  for (RadioButton* member : GroupMembers()) {
    if (member != this) member->SetChecked(false);
  }
}

void RadioButton::NoteChecked() {
  if (checked_) return;
  SetChecked(true);
  HandleClick();
}

void RadioButton::HandleKeyDown(int& key, ShiftState shift) {
  Control::HandleKeyDown(key, shift);
  const bool back = key == keys::kUp || key == keys::kLeft;
  const bool ahead = key == keys::kDown || key == keys::kRight;
  if ((!back && !ahead) || shift.ctrl || shift.alt) return;
  key = 0;
  const std::vector<RadioButton*> members = GroupMembers();
  const auto count = static_cast<int>(members.size());
  const auto at =
      static_cast<int>(std::find(members.begin(), members.end(), this) - members.begin());
  for (int step = 1; step < count; ++step) {
    RadioButton* next = members[static_cast<size_t>((at + (back ? count - step : step)) % count)];
    if (!next->CanFocus()) continue;
    next->SetFocus();
    next->NoteChecked();
    return;
  }
}

Button::Button(Control* parent, std::string name)
    : Control(parent, ControlKind::Button, std::move(name)) {}

void Button::SetGlyph(Image glyph) {
  if (glyph == glyph_) return;
  glyph_ = std::move(glyph);
  Changed(Property::State);
}

}  // namespace ui
