#pragma once
// The portable window system as one instance per process.
//
// The substitute host and the plug-in are separate modules, and each links its own static
// copy of this layer. Windows, their owners' input drivers and the dialog answers must be
// shared between them, so the executable exports one C function,
//     const SSWindowSystemV1* ssWindowSystemV1(void);
// (nbhost defines it in a file of its own and links with exported symbols), and every
// copy of this layer asks the process for it with dlsym(RTLD_DEFAULT, ...) once, on first
// use. When the executable exports none (unit tests, other programs), each copy keeps its
// own instance, which is then the process's only one that matters.
//
// Protocol (version 1). Only plain C types cross: integers, zero-terminated texts the
// callee copies before returning, and function pointers. Texts handed out go through a
// sink callback called before the function returns, so nothing allocated by one module is
// freed by another. Handles are numbers from 0x10000 upwards; every entry point looks a
// handle up before using it, so a stale or invented handle fails cleanly (0 or -1).
// A driver's functions belong to the module that set them: that module must clear its
// driver (or destroy its windows) before it is unloaded.
#include <cstddef>
#include <cstdint>

extern "C" {

enum SSInputKind : uint32_t {
  SS_INPUT_CLICK = 1,         // x1, y1: window coordinates
  SS_INPUT_DOUBLE_CLICK = 2,  // x1, y1
  SS_INPUT_DRAG = 3,          // x1, y1 to x2, y2, left button
  SS_INPUT_KEY = 4,           // text: a shortcut name such as "Ctrl+Right"; x1 = 1: no
                              // window has the focus, only a hot key may take it
                              // (SS_OK when one did, SS_FAILED when none did)
  SS_INPUT_TEXT = 5,          // text: characters typed
  SS_INPUT_MESSAGE = 6,       // x1: a private message of the owner (0x400 and up), x2: lParam
  SS_INPUT_ACTIVATE = 7,      // x1: 1 the top-level window became active, 0 another one did
};

struct SSInputEvent {
  uint32_t kind;
  int32_t x1, y1, x2, y2;
  const char* text;
};

// Result codes of the driver and of send_input.
enum : int32_t {
  SS_OK = 0,
  SS_NO_WINDOW = -1,  // the handle names no window
  SS_NO_DRIVER = -2,  // the window has no input driver
  SS_BAD_INPUT = -3,  // the driver did not understand the event (unknown key name)
  SS_FAILED = -4,     // the driver failed (a handler threw, a file could not be written)
};

struct SSWindowDriver {
  uint32_t size;  // sizeof(SSWindowDriver)
  int32_t (*input)(void* context, const SSInputEvent* event);
  int32_t (*snapshot)(void* context, const char* path);
};

struct SSWindowGeometry {
  uintptr_t parent;
  int32_t x, y, width, height;
};

typedef void (*SSAnswerSink)(void* context, const char* button, const char* value);
typedef void (*SSTextSink)(void* context, const char* text);

struct SSWindowSystemV1 {
  uint32_t version;  // 1
  uint32_t size;     // sizeof(SSWindowSystemV1)

  // 0 when the size is negative or the parent (when not 0) names no window.
  uintptr_t (*create_window)(uintptr_t parent, const char* name, int32_t x, int32_t y,
                             int32_t width, int32_t height);
  // Also forgets the window's children (their owners destroy them on their own).
  void (*destroy_window)(uintptr_t handle);
  int32_t (*get_geometry)(uintptr_t handle, SSWindowGeometry* out);  // 1 found, 0 not
  int32_t (*set_geometry)(uintptr_t handle, int32_t x, int32_t y, int32_t width, int32_t height);
  // The window's direct children in creation order; returns their count, writes at most
  // `capacity`.
  size_t (*children)(uintptr_t parent, uintptr_t* out, size_t capacity);

  // Input drivers: the owner of a window takes its injected input and snapshots.
  int32_t (*set_driver)(uintptr_t handle, const SSWindowDriver* driver, void* context);
  int32_t (*send_input)(uintptr_t handle, const SSInputEvent* event);
  int32_t (*snapshot)(uintptr_t handle, const char* path);
  // The window that has the keyboard focus (0: none); keys and text go there.
  void (*set_focus_window)(uintptr_t handle);
  uintptr_t (*focus_window)(void);

  // The answers of the next modal dialogs, first in first out.
  void (*push_answer)(const char* button, const char* value);
  // 1 and the answer through the sink, or 0 when the queue is empty.
  int32_t (*pop_answer)(SSAnswerSink sink, void* context);
  size_t (*pending_answers)(void);
  // Every modal dialog shown, one line each, in order.
  void (*note_dialog)(const char* line);
  size_t (*dialog_log)(SSTextSink sink, void* context);
};

// This module's own instance.
const SSWindowSystemV1* ssWindowSystemV1Local(void);

}  // extern "C"

namespace platform {

// The process's instance: the executable's when it exports one, else this module's.
const SSWindowSystemV1& WindowSystem();

}  // namespace platform
