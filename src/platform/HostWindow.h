#pragma once
// The windows a host provides: one top-level window and, inside it, one child window per
// Rectangle object of the publication. Attached spreadsheets become children of those.
//
// A window is known to the plug-in only by its handle, an integer (on Windows the HWND's
// value; elsewhere a handle from the portable window registry). The handle travels between
// host and plug-in as decimal text, so it must stay valid and unique while the window lives.
// A `HostWindow` owns its window and destroys it (and, on Windows, its children) when it
// is destroyed; a child must not outlive its parent object.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/Errors.h"

namespace platform {

using WindowHandle = uintptr_t;

struct WindowSize {
  int width = 0;
  int height = 0;
};

class HostWindow {
 public:
  virtual ~HostWindow() = default;

  // Creates the host's top-level window with a client area of `width` x `height`.
  // Throws HostWindowError.
  static std::unique_ptr<HostWindow> CreateTopLevel(const std::string& caption, int width,
                                                    int height);

  // Creates a child window of this one at client position (x, y) with size w x h; `name`
  // is the rectangle's name, kept for diagnostics. Throws HostWindowError on a negative size.
  virtual std::unique_ptr<HostWindow> CreateChild(const std::string& name, int x, int y, int w,
                                                  int h) = 0;

  // Never 0 while the window lives.
  virtual WindowHandle Handle() const = 0;

  // Client size of any live window by handle; false when the handle names no window.
  // This is how code that received a handle as text learns the size it must fill.
  static bool ClientSize(WindowHandle handle, WindowSize& size);

  // The window the user works in now (Windows: the thread's active window; portable: the
  // window with the keyboard focus, else the newest top-level window); 0 when there is none
  // or it is already gone. Dialogs of the plug-in take it as their owner.
  static WindowHandle ActiveWindow();

  // Lets the system deliver pending window messages (a no-op where there are none).
  static void ProcessMessages();
};

}  // namespace platform
