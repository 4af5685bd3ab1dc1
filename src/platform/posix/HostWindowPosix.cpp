// The portable host windows: no display, only a process-wide registry that hands out unique
// handles and remembers each window's parent and geometry. The headless toolkit parents its
// forms on these handles the way Win32 parents on an HWND.
#include <map>

#include "platform/HostWindow.h"

namespace platform {

namespace {

struct WindowRecord {
  WindowHandle parent = 0;
  std::string name;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// Handles start well above small integers so that a stray "1" or "2" never names a window.
constexpr WindowHandle kFirstHandle = 0x10000;

struct Registry {
  std::map<WindowHandle, WindowRecord> windows;
  WindowHandle next = kFirstHandle;
};

Registry& Windows() {
  static Registry registry;
  return registry;
}

class PortableWindow final : public HostWindow {
 public:
  PortableWindow(WindowHandle parent, const std::string& name, int x, int y, int w, int h) {
    if (w < 0 || h < 0) {
      throw HostWindowError("window \"" + name + "\" cannot have a negative size");
    }
    Registry& registry = Windows();
    handle_ = registry.next++;
    registry.windows[handle_] = WindowRecord{parent, name, x, y, w, h};
  }
  ~PortableWindow() override { Windows().windows.erase(handle_); }
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
  const auto& windows = Windows().windows;
  auto found = windows.find(handle);
  if (found == windows.end()) return false;
  size.width = found->second.width;
  size.height = found->second.height;
  return true;
}

void HostWindow::ProcessMessages() {}

}  // namespace platform
