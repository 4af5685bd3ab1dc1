#include "ui/headless/HeadlessInput.h"

#include <algorithm>
#include <cstdlib>

#include "ui/BasicControls.h"
#include "ui/Image.h"
#include "ui/ListBox.h"
#include "ui/TabControl.h"
#include "ui/ToolBar.h"
#include "ui/headless/FormRenderer.h"
#include "ui/headless/HeadlessBackend.h"

namespace ui::headless {

namespace {

Control* Deepest(Control& control, Point p) {
  const auto& children = control.Children();
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    Control& child = **it;
    if (!child.Visible() || !child.Bounds().Contains(p)) continue;
    Point inner{p.x - child.Bounds().left, p.y - child.Bounds().top};
    return Deepest(child, inner);
  }
  return &control;
}

MouseEvent EventAt(Control& target, Point formPoint, MouseButton button, ShiftState shift) {
  MouseEvent event;
  event.button = button;
  event.shift = shift;
  event.pos = target.FromForm(formPoint);
  return event;
}

Form* TargetForm(Form* form) {
  return form != nullptr ? form : HeadlessBackend::Instance().FocusedForm();
}

Control* FocusTarget(Form& form) {
  Control* target = form.ActiveControl();
  return target != nullptr ? target : &form;
}

// Controls that may take the mouse: showing and enabled (a disabled control's clicks go
// nowhere, as on the real systems).
bool TakesMouse(Control& control) { return control.Showing() && control.EffectivelyEnabled(); }

// The last pressed control and button, for click detection.
Control* pressedControl = nullptr;

// The character a key makes when no modifier but Shift is held.
char CharOfKey(int key, ShiftState shift) {
  if (shift.ctrl || shift.alt) return 0;
  if (key >= 'A' && key <= 'Z') return static_cast<char>(shift.shift ? key : key - 'A' + 'a');
  if (key >= '0' && key <= '9' && !shift.shift) return static_cast<char>(key);
  switch (key) {
    case keys::kSpace:
      return ' ';
    case keys::kEnter:
      return '\r';
    case keys::kEscape:
      return 27;
    case keys::kBackspace:
      return 8;
    case keys::kTab:
      return 9;
    default:
      return 0;
  }
}

// Text editing of an edit box or an editable combo box: caret, selection, insertion.
struct EditState {
  std::string text;
  int start;
  int length;
};

// Shift with Left, Right, Home and End extends the selection; the caret is taken to sit at
// the end the key moves (the selection's start for Left and Home, its end otherwise).
void ApplyEditKey(EditState& s, int key, ShiftState shift) {
  int size = static_cast<int>(s.text.size());
  if (shift.shift) {
    switch (key) {
      case keys::kLeft:
        if (s.start > 0) {
          --s.start;
          ++s.length;
        }
        return;
      case keys::kRight:
        if (s.start + s.length < size) ++s.length;
        return;
      case keys::kHome:
        s.length += s.start;
        s.start = 0;
        return;
      case keys::kEnd:
        s.length = size - s.start;
        return;
      default:
        break;
    }
  }
  switch (key) {
    case keys::kLeft:
      if (s.length > 0) {
        s.length = 0;
      } else if (s.start > 0) {
        --s.start;
      }
      break;
    case keys::kRight:
      if (s.length > 0) {
        s.start += s.length;
        s.length = 0;
      } else if (s.start < size) {
        ++s.start;
      }
      break;
    case keys::kHome:
      s.start = 0;
      s.length = 0;
      break;
    case keys::kEnd:
      s.start = size;
      s.length = 0;
      break;
    case keys::kDelete:
      if (s.length > 0) {
        s.text.erase(static_cast<size_t>(s.start), static_cast<size_t>(s.length));
      } else if (s.start < size) {
        s.text.erase(static_cast<size_t>(s.start), 1);
      }
      s.length = 0;
      break;
    default:
      break;
  }
}

bool ApplyEditChar(EditState& s, char c, int maxLength) {
  if (c == 8) {
    if (s.length > 0) {
      s.text.erase(static_cast<size_t>(s.start), static_cast<size_t>(s.length));
    } else if (s.start > 0) {
      s.text.erase(static_cast<size_t>(s.start - 1), 1);
      --s.start;
    }
    s.length = 0;
    return true;
  }
  if (static_cast<unsigned char>(c) < 32) return false;
  s.text.erase(static_cast<size_t>(s.start), static_cast<size_t>(s.length));
  s.length = 0;
  if (maxLength > 0 && static_cast<int>(s.text.size()) >= maxLength) return true;
  s.text.insert(s.text.begin() + s.start, c);
  ++s.start;
  return true;
}

}  // namespace

Control& HeadlessInput::HitTest(Form& form, Point p) { return *Deepest(form, p); }

void HeadlessInput::MouseDown(Form& form, Point p, MouseButton button, ShiftState shift) {
  Control* target = form.CaptureControl();
  if (target == nullptr) target = &HitTest(form, p);
  if (!TakesMouse(*target)) return;
  HeadlessBackend::Instance().NoteFormFocused(&form);
  if (target->CanFocus() && button == MouseButton::Left) target->SetFocus();
  pressedControl = target;
  const MouseEvent event = EventAt(*target, p, button, shift);
  target->HandleMouseDown(event);
  if (button == MouseButton::Left) StandardPress(*target, event.pos);
}

void HeadlessInput::MouseMove(Form& form, Point p, ShiftState shift) {
  Control* target = form.CaptureControl();
  if (target == nullptr) target = &HitTest(form, p);
  if (!TakesMouse(*target)) return;
  target->HandleMouseMove(EventAt(*target, p, MouseButton::Left, shift));
}

void HeadlessInput::MouseUp(Form& form, Point p, MouseButton button, ShiftState shift) {
  Control* captured = form.CaptureControl();
  Control* target = captured != nullptr ? captured : &HitTest(form, p);
  if (!TakesMouse(*target)) return;
  Control* pressed = pressedControl;
  pressedControl = nullptr;
  target->HandleMouseUp(EventAt(*target, p, button, shift));
  // A click: pressed and released on the same control, the pointer still over it.
  if (button == MouseButton::Left && pressed == target && &HitTest(form, p) == target) {
    StandardClick(*target);
  }
}

void HeadlessInput::Click(Form& form, Point p, MouseButton button, ShiftState shift) {
  MouseDown(form, p, button, shift);
  MouseUp(form, p, button, shift);
}

void HeadlessInput::DoubleClick(Form& form, Point p, ShiftState shift) {
  MouseDown(form, p, MouseButton::Left, shift);
  MouseUp(form, p, MouseButton::Left, shift);
  Control* target = form.CaptureControl();
  if (target == nullptr) target = &HitTest(form, p);
  if (!TakesMouse(*target)) return;
  target->HandleDoubleClick(EventAt(*target, p, MouseButton::Left, shift));
  // The second release ends the double click; it makes no further click.
  Control* after = form.CaptureControl();
  if (after == nullptr) after = &HitTest(form, p);
  if (TakesMouse(*after)) after->HandleMouseUp(EventAt(*after, p, MouseButton::Left, shift));
}

void HeadlessInput::Drag(Form& form, Point from, Point to, ShiftState shift) {
  MouseDown(form, from, MouseButton::Left, shift);
  int steps = std::max({1, std::abs(to.x - from.x) / 8, std::abs(to.y - from.y) / 8});
  for (int i = 1; i <= steps; ++i) {
    Point p{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps};
    MouseMove(form, p, shift);
  }
  Control* captured = form.CaptureControl();
  Control* target = captured != nullptr ? captured : &HitTest(form, to);
  pressedControl = nullptr;
  if (TakesMouse(*target)) target->HandleMouseUp(EventAt(*target, to, MouseButton::Left, shift));
}

void HeadlessInput::Wheel(Form& form, Point p, int delta, ShiftState shift) {
  // The wheel goes to the focused control, as on Windows.
  Control* target = form.ActiveControl();
  if (target == nullptr) target = &HitTest(form, p);
  if (!TakesMouse(*target)) return;
  MouseEvent event = EventAt(*target, p, MouseButton::Middle, shift);
  event.wheelDelta = delta;
  target->HandleMouseWheel(event);
  // A list scrolls three rows a notch (the system's default) and keeps its choice.
  if (target->Kind() == ControlKind::ListBox) {
    auto& list = static_cast<ListBox&>(*target);
    list.SetTopIndex(list.TopIndex() - delta * 3 / 120);
  }
}

bool HeadlessInput::Key(Form* formOrNull, Shortcut code) {
  Form* form = TargetForm(formOrNull);
  if (form == nullptr) return false;
  if (HeadlessBackend::Instance().DeliverHotKey(code)) return true;
  int key = ShortcutKey(code);
  ShiftState shift = ShortcutShift(code);
  Control* target = FocusTarget(*form);
  int left = form->RouteKeyDown(target, key, shift);
  if (left == 0) return true;
  // The target may have changed (a handler moved the focus); the standard behaviour and
  // the character go to whoever has the focus now, as the next message would.
  target = FocusTarget(*form);
  StandardKeyDown(*form, target, left, shift);
  char c = CharOfKey(left, shift);
  if (c != 0) {
    char remaining = form->RouteKeyPress(target, c);
    if (remaining != 0) StandardChar(target, remaining);
  }
  int up = key;
  if (Control* now = FocusTarget(*form); now != form) now->HandleKeyUp(up, shift);
  return true;
}

bool HeadlessInput::Type(Form* formOrNull, std::string_view text) {
  Form* form = TargetForm(formOrNull);
  if (form == nullptr) return false;
  for (char c : text) {
    Control* target = FocusTarget(*form);
    char remaining = form->RouteKeyPress(target, c);
    if (remaining != 0) StandardChar(FocusTarget(*form), remaining);
  }
  return true;
}

void HeadlessInput::ChooseItem(ComboBox& combo, int index) {
  if (!combo.Showing() || !combo.EffectivelyEnabled()) return;
  combo.NoteItemChosen(index);
}

void HeadlessInput::Scroll(CustomControl& control, ScrollBarKind kind, ScrollCode code,
                           int32_t position) {
  if (!control.Showing() || !control.EffectivelyEnabled() || !control.ScrollBar(kind).visible)
    return;
  control.HandleScroll(kind, code, position);
}

void HeadlessInput::StandardClick(Control& control) {
  switch (control.Kind()) {
    case ControlKind::CheckBox: {
      auto& box = static_cast<CheckBox&>(control);
      box.NoteChecked(!box.Checked());
      break;
    }
    case ControlKind::RadioButton:
      static_cast<RadioButton&>(control).NoteChecked();
      break;
    case ControlKind::ComboBox: {
      auto& combo = static_cast<ComboBox&>(control);
      combo.SetDroppedDown(!combo.DroppedDown());
      break;
    }
    case ControlKind::ToolBar:  // the toolbar clicks its buttons itself
      break;
    default:
      control.HandleClick();
      break;
  }
}

void HeadlessInput::StandardPress(Control& control, Point p) {
  // What the native controls do on the press itself (not on the click).
  if (control.Kind() == ControlKind::TabControl) {
    auto& tabs = static_cast<TabControl&>(control);
    tabs.NoteTabChosen(tabs.TabAt(p));
  } else if (control.Kind() == ControlKind::ListBox) {
    auto& list = static_cast<ListBox&>(control);
    const int top = list.ScrollTarget(p);
    if (top >= 0) {
      list.SetTopIndex(top);
    } else {
      list.NoteItemChosen(list.ItemAt(p));
    }
  }
}

void HeadlessInput::StandardKeyDown(Form& form, Control* target, int key, ShiftState shift) {
  if (target == nullptr) return;
  switch (target->Kind()) {
    case ControlKind::TabControl: {
      // Left and Right move along the strip and stop at its ends.
      auto& tabs = static_cast<TabControl&>(*target);
      if ((key == keys::kLeft || key == keys::kRight) && !shift.ctrl && !shift.alt) {
        tabs.NoteTabChosen(tabs.TabIndex() + (key == keys::kRight ? 1 : -1));
        return;
      }
      break;
    }
    case ControlKind::ListBox: {
      auto& list = static_cast<ListBox&>(*target);
      const int chosen = shift.ctrl || shift.alt ? -2 : list.KeyTarget(key);
      if (chosen != -2) {
        list.NoteItemChosen(chosen);
        return;
      }
      break;
    }
    case ControlKind::Edit: {
      auto& edit = static_cast<Edit&>(*target);
      EditState s{edit.Text(), edit.SelStart(), edit.SelLength()};
      ApplyEditKey(s, key, shift);
      if (edit.ReadOnly()) s.text = edit.Text();
      edit.NoteSelection(s.start, s.length);
      if (s.text != edit.Text()) {
        edit.NoteText(s.text);
        edit.NoteSelection(s.start, 0);
      }
      break;
    }
    case ControlKind::ComboBox: {
      auto& combo = static_cast<ComboBox&>(*target);
      if (key == keys::kDown || key == keys::kUp) {
        int count = static_cast<int>(combo.Items().size());
        if (count == 0) break;
        int index = combo.ItemIndex();
        index = key == keys::kDown ? std::min(count - 1, index + 1) : std::max(0, index - 1);
        if (index != combo.ItemIndex()) combo.NoteItemChosen(index);
      } else if (key == keys::kEscape || key == keys::kEnter) {
        combo.SetDroppedDown(false);
      } else if (key == keys::kDelete && combo.Style() == ComboStyle::DropDown) {
        EditState s{combo.Text(), static_cast<int>(combo.Text().size()), 0};
        ApplyEditKey(s, key, shift);
        combo.NoteTextEdited(s.text);
      }
      break;
    }
    case ControlKind::Button:
      // A focused push button is the one Enter presses, as in a dialog.
      if (key == keys::kSpace || key == keys::kEnter) {
        StandardClick(*target);
        return;
      }
      break;
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
      if (key == keys::kSpace) {
        StandardClick(*target);
        return;
      }
      break;
    default:
      break;
  }
  form.PressExitButton(target, key);
}

void HeadlessInput::StandardChar(Control* target, char c) {
  if (target == nullptr) return;
  if (target->Kind() == ControlKind::Edit) {
    auto& edit = static_cast<Edit&>(*target);
    if (edit.ReadOnly()) return;
    EditState s{edit.Text(), edit.SelStart(), edit.SelLength()};
    if (!ApplyEditChar(s, c, edit.MaxLength())) return;
    edit.NoteText(s.text);
    edit.NoteSelection(s.start, 0);
  } else if (target->Kind() == ControlKind::ComboBox) {
    auto& combo = static_cast<ComboBox&>(*target);
    if (combo.Style() != ComboStyle::DropDown) return;
    // The caret of a combo box's edit stays at the end of its text here.
    EditState s{combo.Text(), static_cast<int>(combo.Text().size()), 0};
    if (!ApplyEditChar(s, c, 0)) return;
    combo.NoteTextEdited(s.text);
  }
}

int32_t HeadlessInput::Deliver(Form& form, const SSInputEvent& event) {
  switch (event.kind) {
    case SS_INPUT_CLICK:
      Click(form, Point{event.x1, event.y1});
      return SS_OK;
    case SS_INPUT_DOUBLE_CLICK:
      DoubleClick(form, Point{event.x1, event.y1});
      return SS_OK;
    case SS_INPUT_DRAG:
      Drag(form, Point{event.x1, event.y1}, Point{event.x2, event.y2});
      return SS_OK;
    case SS_INPUT_KEY: {
      std::optional<Shortcut> code = ParseShortcut(event.text != nullptr ? event.text : "");
      if (!code) return SS_BAD_INPUT;
      // The host has the focus: only the process's system-wide hot keys hear the key.
      if (event.x1 == 1)
        return HeadlessBackend::Instance().DeliverHotKey(*code) ? SS_OK : SS_FAILED;
      return Key(&form, *code) ? SS_OK : SS_FAILED;
    }
    case SS_INPUT_TEXT:
      return Type(&form, event.text != nullptr ? event.text : "") ? SS_OK : SS_FAILED;
    case SS_INPUT_MESSAGE:
      if (event.x1 < 0x400) return SS_BAD_INPUT;
      return form.DeliverForeignMessage(static_cast<uint32_t>(event.x1), event.x2) ? SS_OK
                                                                                   : SS_BAD_INPUT;
    case SS_INPUT_ACTIVATE:
      form.NoteActivation(event.x1 != 0);
      return SS_OK;
    default:
      return SS_BAD_INPUT;
  }
}

bool HeadlessInput::Snapshot(Form& form, const char* path) {
  Image image = FormRenderer::Render(form);
  return WritePng(image, path);
}

}  // namespace ui::headless
