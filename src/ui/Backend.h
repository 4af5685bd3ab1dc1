#pragma once
// What a backend provides besides control peers: timers, hot keys, the common dialogs,
// screen facts and the screen cursor. Exactly one backend is current in a process: the
// build's default (Win32 on Windows, headless elsewhere) unless a program or test installs
// another before it makes its first control.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/ControlPeer.h"
#include "ui/Cursor.h"
#include "ui/DialogLayout.h"
#include "ui/Dialogs.h"
#include "ui/Keys.h"

namespace ui {

class Control;
class Form;
struct FieldDialog;
class Timer;
class HotKeyManager;

class TimerPeer {
 public:
  virtual ~TimerPeer() = default;
  // (Re)starts the period; the backend calls Timer::Fire every `intervalMs`.
  virtual void Start(uint32_t intervalMs) = 0;
  virtual void Stop() = 0;
};

// Global atoms and system-wide hot keys, as the hot-key manager uses them.
class HotKeyPeer {
 public:
  virtual ~HotKeyPeer() = default;
  // The atom of `name`, created or referenced once more; 0 on failure.
  virtual uint32_t AddAtom(const std::string& name) = 0;
  virtual void DeleteAtom(uint32_t atom) = 0;
  // Registers the key combination under `id`; false when another owner holds it.
  virtual bool Register(uint32_t id, Shortcut code) = 0;
  virtual void Unregister(uint32_t id) = 0;
};

class Backend {
 public:
  virtual ~Backend() = default;

  virtual std::unique_ptr<ControlPeer> CreatePeer(Control& control) = 0;
  virtual std::unique_ptr<TimerPeer> CreateTimerPeer(Timer& timer) = 0;
  virtual std::unique_ptr<HotKeyPeer> CreateHotKeyPeer(HotKeyManager& manager) = 0;

  // Modal dialogs; `owner` may be nullptr. True (or the button) when the user confirmed.
  virtual bool RunFileDialog(FileDialog& dialog, Form* owner) = 0;
  virtual bool RunColorDialog(ColorDialog& dialog, Form* owner) = 0;
  virtual bool RunFontDialog(FontDialog& dialog, Form* owner) = 0;
  virtual DialogButton RunMessageBox(const MessageBoxSpec& spec, Form* owner) = 0;
  virtual bool RunInputBox(InputBox& box, Form* owner) = 0;
  // A dialog from a layout description (DialogLayout.h); `owner` is a window handle, 0 for
  // the desktop.
  virtual DialogButton RunLayoutDialog(const DialogLayout& layout, DialogHandler& handler,
                                       uintptr_t owner) = 0;
  // The caption of the button that ended the dialog (see FieldDialog.h).
  virtual std::string RunFieldDialog(FieldDialog& dialog, Form* owner) = 0;
  // True while one of the modal dialogs above runs (re-entrancy checks ask this).
  virtual bool InModalDialog() const = 0;

  // Font family names the screen offers, sorted, without duplicates.
  virtual std::vector<std::string> ScreenFonts() = 0;
  // Shape of the cursor over every window of the process (Default: each control's own).
  virtual void SetScreenCursor(CursorShape shape) = 0;
  virtual CursorShape ScreenCursor() const = 0;
  // Width of a vertical scroll bar and height of a horizontal one, in pixels.
  virtual int ScrollBarSize() const = 0;
};

// The current backend; the build's default on first use.
Backend& CurrentBackend();
// Installs another backend (not owned) or, with nullptr, returns to the default. Only
// while no control, timer or hot-key manager exists.
void SetBackend(Backend* backend);
// The build's default backend (defined by exactly one backend folder).
Backend& DefaultBackend();

// Shows `shape` over the whole process for the object's lifetime (the hourglass of a long
// load), then restores what was shown before, on every path.
class ScopedScreenCursor {
 public:
  explicit ScopedScreenCursor(CursorShape shape);
  ~ScopedScreenCursor();
  ScopedScreenCursor(const ScopedScreenCursor&) = delete;
  ScopedScreenCursor& operator=(const ScopedScreenCursor&) = delete;

 private:
  CursorShape previous_;
};

}  // namespace ui
