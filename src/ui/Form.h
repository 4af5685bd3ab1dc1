#pragma once
// A form: the root of a control tree, shown borderless as a child of a foreign window (the
// host rectangle's window) or, with parent 0, on its own (tests, the headless backend).
//
// The form is where input is routed: it knows the focused control, the control holding
// the mouse capture and its command lists, and dispatches shortcuts before the focused
// control sees a key. Invariant: focus and capture name live, showing, enabled controls of
// this form or nothing; a control that dies, hides or is disabled loses both.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Control.h"

namespace ui {

class CommandList;

class Button;

class Form : public Control {
 public:
  Form(uintptr_t parentWindow, std::string name);
  ~Form() override;

  uintptr_t ParentWindow() const { return ForeignParent(); }

  Control* ActiveControl() const { return focus_; }
  Control* CaptureControl() const { return capture_; }
  // Keyboard focus is in this form (one of its controls has it).
  bool HasFocus() const { return focus_ != nullptr; }

  // Command lists belong to the form; controls linked to their commands die first.
  CommandList& AddCommandList(const std::string& name);
  const std::vector<std::unique_ptr<CommandList>>& CommandLists() const { return commandLists_; }
  // Runs the enabled command with this shortcut; true when one ran.
  bool DispatchShortcut(Shortcut code);

  // Focus moves to the next (or previous) focusable tab stop after the focused control,
  // in tree order, wrapping around.
  void SelectNext(bool forward);
  // Every focusable tab stop of the form in tree order.
  std::vector<Control*> TabOrder();

  // Keys reach the form's OnKeyDown and OnKeyPress before the focused control when set.
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool on) { keyPreview_ = on; }

  // The key path every backend uses for a key-down delivered to `target`: shortcuts,
  // the form's preview, then the control. Returns the key left unconsumed (0 if consumed).
  int RouteKeyDown(Control* target, int key, ShiftState shift);
  // The same for a character; Tab and Shift+Tab navigation are handled in RouteKeyDown.
  char RouteKeyPress(Control* target, char c);
  // The showing, enabled button that Enter (`wantDefault`) or Escape presses in this form, as
  // a dialog's default and cancel buttons; nullptr when there is none.
  Button* ExitButton(bool wantDefault);
  // Enter or Escape left unconsumed by the routing presses the exit button, unless `target`
  // takes those keys itself (a custom control); true when a button was pressed.
  bool PressExitButton(Control* target, int key);

  // Private messages the foreign owner sends to the form's own window (a host asks its
  // rectangle's child window to fill the rectangle, say). Backends pass every message of
  // the user range (0x400 and up) that no control claims; true when the handler took it.
  std::function<bool(uint32_t message, intptr_t lParam)> OnForeignMessage;
  bool DeliverForeignMessage(uint32_t message, intptr_t lParam);

  // Whether the top-level window the form sits in is the active window of the desktop.
  // Backends report it at creation and on every change; OnActivation hears only changes.
  bool Active() const { return active_; }
  std::function<void(bool active)> OnActivation;

  // Backend notifications.
  void NoteActivation(bool active);
  void NoteFocus(Control* control);  // nullptr: the focus left the form
  void NoteCapture(Control* control);
  void ControlDestroyed(Control* control);
  void ControlHidden(Control* control);

  void Paint(Canvas& canvas) override;

 private:
  Control* focus_ = nullptr;
  Control* capture_ = nullptr;
  bool keyPreview_ = false;
  bool active_ = true;
  std::vector<std::unique_ptr<CommandList>> commandLists_;
};

}  // namespace ui
