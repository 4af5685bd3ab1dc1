// The modal loop of a form of our own on Windows: the owner's top-level window is disabled,
// the form (a popup) is centred over it and shown, and messages are pumped until a button
// ends the dialog, the form's window goes away or the application is asked to quit.
#include <windows.h>

#include "ui/ModalForm.h"

namespace ui {

DialogButton RunNativeModalForm(ModalForm& modal, Form* owner) {
  Form& form = modal.GetForm();
  HWND window = reinterpret_cast<HWND>(form.Peer().NativeHandle());
  if (window == nullptr || !IsWindow(window)) return DialogButton::Cancel;
  HWND ownerRoot = nullptr;
  if (owner != nullptr) {
    HWND ownerWindow = reinterpret_cast<HWND>(owner->Peer().NativeHandle());
    if (ownerWindow != nullptr && IsWindow(ownerWindow))
      ownerRoot = GetAncestor(ownerWindow, GA_ROOT);
  }
  RECT over{};
  if (ownerRoot != nullptr && GetWindowRect(ownerRoot, &over)) {
    const int x = over.left + ((over.right - over.left) - form.Width()) / 2;
    const int y = over.top + ((over.bottom - over.top) - form.Height()) / 2;
    form.SetBounds(Rect::FromSize(x, y, form.Width(), form.Height()));
  }
  const bool ownerWasEnabled = ownerRoot != nullptr && IsWindowEnabled(ownerRoot);
  if (ownerWasEnabled) EnableWindow(ownerRoot, FALSE);
  form.SetVisible(true);
  SetForegroundWindow(window);
  MSG msg;
  while (!modal.Ended() && IsWindow(window)) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got <= 0) {
      // WM_QUIT belongs to the outer loop: put it back and leave.
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  // The owner goes back before the form hides, so the activation returns to it.
  if (ownerWasEnabled) EnableWindow(ownerRoot, TRUE);
  if (IsWindow(window)) form.SetVisible(false);
  if (ownerRoot != nullptr) SetForegroundWindow(ownerRoot);
  return modal.Ended() ? modal.Result() : DialogButton::Cancel;
}

}  // namespace ui
