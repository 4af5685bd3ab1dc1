// Layout dialogs on Win32: a real modal dialog (DialogBoxIndirectParam on an empty in-memory
// template) whose native controls are created in pixels from the layout when the dialog
// starts, so that both backends place every control at the same client position.
//
// Every control carries the window property "zkSSItem" holding a global atom of its item
// name, and the dialog the property "zkSSLayoutDialog": a driver (the substitute host's
// dialog answerer) finds the controls by name through them.
#include <windows.h>
// The common controls' header needs <windows.h> before it.
#include <commctrl.h>

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/ModalScope.h"
#include "ui/win32/Win32Backend.h"

namespace ui::win32 {

namespace {

constexpr const char* kItemProperty = "zkSSItem";
constexpr const char* kDialogProperty = "zkSSLayoutDialog";
constexpr int kFirstItemId = 1000;
constexpr int kArrowsIdOffset = 500;

class Win32Dialog final : public DialogControls {
 public:
  Win32Dialog(const DialogLayout& layout, DialogHandler& handler)
      : layout_(layout), handler_(handler) {}
  ~Win32Dialog() override {
    for (auto& [name, brush] : brushes_) DeleteObject(brush);
    for (ATOM atom : atoms_) GlobalDeleteAtom(atom);
  }
  Win32Dialog(const Win32Dialog&) = delete;
  Win32Dialog& operator=(const Win32Dialog&) = delete;

  void Start(HWND dialog) {
    dialog_ = dialog;
    SetPropA(dialog, kDialogProperty, reinterpret_cast<HANDLE>(1));
    SetWindowTextA(dialog, layout_.caption.c_str());
    // The client size of the layout, the window centred on the work area.
    RECT frame{0, 0, layout_.clientWidth, layout_.clientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_EXSTYLE)));
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(dialog, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    for (size_t i = 0; i < layout_.items.size(); ++i)
      Build(layout_.items[i], static_cast<int>(i), font);
    handler_.Init(*this);
  }

  // A command from a control; true when the dialog ended.
  bool Command(int id) {
    DialogButton result = DialogButton::None;
    const DialogItem* item = ItemOf(id);
    if (item != nullptr && item->kind == DialogItemKind::Button) {
      if (item->result == DialogButton::None) {
        handler_.Clicked(*this, item->name);
        return false;
      }
      result = item->result;
    } else if (id == IDOK && HasClosing(DialogButton::Ok)) {
      result = DialogButton::Ok;
    } else if (id == IDCANCEL) {
      result = DialogButton::Cancel;
    } else {
      return false;
    }
    // Closing reads the controls, which exist until EndDialog returns to the modal loop.
    closingCalled_ = true;
    handler_.Closing(*this, result);
    result_ = result;
    EndDialog(dialog_, 1);
    return true;
  }

  // A failure inside a handler: the dialog ends as Cancel.
  void Fail() {
    if (!closingCalled_) {
      closingCalled_ = true;
      try {
        handler_.Closing(*this, DialogButton::Cancel);
      } catch (...) {
      }
    }
    result_ = DialogButton::Cancel;
    EndDialog(dialog_, 0);
  }

  HBRUSH SwatchBrush(HWND control) {
    for (auto& [name, window] : windows_) {
      if (window == control && brushes_.count(name) != 0) return brushes_[name];
    }
    return nullptr;
  }

  DialogButton Result() const { return result_; }

  std::string Text(const std::string& name) const override {
    HWND window = Window(name, {DialogItemKind::Label, DialogItemKind::Note, DialogItemKind::Edit,
                                DialogItemKind::SpinEdit});
    int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(0, copied)));
    return text;
  }
  void SetText(const std::string& name, const std::string& text) override {
    SetWindowTextA(Window(name, {DialogItemKind::Label, DialogItemKind::Note, DialogItemKind::Edit,
                                 DialogItemKind::SpinEdit}),
                   text.c_str());
  }
  bool Checked(const std::string& name) const override {
    return SendMessageA(Window(name, {DialogItemKind::CheckBox}), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  void SetChecked(const std::string& name, bool checked) override {
    SendMessageA(Window(name, {DialogItemKind::CheckBox}), BM_SETCHECK,
                 checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  Color SwatchColor(const std::string& name) const override {
    Window(name, {DialogItemKind::Swatch});
    return colors_.at(name);
  }
  void SetSwatchColor(const std::string& name, Color color) override {
    HWND window = Window(name, {DialogItemKind::Swatch});
    colors_[name] = color;
    if (brushes_.count(name) != 0) DeleteObject(brushes_[name]);
    brushes_[name] = CreateSolidBrush(RGB(color.r, color.g, color.b));
    InvalidateRect(window, nullptr, TRUE);
  }

 private:
  void Build(const DialogItem& item, int index, HFONT font) {
    const char* cls = "STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    int id = kFirstItemId + index;
    const Rect& r = item.bounds;
    switch (item.kind) {
      case DialogItemKind::Label:
        style |= SS_LEFT | SS_LEFTNOWORDWRAP;
        break;
      case DialogItemKind::Note:
        style |= SS_LEFT;
        break;
      case DialogItemKind::Edit:
      case DialogItemKind::SpinEdit:
        cls = "EDIT";
        style |= ES_AUTOHSCROLL | WS_TABSTOP;
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case DialogItemKind::CheckBox:
        cls = "BUTTON";
        style |= BS_AUTOCHECKBOX | WS_TABSTOP;
        break;
      case DialogItemKind::Button:
        cls = "BUTTON";
        style |= (item.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP |
                 (item.flat ? BS_FLAT : 0);
        if (item.result == DialogButton::Ok) id = IDOK;
        if (item.result == DialogButton::Cancel) id = IDCANCEL;
        break;
      case DialogItemKind::Swatch:
        style |= WS_BORDER;
        colors_[item.name] = colors::kWhite;
        brushes_[item.name] = CreateSolidBrush(RGB(255, 255, 255));
        break;
    }
    ids_[id] = &item;
    HWND window = CreateWindowExA(
        exStyle, cls, item.caption.c_str(), style, r.left, r.top, r.Width(), r.Height(), dialog_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ModuleHandle(), nullptr);
    if (window == nullptr) throw std::runtime_error("cannot create control " + item.name);
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    Name(window, item.name);
    windows_[item.name] = window;
    if (item.kind == DialogItemKind::Edit || item.kind == DialogItemKind::SpinEdit) {
      // 0 lifts the limit to the system's largest; otherwise the layout's.
      SendMessageA(window, EM_SETLIMITTEXT, static_cast<WPARAM>(item.maxLength), 0);
    }
    if (item.kind == DialogItemKind::SpinEdit) {
      HWND arrows = CreateWindowExA(
          0, UPDOWN_CLASSA, "",
          WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS |
              UDS_NOTHOUSANDS,
          0, 0, 0, 0, dialog_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id + kArrowsIdOffset)),
          ModuleHandle(), nullptr);
      if (arrows == nullptr) throw std::runtime_error("cannot create the arrows of " + item.name);
      SendMessageA(arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(window), 0);
      SendMessageA(arrows, UDM_SETRANGE32, static_cast<WPARAM>(item.minValue),
                   static_cast<LPARAM>(item.maxValue));
      Name(arrows, item.name + ".Arrows");
    }
  }

  void Name(HWND window, const std::string& name) {
    ATOM atom = GlobalAddAtomA(name.c_str());
    if (atom == 0) return;
    atoms_.push_back(atom);
    SetPropA(window, kItemProperty, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(atom)));
  }

  const DialogItem* ItemOf(int id) const {
    auto found = ids_.find(id);
    return found != ids_.end() ? found->second : nullptr;
  }
  bool HasClosing(DialogButton result) const {
    for (const DialogItem& item : layout_.items)
      if (item.kind == DialogItemKind::Button && item.result == result) return true;
    return false;
  }

  HWND Window(const std::string& name, std::initializer_list<DialogItemKind> kinds) const {
    const DialogItem* item = layout_.Find(name);
    bool fits = item != nullptr && std::find(kinds.begin(), kinds.end(), item->kind) != kinds.end();
    auto found = windows_.find(name);
    if (!fits || found == windows_.end())
      throw std::out_of_range("the dialog has no control \"" + name + "\"");
    return found->second;
  }

  const DialogLayout& layout_;
  DialogHandler& handler_;
  HWND dialog_ = nullptr;
  std::map<int, const DialogItem*> ids_;
  std::map<std::string, HWND> windows_;
  std::map<std::string, Color> colors_;
  std::map<std::string, HBRUSH> brushes_;
  std::vector<ATOM> atoms_;
  bool closingCalled_ = false;
  DialogButton result_ = DialogButton::Cancel;
};

INT_PTR CALLBACK LayoutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<Win32Dialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
  try {
    switch (message) {
      case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        reinterpret_cast<Win32Dialog*>(lParam)->Start(dialog);
        return TRUE;
      case WM_COMMAND:
        if (state != nullptr && HIWORD(wParam) == BN_CLICKED) {
          state->Command(LOWORD(wParam));
          return TRUE;
        }
        break;
      case WM_CTLCOLORSTATIC:
        if (state != nullptr) {
          if (HBRUSH brush = state->SwatchBrush(reinterpret_cast<HWND>(lParam)))
            return reinterpret_cast<INT_PTR>(brush);
        }
        break;
      case WM_DESTROY:
        RemovePropA(dialog, kDialogProperty);
        break;
      default:
        break;
    }
  } catch (...) {
    // No exception leaves a dialog procedure: the dialog ends as Cancel.
    if (state != nullptr) {
      state->Fail();
    } else {
      EndDialog(dialog, 0);
    }
    return TRUE;
  }
  return FALSE;
}

}  // namespace

DialogButton Win32Backend::RunLayoutDialog(const DialogLayout& layout, DialogHandler& handler,
                                           uintptr_t owner) {
  ModalScope modal(modalDepth_);
  static const bool commonControls = [] {
    INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_UPDOWN_CLASS};
    return InitCommonControlsEx(&init) != FALSE;
  }();
  (void)commonControls;
  // An empty dialog template: style, extended style, no items, position and size (set in
  // pixels when it starts), no menu, the standard class, a title, then the font.
  std::vector<WORD> t;
  auto dword = [&t](DWORD d) {
    t.push_back(LOWORD(d));
    t.push_back(HIWORD(d));
  };
  auto text = [&t](const std::string& s) {
    for (unsigned char c : s) t.push_back(c);
    t.push_back(0);
  };
  dword(DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  dword(0);
  for (WORD w : {0, 0, 0, 10, 10}) t.push_back(w);
  t.push_back(0);
  t.push_back(0);
  text("");
  t.push_back(static_cast<WORD>(layout.fontSize));
  text(layout.fontName);
  HWND ownerWindow = reinterpret_cast<HWND>(owner);
  if (ownerWindow != nullptr && !IsWindow(ownerWindow)) ownerWindow = nullptr;
  Win32Dialog dialog(layout, handler);
  INT_PTR ended =
      DialogBoxIndirectParamA(ModuleHandle(), reinterpret_cast<LPCDLGTEMPLATEA>(t.data()),
                              ownerWindow, &LayoutDialogProc, reinterpret_cast<LPARAM>(&dialog));
  if (ended <= 0) return DialogButton::Cancel;
  return dialog.Result();
}

}  // namespace ui::win32
