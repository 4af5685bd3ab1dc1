#pragma once
// The simple controls: panel, label, single-line edit, check box, radio button and push
// button. Their text is the control's caption.
#include <functional>
#include <string>
#include <vector>

#include "ui/Control.h"
#include "ui/Image.h"

namespace ui {

enum class Bevel { None, Raised, Lowered };
enum class TextAlign { Left, Center, Right };

class Panel : public Control {
 public:
  Panel(Control* parent, std::string name);
  Bevel BevelOuter() const { return bevel_; }
  void SetBevelOuter(Bevel bevel);
  TextAlign Alignment() const { return alignment_; }
  void SetTextAlignment(TextAlign alignment);
  void Paint(Canvas& canvas) override;

 private:
  Bevel bevel_ = Bevel::Raised;
  TextAlign alignment_ = TextAlign::Center;
};

class Label : public Control {
 public:
  Label(Control* parent, std::string name);
  TextAlign Alignment() const { return alignment_; }
  void SetTextAlignment(TextAlign alignment);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent);
  void Paint(Canvas& canvas) override;

 private:
  TextAlign alignment_ = TextAlign::Left;
  bool transparent_ = true;
};

// A single-line edit box. The selection is a caret position and a length in bytes; the
// backend that edits the text (natively, or the headless editing rules) reports changes
// through NoteText and NoteSelection.
class Edit : public Control {
 public:
  Edit(Control* parent, std::string name);
  const std::string& Text() const { return Caption(); }
  // Programmatic change: caret to the end, OnChange once (as a native edit reports a
  // changed text however it changed).
  void SetText(const std::string& text);
  int SelStart() const { return selStart_; }
  int SelLength() const { return selLength_; }
  void SetSelection(int start, int length);
  int MaxLength() const { return maxLength_; }  // 0: no limit
  void SetMaxLength(int maxLength);
  char PasswordChar() const { return passwordChar_; }  // 0: plain text
  void SetPasswordChar(char c);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);
  void Paint(Canvas& canvas) override;

  void NoteText(const std::string& text);
  void NoteSelection(int start, int length);

  std::function<void()> OnChange;

 private:
  int selStart_ = 0;
  int selLength_ = 0;
  int maxLength_ = 0;
  char passwordChar_ = 0;
  bool readOnly_ = false;
};

class CheckBox : public Control {
 public:
  CheckBox(Control* parent, std::string name);
  bool Checked() const { return checked_; }
  // Programmatic change: no OnClick.
  void SetChecked(bool checked);
  void Paint(Canvas& canvas) override;
  // The user toggled the box: state, then OnClick.
  void NoteChecked(bool checked);

 private:
  bool checked_ = false;
};

// One choice of a group: checking a radio button unchecks the other members of its group.
// A group is the radio buttons of one parent with the same group number, in creation order
// (Win32 marks the first of each with WS_GROUP). Up and Left move to the previous member,
// Down and Right to the next (wrapping), focusing and checking it as a dialog does; Tab enters
// a group at its checked member only.
class RadioButton : public Control {
 public:
  RadioButton(Control* parent, std::string name, int group = 0);
  int Group() const { return group_; }
  bool Checked() const { return checked_; }
  // Programmatic change: checking unchecks the rest of the group. No OnClick.
  void SetChecked(bool checked);
  // The user chose this button (click, space, arrow key): it becomes the group's checked one
  // and OnClick follows; choosing the button already checked changes nothing and raises
  // nothing, as a native radio button reports no change.
  void NoteChecked();
  // The members of this button's group, in creation order (this one included).
  std::vector<RadioButton*> GroupMembers() const;
  // The first member (Win32 starts a native group there).
  bool FirstInGroup() const;
  // Tab stops here: this member is checked, or no member of its group is.
  bool TakesTab() const;
  void HandleKeyDown(int& key, ShiftState shift) override;
  void Paint(Canvas& canvas) override;

 private:
  int group_;
  bool checked_ = false;
};

class Button : public Control {
 public:
  Button(Control* parent, std::string name);
  // Enter in the form presses the default button, Escape the cancel button (dialogs).
  bool IsDefault() const { return default_; }
  void SetDefault(bool on) { default_ = on; }
  bool IsCancel() const { return cancel_; }
  void SetCancel(bool on) { cancel_ = on; }
  // A picture shown centred instead of the caption (an empty image shows the caption again).
  // The caption stays the button's name for answers and accessibility. A disabled button
  // shows its glyph greyed.
  const Image& Glyph() const { return glyph_; }
  void SetGlyph(Image glyph);
  void Paint(Canvas& canvas) override;

 private:
  bool default_ = false;
  bool cancel_ = false;
  Image glyph_;
};

}  // namespace ui
