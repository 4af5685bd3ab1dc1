// The Win32 backend's services: window classes, timers, hot keys with global atoms, the
// common dialogs, the input box (a dialog built from an in-memory template), the screen's
// fonts and the screen cursor.
#include "ui/win32/Win32Backend.h"

#include <commdlg.h>

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>
#include <vector>

#include "ui/Form.h"
#include "ui/HotKeyManager.h"
#include "ui/ModalScope.h"
#include "ui/Timer.h"
#include "ui/win32/DialogTemplate.h"

namespace ui::win32 {

namespace {

// The input box's controls; nbhost's dialog answerer finds the edit by this id.
constexpr int kInputEditId = 100;
constexpr int kInputPromptId = 101;

HWND OwnerWindow(Form* owner) {
  if (owner == nullptr) return GetActiveWindow();
  HWND window = reinterpret_cast<HWND>(owner->Peer().NativeHandle());
  HWND root = GetAncestor(window, GA_ROOT);
  return root != nullptr ? root : window;
}

// ---- timers: thread timers, found again by their id ----

std::map<UINT_PTR, Timer*>& Timers() {
  static std::map<UINT_PTR, Timer*> timers;
  return timers;
}

void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  try {
    auto found = Timers().find(id);
    if (found != Timers().end()) found->second->Fire();
  } catch (...) {
    // No exception leaves a timer callback.
  }
}

class Win32TimerPeer final : public TimerPeer {
 public:
  explicit Win32TimerPeer(Timer& timer) : timer_(timer) {}
  ~Win32TimerPeer() override { Stop(); }
  void Start(uint32_t intervalMs) override {
    Stop();
    id_ = SetTimer(nullptr, 0, intervalMs, &TimerProc);
    if (id_ != 0) Timers()[id_] = &timer_;
  }
  void Stop() override {
    if (id_ == 0) return;
    KillTimer(nullptr, id_);
    Timers().erase(id_);
    id_ = 0;
  }

 private:
  Timer& timer_;
  UINT_PTR id_ = 0;
};

// ---- hot keys: a hidden message window per manager ----

LRESULT CALLBACK HotKeyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    if (message == WM_HOTKEY) {
      auto* manager = reinterpret_cast<HotKeyManager*>(GetWindowLongPtrA(window, GWLP_USERDATA));
      if (manager != nullptr) {
        UINT modifiers = LOWORD(lParam);
        Shortcut code =
            static_cast<Shortcut>(HIWORD(lParam) & 0xFF) |
            ((modifiers & MOD_SHIFT) ? kShiftBit : 0) | ((modifiers & MOD_CONTROL) ? kCtrlBit : 0) |
            ((modifiers & MOD_ALT) ? kAltBit : 0) | ((modifiers & MOD_WIN) ? kWinKeyBit : 0);
        manager->NoteHotKey(static_cast<uint32_t>(wParam), code);
      }
      return 0;
    }
  } catch (...) {
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

class Win32HotKeyPeer final : public HotKeyPeer {
 public:
  explicit Win32HotKeyPeer(HotKeyManager& manager) {
    RegisterClasses();
    window_ = CreateWindowExA(0, kHotKeyWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              ModuleHandle(), nullptr);
    if (window_ == nullptr) throw std::runtime_error("cannot create the hot-key window");
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&manager));
  }
  ~Win32HotKeyPeer() override {
    if (IsWindow(window_)) {
      SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
      DestroyWindow(window_);
    }
  }
  uint32_t AddAtom(const std::string& name) override { return GlobalAddAtomA(name.c_str()); }
  void DeleteAtom(uint32_t atom) override { GlobalDeleteAtom(static_cast<ATOM>(atom)); }
  bool Register(uint32_t id, Shortcut code) override {
    UINT modifiers = ((code & kAltBit) ? MOD_ALT : 0) | ((code & kCtrlBit) ? MOD_CONTROL : 0) |
                     ((code & kShiftBit) ? MOD_SHIFT : 0) | ((code & kWinKeyBit) ? MOD_WIN : 0);
    return RegisterHotKey(window_, static_cast<int>(id), modifiers, code & 0xFF) != 0;
  }
  void Unregister(uint32_t id) override { UnregisterHotKey(window_, static_cast<int>(id)); }

 private:
  HWND window_ = nullptr;
};

// ---- the input box: a dialog from an in-memory template ----

struct InputState {
  InputBox* box;
};

INT_PTR CALLBACK InputDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    switch (message) {
      case WM_INITDIALOG: {
        auto* state = reinterpret_cast<InputState*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        SetWindowTextA(dialog, state->box->caption.c_str());
        SetDlgItemTextA(dialog, kInputPromptId, state->box->prompt.c_str());
        SetDlgItemTextA(dialog, kInputEditId, state->box->value.c_str());
        return TRUE;
      }
      case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
          auto* state = reinterpret_cast<InputState*>(GetWindowLongPtrA(dialog, DWLP_USER));
          HWND edit = GetDlgItem(dialog, kInputEditId);
          int length = GetWindowTextLengthA(edit);
          std::string text(static_cast<size_t>(length) + 1, '\0');
          GetWindowTextA(edit, text.data(), length + 1);
          text.resize(static_cast<size_t>(length));
          state->box->value = text;
          EndDialog(dialog, IDOK);
          return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
          EndDialog(dialog, IDCANCEL);
          return TRUE;
        }
        break;
      default:
        break;
    }
  } catch (...) {
    EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
  return FALSE;
}

// "XLS|*.xls|All|*.*" in the system's form: pairs separated by zeros, two zeros at the end.
std::string NativeFilter(const std::string& filter) {
  std::string native;
  for (const FileFilter& entry : ParseFileFilter(filter)) {
    native += entry.description;
    native += '\0';
    native += entry.pattern;
    native += '\0';
  }
  native += '\0';
  return native;
}

int CALLBACK CollectFont(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM names) {
  if (font->lfFaceName[0] != '@')
    reinterpret_cast<std::set<std::string>*>(names)->insert(font->lfFaceName);
  return 1;
}

}  // namespace

HINSTANCE ModuleHandle() {
  static HINSTANCE module = [] {
    HMODULE handle = nullptr;
    // The module whose code this is: the plug-in DLL, whatever program loaded it.
    GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCSTR>(&ModuleHandle), &handle);
    return static_cast<HINSTANCE>(handle);
  }();
  return module;
}

void RegisterClasses() {
  static bool registered = false;
  if (registered) return;
  struct ClassSpec {
    const char* name;
    WNDPROC proc;
    UINT style;
  } classes[] = {{kWindowClass, &Trampoline, CS_DBLCLKS},
                 {kHotKeyWindowClass, &HotKeyWindowProc, 0}};
  for (const ClassSpec& spec : classes) {
    WNDCLASSEXA cls{};
    cls.cbSize = sizeof cls;
    cls.style = spec.style;
    cls.lpfnWndProc = spec.proc;
    cls.hInstance = ModuleHandle();
    cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
    cls.lpszClassName = spec.name;
    if (!RegisterClassExA(&cls) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
      throw std::runtime_error(std::string("cannot register window class ") + spec.name);
    }
  }
  registered = true;
}

Win32Backend& Win32Backend::Instance() {
  static Win32Backend backend;
  return backend;
}

std::unique_ptr<ControlPeer> Win32Backend::CreatePeer(Control& control) {
  return CreateWin32Peer(control);
}

std::unique_ptr<TimerPeer> Win32Backend::CreateTimerPeer(Timer& timer) {
  return std::make_unique<Win32TimerPeer>(timer);
}

std::unique_ptr<HotKeyPeer> Win32Backend::CreateHotKeyPeer(HotKeyManager& manager) {
  return std::make_unique<Win32HotKeyPeer>(manager);
}

bool Win32Backend::RunFileDialog(FileDialog& dialog, Form* owner) {
  ModalScope modal(modalDepth_);
  std::string filter = NativeFilter(dialog.filter);
  std::vector<char> name(32768, '\0');
  std::copy_n(dialog.fileName.begin(), std::min(dialog.fileName.size(), name.size() - 1),
              name.begin());
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = OwnerWindow(owner);
  ofn.lpstrFilter = filter.size() > 1 ? filter.c_str() : nullptr;
  ofn.nFilterIndex = static_cast<DWORD>(std::max(1, dialog.filterIndex));
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrTitle = dialog.title.empty() ? nullptr : dialog.title.c_str();
  ofn.lpstrDefExt = dialog.defaultExt.empty() ? nullptr : dialog.defaultExt.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  BOOL ok;
  if (dialog.mode == FileDialog::Mode::Open) {
    ofn.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    ok = GetOpenFileNameA(&ofn);
  } else {
    ofn.Flags |= OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    ok = GetSaveFileNameA(&ofn);
  }
  if (!ok) return false;
  dialog.fileName = name.data();
  dialog.filterIndex = static_cast<int>(ofn.nFilterIndex);
  return true;
}

bool Win32Backend::RunColorDialog(ColorDialog& dialog, Form* owner) {
  ModalScope modal(modalDepth_);
  static COLORREF custom[16] = {};
  CHOOSECOLORA cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = OwnerWindow(owner);
  cc.rgbResult = RGB(dialog.color.r, dialog.color.g, dialog.color.b);
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (!ChooseColorA(&cc)) return false;
  dialog.color = Color{GetRValue(cc.rgbResult), GetGValue(cc.rgbResult), GetBValue(cc.rgbResult)};
  return true;
}

bool Win32Backend::RunFontDialog(FontDialog& dialog, Form* owner) {
  ModalScope modal(modalDepth_);
  LOGFONTA font{};
  HDC screen = GetDC(nullptr);
  font.lfHeight = -MulDiv(dialog.size, GetDeviceCaps(screen, LOGPIXELSY), 72);
  font.lfWeight = dialog.bold ? FW_BOLD : FW_NORMAL;
  font.lfItalic = dialog.italic ? TRUE : FALSE;
  font.lfUnderline = dialog.underline ? TRUE : FALSE;
  font.lfStrikeOut = dialog.strikeOut ? TRUE : FALSE;
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(font.lfFaceName, dialog.name.c_str(), LF_FACESIZE);
  CHOOSEFONTA cf{};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = OwnerWindow(owner);
  cf.lpLogFont = &font;
  cf.rgbColors = RGB(dialog.color.r, dialog.color.g, dialog.color.b);
  cf.Flags = CF_INITTOLOGFONTSTRUCT | CF_EFFECTS | CF_SCREENFONTS;
  const BOOL chosen = ChooseFontA(&cf);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  if (!chosen) return false;
  dialog.name = font.lfFaceName;
  dialog.size = cf.iPointSize > 0 ? (cf.iPointSize + 5) / 10
                                  : MulDiv(font.lfHeight < 0 ? -font.lfHeight : font.lfHeight, 72,
                                           dpi > 0 ? dpi : 96);
  dialog.bold = font.lfWeight >= FW_BOLD;
  dialog.italic = font.lfItalic != 0;
  dialog.underline = font.lfUnderline != 0;
  dialog.strikeOut = font.lfStrikeOut != 0;
  dialog.color = Color{GetRValue(cf.rgbColors), GetGValue(cf.rgbColors), GetBValue(cf.rgbColors)};
  return true;
}

DialogButton Win32Backend::RunMessageBox(const MessageBoxSpec& spec, Form* owner) {
  ModalScope modal(modalDepth_);
  UINT flags = MB_TASKMODAL;
  switch (spec.buttons) {
    case MessageButtons::Ok:
      flags |= MB_OK;
      break;
    case MessageButtons::OkCancel:
      flags |= MB_OKCANCEL;
      break;
    case MessageButtons::YesNo:
      flags |= MB_YESNO;
      break;
    case MessageButtons::YesNoCancel:
      flags |= MB_YESNOCANCEL;
      break;
    case MessageButtons::RetryCancel:
      flags |= MB_RETRYCANCEL;
      break;
    case MessageButtons::AbortRetryIgnore:
      flags |= MB_ABORTRETRYIGNORE;
      break;
  }
  switch (spec.icon) {
    case MessageIcon::Information:
      flags |= MB_ICONINFORMATION;
      break;
    case MessageIcon::Warning:
      flags |= MB_ICONWARNING;
      break;
    case MessageIcon::Error:
      flags |= MB_ICONERROR;
      break;
    case MessageIcon::Question:
      flags |= MB_ICONQUESTION;
      break;
    case MessageIcon::None:
      break;
  }
  switch (MessageBoxA(OwnerWindow(owner), spec.text.c_str(), spec.caption.c_str(), flags)) {
    case IDOK:
      return DialogButton::Ok;
    case IDYES:
      return DialogButton::Yes;
    case IDNO:
      return DialogButton::No;
    case IDABORT:
      return DialogButton::Abort;
    case IDRETRY:
      return DialogButton::Retry;
    case IDIGNORE:
      return DialogButton::Ignore;
    default:
      return DialogButton::Cancel;
  }
}

bool Win32Backend::RunInputBox(InputBox& box, Form* owner) {
  ModalScope modal(modalDepth_);
  DialogTemplate t;
  // DLGTEMPLATE: style, extended style, item count, x, y, cx, cy; then menu, class, title,
  // and (DS_SETFONT) the point size and face.
  t.DWord(DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  t.DWord(0);
  t.Word(4);
  for (short v : {0, 0, 200, 64}) t.Word(static_cast<WORD>(v));
  t.Word(0);
  t.Word(0);
  t.Text("");
  t.Word(8);
  t.Text("MS Shell Dlg");
  t.Item(SS_LEFT, 7, 7, 186, 10, kInputPromptId, 0x0082, "");
  t.Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | (box.masked ? ES_PASSWORD : 0), 7, 20, 186, 14,
         kInputEditId, 0x0081, "");
  t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 89, 42, 50, 14, IDOK, 0x0080, "OK");
  t.Item(BS_PUSHBUTTON | WS_TABSTOP, 143, 42, 50, 14, IDCANCEL, 0x0080, "Cancel");
  InputState state{&box};
  INT_PTR result = DialogBoxIndirectParamA(
      ModuleHandle(), reinterpret_cast<LPCDLGTEMPLATEA>(t.Data()), OwnerWindow(owner),
      &InputDialogProc, reinterpret_cast<LPARAM>(&state));
  return result == IDOK;
}

std::vector<std::string> Win32Backend::ScreenFonts() {
  std::set<std::string> names;
  HDC screen = GetDC(nullptr);
  LOGFONTA query{};
  query.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesExA(screen, &query, &CollectFont, reinterpret_cast<LPARAM>(&names), 0);
  ReleaseDC(nullptr, screen);
  return std::vector<std::string>(names.begin(), names.end());
}

HCURSOR Win32Backend::CursorOf(CursorShape shape) {
  // The system cursors' resource numbers (IDC_ARROW, IDC_IBEAM, ...), spelled as numbers
  // because the build's UNICODE makes the IDC_ names wide strings.
  WORD id = 32512;
  switch (shape) {
    case CursorShape::IBeam:
      id = 32513;
      break;
    case CursorShape::Wait:
      id = 32514;
      break;
    case CursorShape::Cross:
      id = 32515;
      break;
    case CursorShape::SizeWE:
      id = 32644;
      break;
    case CursorShape::SizeNS:
      id = 32645;
      break;
    case CursorShape::SizeAll:
      id = 32646;
      break;
    case CursorShape::HandPoint:
      id = 32649;
      break;
    case CursorShape::No:
      id = 32648;
      break;
    default:
      break;
  }
  return LoadCursorA(nullptr, MAKEINTRESOURCEA(id));
}

void Win32Backend::SetScreenCursor(CursorShape shape) {
  screenCursor_ = shape;
  SetCursor(CursorOf(shape == CursorShape::Default ? CursorShape::Arrow : shape));
}

}  // namespace ui::win32

namespace ui {

Backend& DefaultBackend() { return win32::Win32Backend::Instance(); }

}  // namespace ui
