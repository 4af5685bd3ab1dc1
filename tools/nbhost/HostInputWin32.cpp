// Script input on Windows: real window messages into the real windows. Mouse messages go to
// the deepest visible child under the point (or the window holding the capture), keys to the
// window with the focus (through TranslateMessage, so characters follow as the system makes
// them), modifiers through the thread's keyboard state. A key combination that a hot-key
// manager of this process registered is delivered as the system delivers it: WM_HOTKEY to the
// managers' message windows (each checks that the key is its own).
//
// Dialog answers: around every plug-in call and input command a thread timer looks for the modal
// dialog the call opened (a window of class "#32770", the toolkit's input box or a modal form of
// the toolkit, see ui/ModalForm.h), puts the answer's value into it (the file-name box of a file
// dialog, the red, green and blue boxes of the colour dialog, the text box of the input box) and
// presses the answer's button. With no answer queued it presses Cancel, so a script never hangs on
// a dialog. An editor dialog of the toolkit (marked "zkSSLayoutDialog") first takes the control
// actions queued before its answer: text into the edit, a click on the check box or button whose
// "zkSSItem" atom names it; a button press ends the tick, so a dialog it opens is answered on the
// next one (the editor is disabled meanwhile, and only enabled dialogs are answered).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <deque>
#include <optional>
#include <string>
#include <utility>

#include "HostInput.h"
#include "ui/DialogLayout.h"
#include "ui/Dialogs.h"
#include "ui/Image.h"
#include "ui/Keys.h"
#include "ui/ModalForm.h"

namespace nbhost {

namespace {

// Control ids inside the standard dialogs.
constexpr int kFileNameCombo = 0x47C;  // cmb13
constexpr int kFileNameEdit = 0x480;   // edt1
constexpr int kColorRed = 706;
constexpr int kColorGreen = 707;
constexpr int kColorBlue = 708;
// The toolkit's input box (src/ui/win32): its edit control and window class.
constexpr int kInputBoxEdit = 100;
constexpr const char* kHotKeyWindowClass = "zkSSHotKeyWindow";
constexpr UINT kWatchPeriodMs = 40;
// The toolkit's layout dialogs (src/ui/win32): the dialog's mark and each control's name.
constexpr const char* kLayoutDialogProperty = "zkSSLayoutDialog";
constexpr const char* kItemProperty = "zkSSItem";

// What the host sends a rectangle's windows after resizing it.
constexpr UINT kFillRectangleMessage = 0x4FA;
constexpr LPARAM kFillRectangleParam = 4;

// A plain top-level window standing for another program: activating it deactivates the
// host's frame. Made on first use, lives until the process ends.
HWND OtherProgramWindow() {
  static HWND window = [] {
    WNDCLASSA cls{};
    cls.lpfnWndProc = DefWindowProcA;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "nbhostOtherProgram";
    RegisterClassA(&cls);
    return CreateWindowExA(0, cls.lpszClassName, "another program", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                           100, nullptr, nullptr, cls.hInstance, nullptr);
  }();
  return window;
}

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

HWND DeepestChild(HWND parent, POINT& point) {
  HWND current = parent;
  for (;;) {
    HWND child = ChildWindowFromPointEx(current, point, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    if (child == nullptr || child == current) return current;
    MapWindowPoints(current, child, &point, 1);
    current = child;
  }
}

// Sends one mouse message to the capture window, or to the window under the point.
void Mouse(HWND rectangle, UINT message, WPARAM keys, POINT inRect) {
  HWND target = GetCapture();
  POINT point = inRect;
  if (target != nullptr) {
    MapWindowPoints(rectangle, target, &point, 1);
  } else {
    target = DeepestChild(rectangle, point);
  }
  SendMessageA(target, message, keys, MAKELPARAM(point.x, point.y));
  Pump();
}

int ButtonId(ui::DialogButton button) {
  switch (button) {
    case ui::DialogButton::Ok:
      return IDOK;
    case ui::DialogButton::Yes:
      return IDYES;
    case ui::DialogButton::No:
      return IDNO;
    case ui::DialogButton::Abort:
      return IDABORT;
    case ui::DialogButton::Retry:
      return IDRETRY;
    case ui::DialogButton::Ignore:
      return IDIGNORE;
    default:
      return IDCANCEL;
  }
}

class Win32Input;
Win32Input* watching = nullptr;

class Win32Input final : public HostInput {
 public:
  ~Win32Input() override { AfterCall(); }

  std::string Click(platform::WindowHandle rectangle, int x, int y, bool twice) override {
    HWND rect = reinterpret_cast<HWND>(rectangle);
    if (!IsWindow(rect) || GetWindow(rect, GW_CHILD) == nullptr) return "no attached window";
    POINT p{x, y};
    Mouse(rect, WM_MOUSEMOVE, 0, p);
    Mouse(rect, WM_LBUTTONDOWN, MK_LBUTTON, p);
    Mouse(rect, WM_LBUTTONUP, 0, p);
    if (twice) {
      Mouse(rect, WM_LBUTTONDBLCLK, MK_LBUTTON, p);
      Mouse(rect, WM_LBUTTONUP, 0, p);
    }
    return "";
  }

  std::string Drag(platform::WindowHandle rectangle, int x1, int y1, int x2, int y2) override {
    HWND rect = reinterpret_cast<HWND>(rectangle);
    if (!IsWindow(rect) || GetWindow(rect, GW_CHILD) == nullptr) return "no attached window";
    Mouse(rect, WM_MOUSEMOVE, 0, POINT{x1, y1});
    Mouse(rect, WM_LBUTTONDOWN, MK_LBUTTON, POINT{x1, y1});
    int dx = x2 - x1, dy = y2 - y1;
    int steps = std::max(1, std::max(std::abs(dx), std::abs(dy)) / 8);
    for (int i = 1; i <= steps; ++i) {
      Mouse(rect, WM_MOUSEMOVE, MK_LBUTTON, POINT{x1 + dx * i / steps, y1 + dy * i / steps});
    }
    Mouse(rect, WM_LBUTTONUP, 0, POINT{x2, y2});
    return "";
  }

  std::string Key(const std::string& name) override {
    std::optional<ui::Shortcut> code = ui::ParseShortcut(name);
    if (!code) return "unknown key \"" + name + "\"";
    int vk = ui::ShortcutKey(*code);
    ui::ShiftState shift = ui::ShortcutShift(*code);
    if (DeliverHotKey(*code, vk, shift)) return "";
    HWND focus = GetFocus();
    if (focus == nullptr) return "no window has the keyboard focus";
    BYTE saved[256];
    GetKeyboardState(saved);
    BYTE state[256];
    std::copy(saved, saved + 256, state);
    state[VK_SHIFT] = shift.shift ? 0x80 : 0;
    state[VK_CONTROL] = shift.ctrl ? 0x80 : 0;
    state[VK_MENU] = shift.alt ? 0x80 : 0;
    state[vk] = 0x80;
    SetKeyboardState(state);
    UINT scan = MapVirtualKeyA(static_cast<UINT>(vk), 0);
    LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16) | (shift.alt ? (1 << 29) : 0);
    PostMessageA(focus, shift.alt ? WM_SYSKEYDOWN : WM_KEYDOWN, static_cast<WPARAM>(vk), down);
    Pump();
    state[vk] = 0;
    SetKeyboardState(state);
    HWND now = GetFocus();
    if (now != nullptr) {
      LPARAM up = down | (1 << 30) | (1u << 31);
      PostMessageA(now, shift.alt ? WM_SYSKEYUP : WM_KEYUP, static_cast<WPARAM>(vk), up);
      Pump();
    }
    SetKeyboardState(saved);
    return "";
  }

  std::string Type(const std::string& text) override {
    for (char c : text) {
      HWND focus = GetFocus();
      if (focus == nullptr) return "no window has the keyboard focus";
      PostMessageA(focus, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 1);
      Pump();
    }
    return "";
  }

  void QueueAnswer(const std::string& button, const std::string& value) override {
    answers_.emplace_back(button, value);
  }
  size_t PendingAnswers() const override { return answers_.size(); }

  std::string Resize(platform::WindowHandle rectangle, int width, int height) override {
    HWND rect = reinterpret_cast<HWND>(rectangle);
    if (!IsWindow(rect) || width < 0 || height < 0 ||
        !SetWindowPos(rect, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER)) {
      return "the rectangle cannot take that size";
    }
    for (HWND child = GetWindow(rect, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
      SendMessageA(child, kFillRectangleMessage, 0, kFillRectangleParam);
    }
    Pump();
    return "";
  }

  std::string Activate(platform::WindowHandle rectangle, bool active) override {
    HWND rect = reinterpret_cast<HWND>(rectangle);
    if (!IsWindow(rect)) return "the rectangle has no window";
    // The frame stays hidden (see HostWindowWin32.cpp), so its forms count as active
    // whatever is in front; activating the stand-in window is what a real host would see.
    HWND target = active ? GetAncestor(rect, GA_ROOT) : OtherProgramWindow();
    if (target == nullptr) return "no window to activate";
    if (!active) ShowWindow(target, SW_SHOWNA);
    SetForegroundWindow(target);
    // The activation change reaches the plug-in's event hook through the message queue.
    Pump();
    return "";
  }

  std::string Snapshot(platform::WindowHandle rectangle, const std::string& path) override {
    return Picture(reinterpret_cast<HWND>(rectangle), path);
  }

  // The client area of a window with every child drawn into it, written as PNG.
  static std::string Picture(HWND rect, const std::string& path) {
    RECT client;
    if (!IsWindow(rect) || !GetClientRect(rect, &client)) return "the rectangle has no window";
    int width = std::max<LONG>(1, client.right);
    int height = std::max<LONG>(1, client.bottom);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (bitmap == nullptr || memory == nullptr) {
      if (memory != nullptr) DeleteDC(memory);
      return "cannot make a bitmap";
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    RedrawWindow(rect, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    // PW_CLIENTONLY: the rectangle's client area with every child drawn into it.
    if (!PrintWindow(rect, memory, 1)) {
      HDC source = GetDC(rect);
      BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
      ReleaseDC(rect, source);
    }
    GdiFlush();
    ui::Image image(width, height);
    const auto* pixels = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < width * height; ++i) image.Data()[i] = pixels[i] | 0xFF000000u;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    if (!ui::WritePng(image, path)) return "cannot write \"" + path + "\"";
    return "";
  }

  void BeforeCall() override {
    char folder[MAX_PATH] = {};
    const DWORD length = GetCurrentDirectoryA(MAX_PATH, folder);
    folder_ = length > 0 && length < MAX_PATH ? std::string(folder, length) : std::string();
    watching = this;
    timer_ = SetTimer(nullptr, 0, kWatchPeriodMs, &Win32Input::Watch);
  }
  void AfterCall() override {
    if (timer_ != 0) KillTimer(nullptr, timer_);
    timer_ = 0;
    if (watching == this) watching = nullptr;
  }

 private:
  static bool DeliverHotKey(ui::Shortcut code, int vk, ui::ShiftState shift) {
    if (!(shift.ctrl || shift.alt)) return false;
    std::string atomName = "HotKeyManagerHotKey" + std::to_string(code);
    ATOM atom = GlobalFindAtomA(atomName.c_str());
    if (atom == 0) return false;
    UINT modifiers =
        (shift.alt ? MOD_ALT : 0) | (shift.ctrl ? MOD_CONTROL : 0) | (shift.shift ? MOD_SHIFT : 0);
    bool sent = false;
    for (HWND window = FindWindowExA(HWND_MESSAGE, nullptr, kHotKeyWindowClass, nullptr);
         window != nullptr;
         window = FindWindowExA(HWND_MESSAGE, window, kHotKeyWindowClass, nullptr)) {
      SendMessageA(window, WM_HOTKEY, atom, MAKELPARAM(modifiers, vk));
      sent = true;
    }
    Pump();
    return sent;
  }

  static BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    // A dialog that opened another is disabled while the other runs: answer the inner one.
    if (IsWindowVisible(window) && IsWindowEnabled(window) &&
        (std::string(name) == "#32770" || std::string(name) == "zkSSInputBox" ||
         GetPropA(window, ui::kModalFormProperty) != nullptr)) {
      *reinterpret_cast<HWND*>(found) = window;
      return FALSE;
    }
    return TRUE;
  }

  static void CALLBACK Watch(HWND, UINT, UINT_PTR, DWORD) {
    // A timer callback: nothing may escape.
    try {
      if (watching != nullptr) watching->AnswerOpenDialog();
    } catch (...) {
    }
  }

  // A script's file names are relative to the folder it runs in, as in the portable build. A
  // file dialog starts in a folder of its own choosing (the system remembers the last one used)
  // and makes that the current folder while it is open, so a relative answer is made full
  // with the folder taken before the call.
  std::string InScriptFolder(const std::string& name) const {
    if (folder_.empty() || (name.size() >= 2 && (name[1] == ':' || name.rfind("\\\\", 0) == 0))) {
      return name;
    }
    return folder_ + (folder_.back() == '\\' ? "" : "\\") + name;
  }

  void AnswerOpenDialog() {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &Win32Input::FindDialog,
                      reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr) return;
    if (GetPropA(dialog, kLayoutDialogProperty) != nullptr && !DriveLayoutDialog(dialog)) return;
    std::pair<std::string, std::string> answer{"Cancel", ""};
    if (!answers_.empty()) {
      answer = answers_.front();
      answers_.pop_front();
    }
    ui::DialogButton button =
        ui::ParseDialogButton(answer.first).value_or(ui::DialogButton::Cancel);
    const std::string& value = answer.second;
    if (GetPropA(dialog, ui::kModalFormProperty) != nullptr) {
      // A modal form of the toolkit: the value (control settings) goes in a global atom.
      const ATOM atom = value.empty() ? 0 : GlobalAddAtomA(value.c_str());
      if (atom != 0)
        SetPropA(dialog, ui::kModalAnswerValueProperty, reinterpret_cast<HANDLE>(uintptr_t{atom}));
      PostMessageA(dialog, RegisterWindowMessageA(ui::kModalAnswerMessage),
                   button == ui::DialogButton::Ok ? IDOK : IDCANCEL, 0);
      return;
    }
    if (button == ui::DialogButton::Ok && !value.empty()) {
      if (GetDlgItem(dialog, kFileNameCombo) != nullptr) {
        SetDlgItemTextA(dialog, kFileNameCombo, InScriptFolder(value).c_str());
      } else if (GetDlgItem(dialog, kFileNameEdit) != nullptr) {
        SetDlgItemTextA(dialog, kFileNameEdit, InScriptFolder(value).c_str());
      } else if (GetDlgItem(dialog, kColorRed) != nullptr) {
        unsigned r = 0, g = 0, b = 0;
        if (std::sscanf(value.c_str(), "%3u%3u%3u", &r, &g, &b) == 3 ||
            std::sscanf(value.c_str(), "%u,%u,%u", &r, &g, &b) == 3) {
          SetDlgItemInt(dialog, kColorRed, r, FALSE);
          SetDlgItemInt(dialog, kColorGreen, g, FALSE);
          SetDlgItemInt(dialog, kColorBlue, b, FALSE);
        }
      } else if (GetDlgItem(dialog, kInputBoxEdit) != nullptr) {
        SetDlgItemTextA(dialog, kInputBoxEdit, value.c_str());
      }
    }
    int id = ButtonId(button);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
  }

  struct Lookup {
    std::string name;
    HWND found;
  };
  static BOOL CALLBACK FindNamed(HWND window, LPARAM data) {
    auto* lookup = reinterpret_cast<Lookup*>(data);
    auto atom = static_cast<ATOM>(reinterpret_cast<uintptr_t>(GetPropA(window, kItemProperty)));
    char name[256] = {};
    if (atom != 0 && GlobalGetAtomNameA(atom, name, sizeof name) > 0 && lookup->name == name) {
      lookup->found = window;
      return FALSE;
    }
    return TRUE;
  }

  // Applies the control actions queued ahead of the editor's answer, as the author would:
  // text into edits, clicks on check boxes and buttons. Returns false when a button was
  // pressed (the dialog it opens, if any, is answered on a later tick) and true when the
  // next answer is the one that closes the dialog.
  bool DriveLayoutDialog(HWND dialog) {
    while (!answers_.empty()) {
      const std::string button = answers_.front().first;
      const std::string value = answers_.front().second;
      if (button.rfind("Snapshot:", 0) == 0) {
        answers_.pop_front();
        Picture(dialog, button.substr(9));
        continue;
      }
      std::optional<ui::DialogAction> action = ui::ParseDialogAction(button);
      if (!action) return true;
      answers_.pop_front();
      Lookup lookup{action->item, nullptr};
      EnumChildWindows(dialog, &Win32Input::FindNamed, reinterpret_cast<LPARAM>(&lookup));
      if (lookup.found == nullptr) {
        // A control the dialog lacks: the author gives up.
        answers_.push_front({"Cancel", ""});
        return true;
      }
      switch (action->kind) {
        case ui::DialogAction::Kind::Set:
          SendMessageA(lookup.found, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
          break;
        case ui::DialogAction::Kind::Check: {
          bool checked = SendMessageA(lookup.found, BM_GETCHECK, 0, 0) == BST_CHECKED;
          if (checked != (value == "1")) SendMessageA(lookup.found, BM_CLICK, 0, 0);
          break;
        }
        case ui::DialogAction::Kind::Click:
          PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(lookup.found), BN_CLICKED),
                       reinterpret_cast<LPARAM>(lookup.found));
          return false;
      }
    }
    return true;
  }

  std::deque<std::pair<std::string, std::string>> answers_;
  std::string folder_;  // the current folder when the call began
  UINT_PTR timer_ = 0;
};

}  // namespace

std::unique_ptr<HostInput> CreateHostInput() { return std::make_unique<Win32Input>(); }

}  // namespace nbhost
