#pragma once
// A combo box: a list of items and a text. DropDown boxes have an editable text (the size
// box); DropDownList boxes show only items (ItemIndex -1 shows nothing). The text and the
// item index stay consistent: the index is the item equal to the text, or -1.
#include <functional>
#include <string>
#include <vector>

#include "ui/Control.h"

namespace ui {

enum class ComboStyle { DropDown, DropDownList };

class ComboBox : public Control {
 public:
  ComboBox(Control* parent, std::string name, ComboStyle style = ComboStyle::DropDown);

  ComboStyle Style() const { return style_; }
  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(std::vector<std::string> items);
  int ItemIndex() const { return itemIndex_; }
  // Programmatic: selects the item (or nothing for -1, or an index out of range). No OnChange.
  void SetItemIndex(int index);
  const std::string& Text() const { return Caption(); }
  // Programmatic: in a DropDownList only an item's text is taken. No OnChange.
  void SetText(const std::string& text);
  int IndexOf(const std::string& text) const;
  bool DroppedDown() const { return droppedDown_; }
  void SetDroppedDown(bool on);
  void Paint(Canvas& canvas) override;

  // The user chose an item from the list (text follows) or edited the text (index follows).
  void NoteItemChosen(int index);
  void NoteTextEdited(const std::string& text);

  std::function<void()> OnChange;

 private:
  ComboStyle style_;
  std::vector<std::string> items_;
  int itemIndex_ = -1;
  bool droppedDown_ = false;
};

}  // namespace ui
