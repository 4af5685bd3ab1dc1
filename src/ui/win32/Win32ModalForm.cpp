// The modal loop of a form of our own on Windows: the owner's top-level window is disabled,
// the form (a popup) is centred over it and shown, and messages are pumped until a button
// ends the dialog, the form's window goes away or the application is asked to quit.
#include <windows.h>

#include <cstdint>
#include <string>

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
  // A root form's peer leaves its window's visibility to whoever shows it (Win32Peer.cpp), and
  // a form already marked visible reports no change at all: the window is shown here, or the
  // dialog would run unseen with its owner disabled.
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  SetPropA(window, kModalFormProperty, reinterpret_cast<HANDLE>(1));
  const UINT answerMessage = RegisterWindowMessageA(kModalAnswerMessage);
  MSG msg;
  while (!modal.Ended() && IsWindow(window)) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got <= 0) {
      // WM_QUIT belongs to the outer loop: put it back and leave.
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (answerMessage != 0 && msg.message == answerMessage && msg.hwnd == window) {
      // A script host's answer: the value travels in a global atom.
      std::string settings;
      const auto atom = static_cast<ATOM>(
          reinterpret_cast<uintptr_t>(RemovePropA(window, kModalAnswerValueProperty)));
      if (atom != 0) {
        char text[256] = {};
        const UINT length = GlobalGetAtomNameA(atom, text, sizeof text);
        settings.assign(text, length);
        GlobalDeleteAtom(atom);
      }
      ApplyModalAnswer(modal, msg.wParam == IDOK ? DialogButton::Ok : DialogButton::Cancel,
                       settings);
      // A value that did not fit still ends the dialog, so a script never hangs on it.
      if (!modal.Ended()) modal.End(DialogButton::Cancel);
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (IsWindow(window)) RemovePropA(window, kModalFormProperty);
  // The owner goes back before the form hides, so the activation returns to it.
  if (ownerWasEnabled) EnableWindow(ownerRoot, TRUE);
  if (IsWindow(window)) {
    form.SetVisible(false);
    ShowWindow(window, SW_HIDE);
  }
  if (ownerRoot != nullptr) SetForegroundWindow(ownerRoot);
  return modal.Ended() ? modal.Result() : DialogButton::Cancel;
}

}  // namespace ui
