#pragma once
// The Win32 backend: real native windows. Standard controls are the system's classes
// (EDIT, BUTTON, STATIC, COMBOBOX), subclassed so that their input reaches the toolkit's
// routing; forms, panels, toolbars, the control bar and custom controls are windows of the
// toolkit's own class painted through the GDI canvas. Every window procedure of the backend
// goes through one trampoline that catches every exception. Classes are registered with the
// handle of the module that contains this code (the plug-in DLL's own, not the host's).
#include <windows.h>

#include "ui/Backend.h"
#undef DrawTextBlock
#undef DrawTextLine

namespace ui::win32 {

// The module that contains the toolkit code.
HINSTANCE ModuleHandle();
// Registers the toolkit's window classes once; throws std::runtime_error on failure.
void RegisterClasses();

inline constexpr const char* kWindowClass = "zkSSUiWindow";
inline constexpr const char* kHotKeyWindowClass = "zkSSHotKeyWindow";

// Messages that reach a control through its window procedure; implemented in Win32Peer.cpp.
LRESULT CALLBACK Trampoline(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class Win32Backend final : public Backend {
 public:
  static Win32Backend& Instance();

  std::unique_ptr<ControlPeer> CreatePeer(Control& control) override;
  std::unique_ptr<TimerPeer> CreateTimerPeer(Timer& timer) override;
  std::unique_ptr<HotKeyPeer> CreateHotKeyPeer(HotKeyManager& manager) override;

  bool RunFileDialog(FileDialog& dialog, Form* owner) override;
  bool RunColorDialog(ColorDialog& dialog, Form* owner) override;
  bool RunFontDialog(FontDialog& dialog, Form* owner) override;
  DialogButton RunMessageBox(const MessageBoxSpec& spec, Form* owner) override;
  bool RunInputBox(InputBox& box, Form* owner) override;
  DialogButton RunLayoutDialog(const DialogLayout& layout, DialogHandler& handler,
                               uintptr_t owner) override;
  // In Win32FieldDialog.cpp.
  std::string RunFieldDialog(FieldDialog& dialog, Form* owner) override;
  bool InModalDialog() const override { return modalDepth_ > 0; }

  std::vector<std::string> ScreenFonts() override;
  void SetScreenCursor(CursorShape shape) override;
  CursorShape ScreenCursor() const override { return screenCursor_; }
  int ScrollBarSize() const override { return GetSystemMetrics(SM_CXVSCROLL); }

  static HCURSOR CursorOf(CursorShape shape);

 private:
  int modalDepth_ = 0;
  CursorShape screenCursor_ = CursorShape::Default;
  friend class ModalCount;
};

// The peer factory of Win32Peer.cpp.
std::unique_ptr<ControlPeer> CreateWin32Peer(Control& control);

}  // namespace ui::win32
