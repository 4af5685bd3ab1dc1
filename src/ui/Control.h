#pragma once
// The base of every control: a node of the control tree with its full state (bounds,
// alignment, visibility, enabled state, caption, colour, font, cursor), its events and
// the entry points through which a backend delivers input.
//
// Ownership: a parent owns its children (`Add` creates them in place); the form owns the
// whole tree. Destroying a control destroys its children first, then its peer, and tells
// the form, which forgets it as focus, capture or hover target.
//
// Two kinds of methods change state. Set* is the program: it updates the state and tells
// the peer. Note* is the backend reporting what the user did: it updates the state and
// raises the event, and never calls back into the peer (the display already shows it).
// Events are std::function members; an empty one does nothing. Handlers may throw: the
// backend's entry points catch at the window procedure or the injection call.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Canvas.h"
#include "ui/ControlPeer.h"
#include "ui/Cursor.h"
#include "ui/Geometry.h"
#include "ui/Keys.h"
#include "ui/SystemColors.h"

namespace ui {

class Form;

enum class ControlKind {
  Form,
  Panel,
  Label,
  Edit,
  CheckBox,
  RadioButton,
  Button,
  ToolBar,
  ControlBar,
  ComboBox,
  Custom,
  TabControl,
  ListBox,
};

enum class Align { None, Top, Bottom, Left, Right, Client };

enum class MouseButton { Left, Right, Middle };

struct MouseEvent {
  MouseButton button = MouseButton::Left;
  ShiftState shift;
  Point pos;           // control coordinates
  int wheelDelta = 0;  // multiples of 120 per notch, positive away from the user
};

class Control {
 public:
  Control(Control* parent, ControlKind kind, std::string name);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  // Creates a child of type T (constructed as T(this, args...)), owned by this control.
  template <typename T, typename... Args>
  T& Add(Args&&... args) {
    auto child = std::make_unique<T>(this, std::forward<Args>(args)...);
    T& result = *child;
    children_.push_back(std::move(child));
    Realign();
    return result;
  }

  ControlKind Kind() const { return kind_; }
  const std::string& Name() const { return name_; }
  Control* Parent() const { return parent_; }
  const std::vector<std::unique_ptr<Control>>& Children() const { return children_; }
  Form* OwnerForm();
  // Depth-first search of this subtree by name; nullptr when absent.
  Control* FindByName(const std::string& name);

  // Bounds in the parent's client coordinates.
  const Rect& Bounds() const { return bounds_; }
  void SetBounds(const Rect& bounds);
  int Width() const { return bounds_.Width(); }
  int Height() const { return bounds_.Height(); }
  // The area children and painting use, in control coordinates (scroll bars excluded).
  virtual Rect ClientRect() const;
  // Maps a point of this control to the form's coordinates and back.
  Point ToForm(Point p) const;
  Point FromForm(Point p) const;

  Align Alignment() const { return align_; }
  void SetAlign(Align align);
  // Lays out aligned children: top ones stacked from the top edge at full width, then
  // bottom, left and right ones, and a client one takes what remains.
  virtual void Realign();

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  // Visible, and every parent visible too.
  bool Showing() const;
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  // Enabled, and every parent enabled too.
  bool EffectivelyEnabled() const;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  const Color& BackColor() const { return color_; }
  void SetColor(const Color& color);
  const ui::Font& Font() const { return font_; }
  void SetFont(const ui::Font& font);
  CursorShape Cursor() const { return cursor_; }
  void SetCursor(CursorShape cursor);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint) { hint_ = hint; }
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool tabStop) { tabStop_ = tabStop; }

  // Keyboard focus. CanFocus: a kind that takes keys, showing and enabled.
  virtual bool CanFocus() const;
  bool Focused() const;
  void SetFocus();

  // Mouse capture: while held, every mouse event of the form goes to this control.
  void SetCapture();
  void ReleaseCapture();
  bool HasCapture() const;

  void Invalidate();
  void Invalidate(const Rect& area);

  // Draws the control's own look (not its children) in control coordinates. The headless
  // backend paints every control this way; Win32 only those without a native class.
  virtual void Paint(Canvas& canvas);

  ControlPeer& Peer() { return *peer_; }
  // The foreign window a root control lives in (0 for every other control).
  uintptr_t ForeignParent() const { return foreignParent_; }

  // Input entry points, called by the backends (never by application code).
  virtual void HandleMouseDown(const MouseEvent& event);
  virtual void HandleMouseMove(const MouseEvent& event);
  virtual void HandleMouseUp(const MouseEvent& event);
  virtual void HandleDoubleClick(const MouseEvent& event);
  virtual void HandleMouseWheel(const MouseEvent& event);
  // `key` set to 0 by a handler means the key is consumed.
  virtual void HandleKeyDown(int& key, ShiftState shift);
  virtual void HandleKeyUp(int& key, ShiftState shift);
  // `c` set to 0 by a handler means the character is consumed.
  virtual void HandleKeyPress(char& c);
  virtual void HandleClick();
  virtual void HandleEnter();
  virtual void HandleExit();

  std::function<void()> OnClick;
  std::function<void(const MouseEvent&)> OnDblClick;
  std::function<void(const MouseEvent&)> OnMouseDown;
  std::function<void(const MouseEvent&)> OnMouseMove;
  std::function<void(const MouseEvent&)> OnMouseUp;
  std::function<void(const MouseEvent&)> OnMouseWheel;
  std::function<void(int& key, ShiftState shift)> OnKeyDown;
  std::function<void(int& key, ShiftState shift)> OnKeyUp;
  std::function<void(char& c)> OnKeyPress;
  std::function<void()> OnEnter;
  std::function<void()> OnExit;
  std::function<void()> OnResize;

 protected:
  // A root control (a form) whose window is a child of a foreign window handle (0: none).
  Control(uintptr_t foreignParent, ControlKind kind, std::string name);
  // Tells the peer; subclasses call it when their own state changed.
  void Changed(Property what);
  void DestroyChildren();
  // The backend reports a caption the user edited: no peer call, no event.
  void NoteCaption(const std::string& caption) { caption_ = caption; }
  virtual void BoundsChanged() {}
  bool IsFocusableKind() const;

 private:
  ControlKind kind_;
  std::string name_;
  Control* parent_;
  std::vector<std::unique_ptr<Control>> children_;
  std::unique_ptr<ControlPeer> peer_;
  uintptr_t foreignParent_ = 0;
  Rect bounds_;
  Align align_ = Align::None;
  bool visible_ = true;
  bool enabled_ = true;
  bool tabStop_ = true;
  bool realigning_ = false;
  std::string caption_;
  Color color_ = colors::kButtonFace;
  ui::Font font_{"MS Sans Serif", 8};
  CursorShape cursor_ = CursorShape::Default;
  std::string hint_;
};

}  // namespace ui
