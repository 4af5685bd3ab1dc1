// Script input on the portable build: through the process's window system, into the
// toolkit forms the plug-in registered as children of the rectangles' windows.
#include <vector>

#include "HostInput.h"
#include "platform/WindowChannel.h"

namespace nbhost {

namespace {

// What the host sends a rectangle's windows after resizing it.
constexpr int32_t kFillRectangleMessage = 0x4FA;
constexpr int32_t kFillRectangleParam = 4;
// A key event's x1 when no window has the focus (platform/WindowChannel.h).
constexpr int32_t kHotKeysOnly = 1;

const char* ResultText(int32_t code) {
  switch (code) {
    case SS_OK:
      return "";
    case SS_NO_WINDOW:
      return "the window is gone";
    case SS_NO_DRIVER:
      return "the window takes no input";
    case SS_BAD_INPUT:
      return "the window did not understand the input";
    default:
      return "the window's handler failed";
  }
}

std::vector<uintptr_t> Children(uintptr_t parent) {
  const SSWindowSystemV1& system = platform::WindowSystem();
  size_t count = system.children(parent, nullptr, 0);
  std::vector<uintptr_t> children(count);
  children.resize(system.children(parent, children.data(), children.size()));
  return children;
}

// Every window below `parent`, depth first in creation order.
std::vector<uintptr_t> AllWindows(uintptr_t parent) {
  std::vector<uintptr_t> all;
  for (uintptr_t child : Children(parent)) {
    all.push_back(child);
    std::vector<uintptr_t> below = AllWindows(child);
    all.insert(all.end(), below.begin(), below.end());
  }
  return all;
}

// The topmost child window of the rectangle under the point, with the point in its
// coordinates; 0 when no attached window covers it.
uintptr_t WindowAt(uintptr_t rectangle, int& x, int& y) {
  std::vector<uintptr_t> children = Children(rectangle);
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    SSWindowGeometry g{};
    if (!platform::WindowSystem().get_geometry(*it, &g)) continue;
    if (x >= g.x && y >= g.y && x < g.x + g.width && y < g.y + g.height) {
      x -= g.x;
      y -= g.y;
      return *it;
    }
  }
  return 0;
}

class PortableInput final : public HostInput {
 public:
  std::string Click(platform::WindowHandle rectangle, int x, int y, bool twice) override {
    uintptr_t window = WindowAt(rectangle, x, y);
    if (window == 0) return "no attached window at that point";
    SSInputEvent event{twice ? SS_INPUT_DOUBLE_CLICK : SS_INPUT_CLICK, x, y, 0, 0, nullptr};
    return ResultText(platform::WindowSystem().send_input(window, &event));
  }

  std::string Drag(platform::WindowHandle rectangle, int x1, int y1, int x2, int y2) override {
    int localX = x1, localY = y1;
    uintptr_t window = WindowAt(rectangle, localX, localY);
    if (window == 0) return "no attached window at the starting point";
    // Both ends in the coordinates of the window the drag starts in.
    SSInputEvent event{SS_INPUT_DRAG,      localX, localY, x2 - (x1 - localX),
                       y2 - (y1 - localY), nullptr};
    return ResultText(platform::WindowSystem().send_input(window, &event));
  }

  std::string Key(const std::string& name) override {
    if (platform::WindowSystem().focus_window() != 0) return ToFocus(SS_INPUT_KEY, name);
    // With the focus in the host, a hot key still reaches the window that registered it, as
    // system-wide hot keys do on Windows; any window of the plug-in passes it on.
    SSInputEvent event{SS_INPUT_KEY, kHotKeysOnly, 0, 0, 0, name.c_str()};
    for (uintptr_t window : AllWindows(0)) {
      const int32_t result = platform::WindowSystem().send_input(window, &event);
      if (result == SS_OK) return "";
      if (result != SS_NO_DRIVER) break;
    }
    return "no window has the keyboard focus";
  }
  std::string Type(const std::string& text) override { return ToFocus(SS_INPUT_TEXT, text); }

  void QueueAnswer(const std::string& button, const std::string& value) override {
    platform::WindowSystem().push_answer(button.c_str(), value.c_str());
  }
  size_t PendingAnswers() const override { return platform::WindowSystem().pending_answers(); }

  std::string Resize(platform::WindowHandle rectangle, int width, int height) override {
    SSWindowGeometry g{};
    const SSWindowSystemV1& system = platform::WindowSystem();
    if (!system.get_geometry(rectangle, &g) ||
        system.set_geometry(rectangle, g.x, g.y, width, height) != 1) {
      return "the rectangle cannot take that size";
    }
    SSInputEvent event{SS_INPUT_MESSAGE, kFillRectangleMessage, 0, kFillRectangleParam, 0, nullptr};
    return ToChildren(rectangle, event);
  }

  std::string Activate(platform::WindowHandle rectangle, bool active) override {
    SSInputEvent event{SS_INPUT_ACTIVATE, active ? 1 : 0, 0, 0, 0, nullptr};
    return ToChildren(rectangle, event);
  }

  std::string Snapshot(platform::WindowHandle rectangle, const std::string& path) override {
    for (uintptr_t window : Children(rectangle)) {
      int32_t result = platform::WindowSystem().snapshot(window, path.c_str());
      if (result == SS_NO_DRIVER) continue;
      if (result != SS_OK) return "cannot write \"" + path + "\"";
      return "";
    }
    return "no attached window to take a picture of";
  }

 private:
  // Every attached window hears the event; windows without a driver are passed over.
  static std::string ToChildren(uintptr_t rectangle, const SSInputEvent& event) {
    for (uintptr_t window : Children(rectangle)) {
      const int32_t result = platform::WindowSystem().send_input(window, &event);
      if (result != SS_OK && result != SS_NO_DRIVER) return ResultText(result);
    }
    return "";
  }

  std::string ToFocus(uint32_t kind, const std::string& text) {
    uintptr_t window = platform::WindowSystem().focus_window();
    if (window == 0) return "no window has the keyboard focus";
    SSInputEvent event{kind, 0, 0, 0, 0, text.c_str()};
    return ResultText(platform::WindowSystem().send_input(window, &event));
  }
};

}  // namespace

std::unique_ptr<HostInput> CreateHostInput() { return std::make_unique<PortableInput>(); }

}  // namespace nbhost
