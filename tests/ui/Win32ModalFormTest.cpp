// The Windows modal loop of our own forms, on the Win32 backend: the form is on screen while
// it runs (a root form's peer never shows itself), a script host's answer ends it through the
// form's own buttons, and the form is hidden again afterwards, twice in a row.
#include <gtest/gtest.h>
#include <windows.h>

#include "ui/Backend.h"
#include "ui/BasicControls.h"
#include "ui/Form.h"
#include "ui/ModalForm.h"

namespace {

// What the thread's message hook saw when the answer came out of the queue.
struct Seen {
  HWND window = nullptr;
  int answers = 0;
  bool visible = false;
} seen;

LRESULT CALLBACK OnGetMessage(int code, WPARAM removed, LPARAM lParam) {
  const auto* msg = reinterpret_cast<const MSG*>(lParam);
  if (code >= 0 && removed == PM_REMOVE && msg->hwnd == seen.window &&
      msg->message == RegisterWindowMessageA(ui::kModalAnswerMessage)) {
    ++seen.answers;
    seen.visible = IsWindowVisible(seen.window) != FALSE;
  }
  return CallNextHookEx(nullptr, code, removed, lParam);
}

TEST(Win32ModalForm, TheFormIsOnScreenWhileItRunsAndHiddenAfter) {
  // The program's environment made the headless backend current; no control exists here.
  ui::Backend* previous = &ui::CurrentBackend();
  ui::SetBackend(&ui::DefaultBackend());
  {
    ui::Form form(0, "Modal");
    form.SetBounds(ui::Rect{0, 0, 240, 120});
    ui::ModalForm modal(form);
    ui::Button& ok = form.Add<ui::Button>("ok");
    ok.SetDefault(true);
    ok.OnClick = [&] { modal.End(ui::DialogButton::Ok); };
    ui::Button& cancel = form.Add<ui::Button>("cancel");
    cancel.SetCancel(true);
    cancel.OnClick = [&] { modal.End(ui::DialogButton::Cancel); };
    seen.window = reinterpret_cast<HWND>(form.Peer().NativeHandle());
    ASSERT_NE(seen.window, nullptr);
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, &OnGetMessage, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    const UINT answer = RegisterWindowMessageA(ui::kModalAnswerMessage);
    const struct {
      WPARAM button;
      ui::DialogButton result;
    } runs[] = {{IDOK, ui::DialogButton::Ok}, {IDCANCEL, ui::DialogButton::Cancel}};
    for (const auto& run : runs) {
      seen.answers = 0;
      seen.visible = false;
      ASSERT_TRUE(PostMessageA(seen.window, answer, run.button, 0));
      EXPECT_EQ(modal.Run(nullptr), run.result);
      EXPECT_EQ(seen.answers, 1);
      EXPECT_TRUE(seen.visible) << "the form ran without being shown";
      EXPECT_FALSE(IsWindowVisible(seen.window)) << "the form stayed on screen after its loop";
      modal.End(ui::DialogButton::None);
    }
    UnhookWindowsHookEx(hook);
  }
  ui::SetBackend(previous);
}

}  // namespace
