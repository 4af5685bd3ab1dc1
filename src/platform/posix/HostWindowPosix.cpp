// The portable host windows: no display, only entries in the process's one window
// registry (WindowChannel.h), which hands out unique handles and remembers each window's
// parent and geometry. The headless toolkit parents its forms on these handles the way
// Win32 parents on an HWND, and the substitute host and the plug-in see the same windows.
#include <vector>

#include "platform/HostWindow.h"
#include "platform/WindowChannel.h"

namespace platform {

namespace {

class PortableWindow final : public HostWindow {
 public:
  PortableWindow(WindowHandle parent, const std::string& name, int x, int y, int w, int h) {
    if (w < 0 || h < 0) {
      throw HostWindowError("window \"" + name + "\" cannot have a negative size");
    }
    handle_ = WindowSystem().create_window(parent, name.c_str(), x, y, w, h);
    if (handle_ == 0) throw HostWindowError("cannot create window \"" + name + "\"");
  }
  // A child whose parent went first finds its handle gone; destroying it again is harmless.
  ~PortableWindow() override { WindowSystem().destroy_window(handle_); }
  PortableWindow(const PortableWindow&) = delete;
  PortableWindow& operator=(const PortableWindow&) = delete;

  std::unique_ptr<HostWindow> CreateChild(const std::string& name, int x, int y, int w,
                                          int h) override {
    return std::make_unique<PortableWindow>(handle_, name, x, y, w, h);
  }
  WindowHandle Handle() const override { return handle_; }

 private:
  WindowHandle handle_ = 0;
};

}  // namespace

std::unique_ptr<HostWindow> HostWindow::CreateTopLevel(const std::string& caption, int width,
                                                       int height) {
  return std::make_unique<PortableWindow>(0, caption, 0, 0, width, height);
}

bool HostWindow::ClientSize(WindowHandle handle, WindowSize& size) {
  SSWindowGeometry geometry{};
  if (handle == 0 || WindowSystem().get_geometry(handle, &geometry) == 0) return false;
  size.width = geometry.width;
  size.height = geometry.height;
  return true;
}

WindowHandle HostWindow::ActiveWindow() {
  const SSWindowSystemV1& system = WindowSystem();
  SSWindowGeometry geometry{};
  WindowHandle focus = system.focus_window();
  if (focus != 0 && system.get_geometry(focus, &geometry) != 0) return focus;
  size_t count = system.children(0, nullptr, 0);
  if (count == 0) return 0;
  std::vector<uintptr_t> roots(count);
  roots.resize(system.children(0, roots.data(), roots.size()));
  return roots.empty() ? 0 : roots.back();
}

void HostWindow::ProcessMessages() {}

}  // namespace platform
