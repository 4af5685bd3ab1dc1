#pragma once
// The seam between a control and its backend. A control keeps its whole state itself; its
// peer mirrors that state into whatever shows it (a native window on Win32, nothing but the
// control tree in the headless backend) and reports what the user did back through the
// control's Note* methods. Every control has exactly one peer from construction to
// destruction; the peer never outlives its control and never owns it.
#include <cstdint>

#include "ui/Geometry.h"

namespace ui {

enum class Property {
  Bounds,
  Visible,
  Enabled,
  Caption,  // caption or text
  Color,
  Font,
  Cursor,
  State,   // checked, down, item index, read-only: the kind-specific value
  Items,   // the item list of a combo box or the buttons of a toolbar
  Scroll,  // scroll bar ranges and positions
};

class ControlPeer {
 public:
  virtual ~ControlPeer() = default;
  // The program changed `what`; the peer brings the display in line.
  virtual void Changed(Property what) = 0;
  // Repaint `area` (control coordinates) or, for nullptr, the whole control, soon.
  virtual void Invalidate(const Rect* area) = 0;
  // Move the keyboard focus here; the backend answers with Form::NoteFocus.
  virtual void Focus() = 0;
  // Take or release the mouse: while captured, every mouse event goes to this control.
  virtual void Capture(bool on) = 0;
  // A form's peer is made while the form is still being constructed: the form calls
  // FormReady when its own members exist and FormGoing before they are destroyed, so a peer
  // reports form state (activation) only between the two.
  virtual void FormReady() {}
  virtual void FormGoing() {}
  // The native window handle, 0 where the backend has none.
  virtual uintptr_t NativeHandle() const = 0;
};

}  // namespace ui
