// The process's one portable window system: a separately linked module (the probe, with its
// own copies of the platform and toolkit layers) uses this executable's instance, so
// windows, input, focus and dialog answers cross the module boundary as they do between
// nbhost and the plug-in.
#include <gtest/gtest.h>

#include "platform/DynamicLibrary.h"
#include "platform/HostWindow.h"
#include "platform/WindowChannel.h"

namespace {

template <typename Fn>
Fn Symbol(const platform::DynamicLibrary& library, const char* name) {
  return reinterpret_cast<Fn>(library.RequireSymbol(name));
}

TEST(WindowChannel, AModuleWithItsOwnPlatformCopyUsesTheExecutablesWindowSystem) {
  platform::DynamicLibrary probe(UI_CHANNEL_PROBE_PATH);
  using TableFn = const SSWindowSystemV1* (*)();
  auto shared = Symbol<TableFn>(probe, "probe_window_system");
  auto local = Symbol<TableFn>(probe, "probe_local_system");
  // The probe has an instance of its own, but resolves and uses this executable's.
  ASSERT_NE(local(), ssWindowSystemV1Local());
  ASSERT_EQ(shared(), ssWindowSystemV1Local());
  ASSERT_EQ(&platform::WindowSystem(), ssWindowSystemV1Local());

  auto frame = platform::HostWindow::CreateTopLevel("host", 400, 300);
  auto rect = frame->CreateChild("Rect1", 10, 10, 200, 100);
  auto attach = Symbol<uintptr_t (*)(uintptr_t, int, int)>(probe, "probe_attach");
  auto clicks = Symbol<int (*)()>(probe, "probe_clicks");
  auto detach = Symbol<void (*)()>(probe, "probe_detach");
  auto ask = Symbol<int (*)()>(probe, "probe_ask");

  uintptr_t formWindow = attach(rect->Handle(), 200, 100);
  ASSERT_NE(formWindow, 0u);
  const SSWindowSystemV1& system = platform::WindowSystem();
  uintptr_t children[4] = {};
  ASSERT_EQ(system.children(rect->Handle(), children, 4), 1u);
  EXPECT_EQ(children[0], formWindow);
  platform::WindowSize size;
  ASSERT_TRUE(platform::HostWindow::ClientSize(formWindow, size));
  EXPECT_EQ(size.width, 200);

  // Input crosses: a click on the button's half counts, one on the other half does not.
  SSInputEvent onButton{SS_INPUT_CLICK, 20, 50, 0, 0, nullptr};
  SSInputEvent beside{SS_INPUT_CLICK, 150, 50, 0, 0, nullptr};
  EXPECT_EQ(system.send_input(formWindow, &onButton), SS_OK);
  EXPECT_EQ(system.send_input(formWindow, &beside), SS_OK);
  EXPECT_EQ(clicks(), 1);
  SSInputEvent badKey{SS_INPUT_KEY, 0, 0, 0, 0, "Ctrl+Nothing"};
  EXPECT_EQ(system.send_input(formWindow, &badKey), SS_BAD_INPUT);
  // The click gave the form the keyboard; the focus window says so here too.
  EXPECT_EQ(system.focus_window(), formWindow);

  // Dialog answers queued here are taken by the probe's dialogs; the log is shared.
  size_t logged = system.dialog_log(nullptr, nullptr);
  system.push_answer("Yes", "");
  EXPECT_EQ(ask(), 1);
  EXPECT_EQ(ask(), 0);  // empty queue: Cancel
  std::vector<std::string> lines;
  system.dialog_log(
      [](void* out, const char* line) {
        static_cast<std::vector<std::string>*>(out)->push_back(line);
      },
      &lines);
  ASSERT_EQ(lines.size(), logged + 2);
  EXPECT_EQ(lines[logged], "MessageBox \"Probe\" \"Continue?\" [Yes|No] -> Yes");

  // Detaching removes the form's window; its handle is then refused everywhere.
  detach();
  EXPECT_EQ(system.children(rect->Handle(), nullptr, 0), 0u);
  EXPECT_EQ(system.send_input(formWindow, &onButton), SS_NO_WINDOW);
  EXPECT_FALSE(platform::HostWindow::ClientSize(formWindow, size));
  EXPECT_EQ(system.focus_window(), 0u);
}

TEST(WindowChannel, InventedAndStaleHandlesAreRefused) {
  const SSWindowSystemV1& system = platform::WindowSystem();
  SSInputEvent click{SS_INPUT_CLICK, 1, 1, 0, 0, nullptr};
  SSWindowGeometry geometry{};
  for (uintptr_t handle : {uintptr_t{0}, uintptr_t{1}, uintptr_t{0xFFFF}, ~uintptr_t{0}}) {
    EXPECT_EQ(system.send_input(handle, &click), SS_NO_WINDOW);
    EXPECT_EQ(system.snapshot(handle, "x.png"), SS_NO_WINDOW);
    EXPECT_EQ(system.get_geometry(handle, &geometry), 0);
    EXPECT_EQ(system.set_driver(handle, nullptr, nullptr), SS_NO_WINDOW);
  }
  EXPECT_EQ(system.create_window(0xFFFF, "orphan", 0, 0, 1, 1), 0u);  // no such parent
  EXPECT_EQ(system.create_window(0, "negative", 0, 0, -1, 1), 0u);
  uintptr_t window = system.create_window(0, "plain", 0, 0, 5, 5);
  EXPECT_EQ(system.send_input(window, &click), SS_NO_DRIVER);
  EXPECT_EQ(system.send_input(window, nullptr), SS_NO_DRIVER);
  system.destroy_window(window);
  EXPECT_EQ(system.send_input(window, &click), SS_NO_WINDOW);
}

}  // namespace
