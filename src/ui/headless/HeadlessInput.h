#pragma once
// Input injected into headless forms, routed as a window system would route it:
//   - the mouse goes to the deepest showing control under the point (later siblings lie
//     on top), or to the control holding the capture; a press on a focusable control
//     focuses it first; a press and a release on the same control make a click, which
//     does what the standard control does (a button clicks, a check box toggles, a combo
//     box opens or closes its list); a press on a tab control's tab chooses it, on a list box's
//     row chooses the item and on its scroll bar scrolls it; the wheel scrolls a list;
//   - a double click is press, release, double click, release;
//   - keys go to the focused form's focused control: first the process's hot keys, then
//     the form's shortcuts and key preview, then the control; a key left unconsumed gets
//     the standard control's behaviour (editing keys in edits and combo boxes, Space in
//     buttons and check boxes, Left and Right along a tab strip, Up, Down, Home, End, PageUp
//     and PageDown in a list box, Enter and Escape to the form's default and cancel buttons),
//     and the character it makes (if any) follows as a key press.
// Every entry point lets handler exceptions propagate; the window system driver catches.
#include <string_view>

#include "platform/WindowChannel.h"
#include "ui/ComboBox.h"
#include "ui/CustomControl.h"
#include "ui/Form.h"

namespace ui::headless {

class HeadlessInput {
 public:
  // The deepest showing control of `form` at a form point; the form itself when none.
  static Control& HitTest(Form& form, Point p);

  static void MouseDown(Form& form, Point p, MouseButton button = MouseButton::Left,
                        ShiftState shift = {});
  static void MouseMove(Form& form, Point p, ShiftState shift = {});
  static void MouseUp(Form& form, Point p, MouseButton button = MouseButton::Left,
                      ShiftState shift = {});
  static void Click(Form& form, Point p, MouseButton button = MouseButton::Left,
                    ShiftState shift = {});
  static void DoubleClick(Form& form, Point p, ShiftState shift = {});
  // Press at `from`, moves in steps of at most 8 pixels, release at `to`.
  static void Drag(Form& form, Point from, Point to, ShiftState shift = {});
  static void Wheel(Form& form, Point p, int delta, ShiftState shift = {});

  // A key by shortcut code, to the focused control of `form` (the focused form when
  // `form` is nullptr). Returns false when there is no form to take it.
  static bool Key(Form* form, Shortcut code);
  // Characters as typed (each one a key press, no key-down).
  static bool Type(Form* form, std::string_view text);

  static void Focus(Control& control) { control.SetFocus(); }
  // The user picks an item of the combo box's list.
  static void ChooseItem(ComboBox& combo, int index);
  // The user works a scroll bar.
  static void Scroll(CustomControl& control, ScrollBarKind kind, ScrollCode code,
                     int32_t position = 0);

  // The window-system driver: one injected event (see WindowChannel.h) into a form.
  static int32_t Deliver(Form& form, const SSInputEvent& event);
  // Renders the form to a PNG file (FormRenderer); false when the file cannot be written.
  static bool Snapshot(Form& form, const char* path);

 private:
  static void StandardKeyDown(Form& form, Control* target, int key, ShiftState shift);
  static void StandardChar(Control* target, char c);
  static void StandardClick(Control& control);
  static void StandardPress(Control& control, Point p);
};

}  // namespace ui::headless
