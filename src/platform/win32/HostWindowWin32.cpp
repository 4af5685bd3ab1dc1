// The host's windows as real Win32 windows: a top-level frame and plain child windows for the
// publication's rectangles. Both classes are registered once per process, on first use.
#include <windows.h>

#include "platform/HostWindow.h"
#include "platform/win32/Win32Text.h"

namespace platform {

namespace {

constexpr const char* kFrameClass = "zkSSHostFrame";
constexpr const char* kRectClass = "zkSSHostRect";

// The host's windows do nothing of their own: painting and sizing of attached spreadsheets
// belong to the spreadsheet windows inside them. Closing the frame only hides it; the owner
// of the `HostWindow` decides when it dies.
LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    ShowWindow(window, SW_HIDE);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterClasses() {
  static bool registered = false;
  if (registered) return;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  for (const char* name : {kFrameClass, kRectClass}) {
    WNDCLASSEXA cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = HostWindowProc;
    cls.hInstance = instance;
    cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = name;
    if (!RegisterClassExA(&cls) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
      throw HostWindowError("cannot register window class " + std::string(name) + ": " +
                            win32::LastErrorText());
    }
  }
  registered = true;
}

class Win32Window final : public HostWindow {
 public:
  explicit Win32Window(HWND window) : window_(window) {}
  // Destroying a window destroys its children too; a child object whose window went with
  // its parent finds the handle dead and leaves it alone.
  ~Win32Window() override {
    if (IsWindow(window_)) DestroyWindow(window_);
  }
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  std::unique_ptr<HostWindow> CreateChild(const std::string& name, int x, int y, int w,
                                          int h) override {
    if (w < 0 || h < 0) {
      throw HostWindowError("window \"" + name + "\" cannot have a negative size");
    }
    RegisterClasses();
    HWND child = CreateWindowExA(0, kRectClass, name.c_str(),
                                 WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, x, y, w,
                                 h, window_, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (child == nullptr) {
      throw HostWindowError("cannot create window \"" + name + "\": " + win32::LastErrorText());
    }
    return std::make_unique<Win32Window>(child);
  }

  WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(window_); }

 private:
  HWND window_;
};

}  // namespace

std::unique_ptr<HostWindow> HostWindow::CreateTopLevel(const std::string& caption, int width,
                                                       int height) {
  if (width < 0 || height < 0) {
    throw HostWindowError("window \"" + caption + "\" cannot have a negative size");
  }
  RegisterClasses();
  // The caller gives the client size; the frame adds its border and caption around it.
  DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  RECT bounds{0, 0, width, height};
  AdjustWindowRectEx(&bounds, style, FALSE, 0);
  HWND frame = CreateWindowExA(0, kFrameClass, caption.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                               bounds.right - bounds.left, bounds.bottom - bounds.top, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  if (frame == nullptr) {
    throw HostWindowError("cannot create window \"" + caption + "\": " + win32::LastErrorText());
  }
  // The frame stays hidden: nothing in the plug-in needs it on screen (children paint and
  // report sizes regardless), and showing a frame on a display without a window manager
  // makes the system wait seconds for it to be mapped.
  return std::make_unique<Win32Window>(frame);
}

WindowHandle HostWindow::ActiveWindow() {
  HWND active = GetActiveWindow();
  return active != nullptr && IsWindow(active) ? reinterpret_cast<WindowHandle>(active) : 0;
}

bool HostWindow::ClientSize(WindowHandle handle, WindowSize& size) {
  HWND window = reinterpret_cast<HWND>(handle);
  RECT client;
  if (handle == 0 || !IsWindow(window) || !GetClientRect(window, &client)) return false;
  size.width = client.right - client.left;
  size.height = client.bottom - client.top;
  return true;
}

void HostWindow::ProcessMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Leave the quit request for the program's own loop.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace platform
