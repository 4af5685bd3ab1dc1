#include "ui/ComboBox.h"

namespace ui {

ComboBox::ComboBox(Control* parent, std::string name, ComboStyle style)
    : Control(parent, ControlKind::ComboBox, std::move(name)), style_(style) {
  SetColor(colors::kWhite);
  Changed(Property::State);
}

void ComboBox::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  Changed(Property::Items);
  itemIndex_ = IndexOf(Text());
  if (style_ == ComboStyle::DropDownList && itemIndex_ < 0) NoteCaption("");
  Changed(Property::State);
}

int ComboBox::IndexOf(const std::string& text) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i] == text) return static_cast<int>(i);
  }
  return -1;
}

void ComboBox::SetItemIndex(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size())) index = -1;
  itemIndex_ = index;
  NoteCaption(index >= 0 ? items_[static_cast<size_t>(index)] : std::string());
  Changed(Property::State);
}

void ComboBox::SetText(const std::string& text) {
  int index = IndexOf(text);
  if (style_ == ComboStyle::DropDownList) {
    SetItemIndex(index);
    return;
  }
  itemIndex_ = index;
  NoteCaption(text);
  Changed(Property::Caption);
}

void ComboBox::SetDroppedDown(bool on) {
  if (droppedDown_ == on) return;
  droppedDown_ = on;
  Changed(Property::State);
}

void ComboBox::NoteItemChosen(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size())) return;
  itemIndex_ = index;
  NoteCaption(items_[static_cast<size_t>(index)]);
  droppedDown_ = false;
  if (OnChange) OnChange();
}

void ComboBox::NoteTextEdited(const std::string& text) {
  if (style_ == ComboStyle::DropDownList || text == Text()) return;
  NoteCaption(text);
  itemIndex_ = IndexOf(text);
  if (OnChange) OnChange();
}

}  // namespace ui
