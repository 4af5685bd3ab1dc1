// Control peers of the Win32 backend and the one window-procedure trampoline.
//
// Each control has one window. A peer finds its control through the window property
// "zkSSPeer"; the property is removed first when the peer dies, so messages sent while a
// window is being destroyed (or after the host destroyed the parent) find nothing and do
// nothing. Notifications of native controls (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*) arrive at
// the parent window and are handed to the child's peer.
#include <windows.h>
// The common controls' header needs <windows.h> before it.
#include <commctrl.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "ui/BasicControls.h"
#include "ui/ComboBox.h"
#include "ui/CustomControl.h"
#include "ui/Form.h"
#include "ui/ListBox.h"
#include "ui/TabControl.h"
#include "ui/ToolBar.h"
#include "ui/win32/ForegroundTracker.h"
#include "ui/win32/GdiCanvas.h"
#include "ui/win32/Win32Backend.h"

namespace ui::win32 {

namespace {

constexpr const char* kPeerProperty = "zkSSPeer";
constexpr int kComboListHeight = 200;

ShiftState CurrentShift() {
  return ShiftState{(GetKeyState(VK_SHIFT) & 0x8000) != 0, (GetKeyState(VK_CONTROL) & 0x8000) != 0,
                    (GetKeyState(VK_MENU) & 0x8000) != 0};
}

ShiftState MouseShift(WPARAM keys) {
  return ShiftState{(keys & MK_SHIFT) != 0, (keys & MK_CONTROL) != 0,
                    (GetKeyState(VK_MENU) & 0x8000) != 0};
}

// The tab control's class lives in the common controls library, which must be told first.
void InitTabClass() {
  static const bool ready = [] {
    INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_TAB_CLASSES};
    return InitCommonControlsEx(&init) != FALSE;
  }();
  if (!ready) throw std::runtime_error("cannot initialise the common controls' tab class");
}

std::string WindowText(HWND window) {
  int length = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(std::max(0, length)) + 1, '\0');
  int got = GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(0, got)));
  return text;
}

}  // namespace

class Win32Peer final : public ControlPeer {
 public:
  explicit Win32Peer(Control& control) : control_(control) {
    RegisterClasses();
    HWND parent = nullptr;
    if (control.Parent() != nullptr) {
      parent = reinterpret_cast<HWND>(control.Parent()->Peer().NativeHandle());
    } else {
      parent = reinterpret_cast<HWND>(control.ForeignParent());
      if (parent != nullptr && !IsWindow(parent)) parent = nullptr;
    }
    const char* cls = kWindowClass;
    DWORD style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (parent != nullptr ? WS_CHILD : WS_POPUP);
    DWORD exStyle = 0;
    switch (control.Kind()) {
      case ControlKind::Label:
        cls = "STATIC";
        style |= SS_LEFT | SS_NOTIFY;
        break;
      case ControlKind::Edit:
        cls = "EDIT";
        style |= ES_AUTOHSCROLL | WS_TABSTOP;
        exStyle |= WS_EX_CLIENTEDGE;
        break;
      case ControlKind::CheckBox:
        cls = "BUTTON";
        style |= BS_AUTOCHECKBOX | WS_TABSTOP;
        break;
      case ControlKind::RadioButton:
        // WS_GROUP goes on the group's first member once the group is known (ApplyState).
        cls = "BUTTON";
        style |= BS_AUTORADIOBUTTON | WS_TABSTOP;
        break;
      case ControlKind::Button:
        cls = "BUTTON";
        style |= BS_PUSHBUTTON | WS_TABSTOP;
        break;
      case ControlKind::ComboBox:
        cls = "COMBOBOX";
        style |= WS_VSCROLL | WS_TABSTOP |
                 (static_cast<ComboBox&>(control).Style() == ComboStyle::DropDownList
                      ? CBS_DROPDOWNLIST
                      : CBS_DROPDOWN | CBS_AUTOHSCROLL);
        break;
      case ControlKind::Custom:
        style |= WS_TABSTOP;
        break;
      case ControlKind::TabControl:
        // Fixed-width tabs of the toolkit's size, so pages sit where the core places them.
        InitTabClass();
        cls = WC_TABCONTROLA;
        style |= WS_TABSTOP | TCS_FIXEDWIDTH | TCS_FOCUSONBUTTONDOWN;
        break;
      case ControlKind::ListBox:
        cls = "LISTBOX";
        style |= WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
        exStyle |= WS_EX_CLIENTEDGE;
        break;
      default:
        break;
    }
    native_ = cls != kWindowClass;
    // Children start visible (the core's default) inside their parent; a root form is shown
    // by its owner.
    if (parent != nullptr) style |= WS_VISIBLE;
    window_ = CreateWindowExA(exStyle, cls, "", style, 0, 0, 0, 0, parent, nullptr, ModuleHandle(),
                              nullptr);
    if (window_ == nullptr)
      throw std::runtime_error("cannot create a window for \"" + control.Name() + "\"");
    SetPropA(window_, kPeerProperty, this);
    if (native_) {
      oldProc_ = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Trampoline)));
      // The edit box inside an editable combo box takes the keys: route it to the combo.
      if (control.Kind() == ControlKind::ComboBox) {
        inner_ = GetWindow(window_, GW_CHILD);
        if (inner_ != nullptr) {
          SetPropA(inner_, kPeerProperty, this);
          innerProc_ = reinterpret_cast<WNDPROC>(
              SetWindowLongPtrA(inner_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Trampoline)));
        }
      }
    }
    ApplyFont();
  }

  ~Win32Peer() override {
    FormGoing();
    if (inner_ != nullptr && IsWindow(inner_)) RemovePropA(inner_, kPeerProperty);
    if (IsWindow(window_)) {
      RemovePropA(window_, kPeerProperty);
      if (GetCapture() == window_) ::ReleaseCapture();
      DestroyWindow(window_);
    }
    if (font_ != nullptr) DeleteObject(font_);
    if (brush_ != nullptr) DeleteObject(brush_);
    if (glyph_ != nullptr) DeleteObject(glyph_);
  }

  void Changed(Property what) override {
    if (!IsWindow(window_)) return;
    switch (what) {
      case Property::Bounds: {
        const Rect& b = control_.Bounds();
        int height = b.Height() + (control_.Kind() == ControlKind::ComboBox ? kComboListHeight : 0);
        MoveWindow(window_, b.left, b.top, b.Width(), height, TRUE);
        break;
      }
      case Property::Visible:
        if (control_.Parent() != nullptr || control_.ForeignParent() != 0) {
          ShowWindow(window_, control_.Visible() ? SW_SHOWNA : SW_HIDE);
        }
        break;
      case Property::Enabled:
        EnableWindow(window_, control_.Enabled() ? TRUE : FALSE);
        break;
      case Property::Caption: {
        suppress_ = true;
        SetWindowTextA(window_, control_.Caption().c_str());
        suppress_ = false;
        if (!native_) InvalidateRect(window_, nullptr, FALSE);
        break;
      }
      case Property::Color:
        InvalidateRect(window_, nullptr, TRUE);
        break;
      case Property::Font:
        ApplyFont();
        break;
      case Property::State:
        ApplyState();
        break;
      case Property::Items:
        ApplyItems();
        break;
      case Property::Scroll:
        ApplyScroll();
        break;
      case Property::Cursor:
        break;
    }
  }

  void Invalidate(const Rect* area) override {
    if (!IsWindow(window_)) return;
    if (area == nullptr) {
      InvalidateRect(window_, nullptr, FALSE);
    } else {
      RECT r{area->left, area->top, area->right, area->bottom};
      InvalidateRect(window_, &r, FALSE);
    }
  }
  void Focus() override {
    if (IsWindow(window_)) ::SetFocus(window_);
  }
  void Capture(bool on) override {
    if (on) {
      ::SetCapture(window_);
    } else if (GetCapture() == window_) {
      ::ReleaseCapture();
    }
  }
  uintptr_t NativeHandle() const override { return reinterpret_cast<uintptr_t>(window_); }

  // A form inside the host's window holds its hot keys only while that window is active;
  // a free-standing form is its own top-level window and counts as active.
  void FormReady() override {
    if (control_.Kind() != ControlKind::Form || GetParent(window_) == nullptr) return;
    TrackForeground(static_cast<Form&>(control_), window_);
    tracked_ = true;
  }
  void FormGoing() override {
    if (!tracked_) return;
    tracked_ = false;
    UntrackForeground(static_cast<Form&>(control_));
  }

  // One message for this control's window (or the inner edit of its combo box).
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  LRESULT Default(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc = window == inner_ ? innerProc_ : oldProc_;
    if (proc != nullptr) return CallWindowProcA(proc, window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
  }
  MouseEvent Mouse(HWND window, MouseButton button, WPARAM keys, LPARAM lParam) {
    POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (window != window_) MapWindowPoints(window, window_, &p, 1);
    MouseEvent event;
    event.button = button;
    event.shift = MouseShift(keys);
    event.pos = Point{p.x, p.y};
    return event;
  }
  void Command(WORD code);
  LRESULT Notify(UINT code);
  // A failed call on a native control names the control and the call.
  [[noreturn]] void Fail(const char* what) const {
    throw std::runtime_error(std::string(what) + " failed for \"" + control_.Name() + "\"");
  }
  LRESULT ColorFor(HDC dc);
  void Paint(HDC dc);
  void ApplyFont();
  void ApplyState();
  void ApplyGlyph();
  void ApplyItems();
  void ApplyScroll();

  Control& control_;
  HWND window_ = nullptr;
  HWND inner_ = nullptr;
  bool native_ = false;
  bool suppress_ = false;
  bool tracked_ = false;
  WNDPROC oldProc_ = nullptr;
  WNDPROC innerProc_ = nullptr;
  HFONT font_ = nullptr;
  HBRUSH brush_ = nullptr;
  Color brushColor_{};
  HBITMAP glyph_ = nullptr;  // the button's picture, owned here (BM_SETIMAGE does not own it)
};

void Win32Peer::ApplyFont() {
  const ui::Font& f = control_.Font();
  LOGFONTA logical{};
  logical.lfHeight = -MulDiv(f.size, 96, 72);
  logical.lfWeight = f.bold ? FW_BOLD : FW_NORMAL;
  logical.lfItalic = f.italic ? TRUE : FALSE;
  logical.lfUnderline = f.underline ? TRUE : FALSE;
  logical.lfStrikeOut = f.strikeOut ? TRUE : FALSE;
  logical.lfCharSet = f.charset;
  lstrcpynA(logical.lfFaceName, f.name.c_str(), LF_FACESIZE);
  HFONT font = CreateFontIndirectA(&logical);
  if (font == nullptr) return;
  SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  if (font_ != nullptr) DeleteObject(font_);
  font_ = font;
}

void Win32Peer::ApplyState() {
  switch (control_.Kind()) {
    case ControlKind::Edit: {
      auto& edit = static_cast<Edit&>(control_);
      SendMessageA(window_, EM_SETREADONLY, edit.ReadOnly() ? TRUE : FALSE, 0);
      SendMessageA(window_, EM_SETPASSWORDCHAR,
                   static_cast<WPARAM>(static_cast<unsigned char>(edit.PasswordChar())), 0);
      SendMessageA(window_, EM_LIMITTEXT, static_cast<WPARAM>(edit.MaxLength()), 0);
      SendMessageA(window_, EM_SETSEL, static_cast<WPARAM>(edit.SelStart()),
                   static_cast<LPARAM>(edit.SelStart() + edit.SelLength()));
      InvalidateRect(window_, nullptr, TRUE);
      break;
    }
    case ControlKind::CheckBox:
      SendMessageA(window_, BM_SETCHECK,
                   static_cast<CheckBox&>(control_).Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    case ControlKind::RadioButton: {
      auto& radio = static_cast<RadioButton&>(control_);
      LONG_PTR style = GetWindowLongPtrA(window_, GWL_STYLE);
      LONG_PTR grouped = radio.FirstInGroup() ? (style | WS_GROUP) : (style & ~WS_GROUP);
      if (grouped != style) SetWindowLongPtrA(window_, GWL_STYLE, grouped);
      SendMessageA(window_, BM_SETCHECK, radio.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    }
    case ControlKind::Button:
      ApplyGlyph();
      break;
    case ControlKind::TabControl: {
      const int index = static_cast<TabControl&>(control_).TabIndex();
      if (index < 0) break;
      suppress_ = true;
      SendMessageA(window_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
      suppress_ = false;
      if (SendMessageA(window_, TCM_GETCURSEL, 0, 0) != index) Fail("TCM_SETCURSEL");
      break;
    }
    case ControlKind::ListBox: {
      auto& list = static_cast<ListBox&>(control_);
      suppress_ = true;
      const LRESULT height = SendMessageA(window_, LB_SETITEMHEIGHT, 0, list.ItemHeight());
      // LB_SETCURSEL answers LB_ERR for -1 (no choice) although nothing failed.
      const LRESULT chosen =
          SendMessageA(window_, LB_SETCURSEL, static_cast<WPARAM>(list.ItemIndex()), 0);
      suppress_ = false;
      if (height == LB_ERR) Fail("LB_SETITEMHEIGHT");
      if (list.ItemIndex() >= 0 && chosen == LB_ERR) Fail("LB_SETCURSEL");
      break;
    }
    case ControlKind::ComboBox: {
      auto& combo = static_cast<ComboBox&>(control_);
      suppress_ = true;
      SendMessageA(window_, CB_SETCURSEL, static_cast<WPARAM>(combo.ItemIndex()), 0);
      if (combo.ItemIndex() < 0 && combo.Style() == ComboStyle::DropDown)
        SetWindowTextA(window_, combo.Text().c_str());
      SendMessageA(window_, CB_SHOWDROPDOWN, combo.DroppedDown() ? TRUE : FALSE, 0);
      suppress_ = false;
      break;
    }
    default:
      InvalidateRect(window_, nullptr, FALSE);
      break;
  }
}

// The glyph becomes an opaque top-down DIB section blended over the button face, since a
// BS_BITMAP button draws its bitmap without alpha.
void Win32Peer::ApplyGlyph() {
  const Image& glyph = static_cast<Button&>(control_).Glyph();
  HBITMAP bitmap = nullptr;
  if (!glyph.IsEmpty()) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = glyph.Width();
    info.bmiHeader.biHeight = -glyph.Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) {
      if (bitmap != nullptr) DeleteObject(bitmap);
      return;
    }
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    auto* out = static_cast<uint32_t*>(bits);
    for (int y = 0; y < glyph.Height(); ++y) {
      for (int x = 0; x < glyph.Width(); ++x) {
        const Rgba p = glyph.At(x, y);
        auto mix = [&p](uint8_t over, uint8_t under) {
          return static_cast<uint32_t>((over * p.a + under * (255 - p.a)) / 255);
        };
        *out++ = (mix(p.r, GetRValue(face)) << 16) | (mix(p.g, GetGValue(face)) << 8) |
                 mix(p.b, GetBValue(face));
      }
    }
  }
  LONG_PTR style = GetWindowLongPtrA(window_, GWL_STYLE);
  LONG_PTR wanted = bitmap != nullptr ? (style | BS_BITMAP) : (style & ~BS_BITMAP);
  if (wanted != style) SetWindowLongPtrA(window_, GWL_STYLE, wanted);
  SendMessageA(window_, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
  if (glyph_ != nullptr) DeleteObject(glyph_);
  glyph_ = bitmap;
  InvalidateRect(window_, nullptr, TRUE);
}

void Win32Peer::ApplyItems() {
  if (control_.Kind() == ControlKind::TabControl) {
    auto& tabs = static_cast<TabControl&>(control_);
    suppress_ = true;
    const BOOL cleared = static_cast<BOOL>(SendMessageA(window_, TCM_DELETEALLITEMS, 0, 0));
    SendMessageA(window_, TCM_SETITEMSIZE, 0,
                 MAKELPARAM(tabs.TabWidth(), TabControl::kTabHeight - 2));
    int index = 0;
    bool inserted = true;
    for (const std::string& caption : tabs.Captions()) {
      TCITEMA item{};
      item.mask = TCIF_TEXT;
      item.pszText = const_cast<char*>(caption.c_str());
      inserted = inserted && SendMessageA(window_, TCM_INSERTITEMA, static_cast<WPARAM>(index),
                                          reinterpret_cast<LPARAM>(&item)) == index;
      ++index;
    }
    suppress_ = false;
    if (!cleared) Fail("TCM_DELETEALLITEMS");
    if (!inserted) Fail("TCM_INSERTITEM");
    ApplyState();
    return;
  }
  if (control_.Kind() == ControlKind::ListBox) {
    auto& list = static_cast<ListBox&>(control_);
    suppress_ = true;
    SendMessageA(window_, LB_RESETCONTENT, 0, 0);
    bool added = true;
    for (const std::string& item : list.Items()) {
      const LRESULT at =
          SendMessageA(window_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
      added = added && at != LB_ERR && at != LB_ERRSPACE;
    }
    suppress_ = false;
    if (!added) Fail("LB_ADDSTRING");
    return;
  }
  if (control_.Kind() != ControlKind::ComboBox) return;
  auto& combo = static_cast<ComboBox&>(control_);
  suppress_ = true;
  SendMessageA(window_, CB_RESETCONTENT, 0, 0);
  for (const std::string& item : combo.Items()) {
    SendMessageA(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  suppress_ = false;
}

void Win32Peer::ApplyScroll() {
  if (control_.Kind() == ControlKind::ListBox) {
    const int top = static_cast<ListBox&>(control_).TopIndex();
    if (SendMessageA(window_, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0) == LB_ERR &&
        top < static_cast<ListBox&>(control_).Count())
      Fail("LB_SETTOPINDEX");
    return;
  }
  if (control_.Kind() != ControlKind::Custom) return;
  auto& custom = static_cast<CustomControl&>(control_);
  for (auto [kind, bar] : {std::pair{ScrollBarKind::Horizontal, SB_HORZ},
                           std::pair{ScrollBarKind::Vertical, SB_VERT}}) {
    const ScrollBarState& state = custom.ScrollBar(kind);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    info.nMin = state.min;
    info.nMax = state.max;
    info.nPage = static_cast<UINT>(state.page);
    info.nPos = state.position;
    SetScrollInfo(window_, bar, &info, TRUE);
    ShowScrollBar(window_, bar, state.visible ? TRUE : FALSE);
  }
}

void Win32Peer::Paint(HDC dc) {
  RECT client;
  GetClientRect(window_, &client);
  GdiCanvas canvas(dc, Size{client.right, client.bottom});
  control_.Paint(canvas);
}

LRESULT Win32Peer::ColorFor(HDC dc) {
  Color c = control_.BackColor();
  if (brush_ == nullptr || !(brushColor_ == c)) {
    if (brush_ != nullptr) DeleteObject(brush_);
    brush_ = CreateSolidBrush(RGB(c.r, c.g, c.b));
    brushColor_ = c;
  }
  SetBkColor(dc, RGB(c.r, c.g, c.b));
  SetTextColor(dc, control_.EffectivelyEnabled() ? RGB(0, 0, 0) : GetSysColor(COLOR_GRAYTEXT));
  return reinterpret_cast<LRESULT>(brush_);
}

void Win32Peer::Command(WORD code) {
  if (suppress_) return;
  switch (control_.Kind()) {
    case ControlKind::Button:
      if (code == BN_CLICKED) control_.HandleClick();
      break;
    case ControlKind::CheckBox:
      if (code == BN_CLICKED) {
        static_cast<CheckBox&>(control_).NoteChecked(SendMessageA(window_, BM_GETCHECK, 0, 0) ==
                                                     BST_CHECKED);
      }
      break;
    case ControlKind::RadioButton:
      // The native button has checked itself (and unchecked its native group); the control
      // checks itself in its own group and reports a change only when there was one.
      if (code == BN_CLICKED) static_cast<RadioButton&>(control_).NoteChecked();
      break;
    case ControlKind::Edit:
      if (code == EN_CHANGE) {
        auto& edit = static_cast<Edit&>(control_);
        DWORD start = 0, end = 0;
        SendMessageA(window_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        edit.NoteText(WindowText(window_));
        edit.NoteSelection(static_cast<int>(start), static_cast<int>(end - start));
      }
      break;
    case ControlKind::ComboBox: {
      auto& combo = static_cast<ComboBox&>(control_);
      if (code == CBN_SELCHANGE) {
        combo.NoteItemChosen(static_cast<int>(SendMessageA(window_, CB_GETCURSEL, 0, 0)));
      } else if (code == CBN_EDITCHANGE) {
        combo.NoteTextEdited(WindowText(window_));
      }
      break;
    }
    case ControlKind::Label:
      if (code == STN_CLICKED) control_.HandleClick();
      break;
    case ControlKind::ListBox:
      if (code == LBN_SELCHANGE) {
        const LRESULT chosen = SendMessageA(window_, LB_GETCURSEL, 0, 0);
        if (chosen != LB_ERR)
          static_cast<ListBox&>(control_).NoteItemChosen(static_cast<int>(chosen));
      }
      break;
    default:
      break;
  }
}

LRESULT Win32Peer::Notify(UINT code) {
  if (suppress_ || control_.Kind() != ControlKind::TabControl) return 0;
  // TCN_SELCHANGING answers 0 (allowed); TCN_SELCHANGE reports the tab the user chose.
  if (code == TCN_SELCHANGE) {
    const LRESULT chosen = SendMessageA(window_, TCM_GETCURSEL, 0, 0);
    if (chosen >= 0) static_cast<TabControl&>(control_).NoteTabChosen(static_cast<int>(chosen));
  }
  return 0;
}

LRESULT Win32Peer::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Form* form = control_.OwnerForm();
  switch (message) {
    case WM_PAINT:
      if (!native_) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        Paint(dc);
        EndPaint(window, &ps);
        return 0;
      }
      break;
    case WM_PRINTCLIENT:
      if (!native_) {
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      if (!native_) return 1;
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      MouseButton button = message == WM_LBUTTONDOWN   ? MouseButton::Left
                           : message == WM_RBUTTONDOWN ? MouseButton::Right
                                                       : MouseButton::Middle;
      if (!native_ && button == MouseButton::Left && control_.CanFocus()) control_.SetFocus();
      control_.HandleMouseDown(Mouse(window, button, wParam, lParam));
      break;
    }
    case WM_MOUSEMOVE:
      control_.HandleMouseMove(Mouse(window, MouseButton::Left, wParam, lParam));
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      MouseButton button = message == WM_LBUTTONUP   ? MouseButton::Left
                           : message == WM_RBUTTONUP ? MouseButton::Right
                                                     : MouseButton::Middle;
      control_.HandleMouseUp(Mouse(window, button, wParam, lParam));
      if (!native_ && button == MouseButton::Left && message == WM_LBUTTONUP) {
        RECT client;
        GetClientRect(window_, &client);
        POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (control_.Kind() != ControlKind::ToolBar && PtInRect(&client, p)) control_.HandleClick();
      }
      break;
    }
    case WM_LBUTTONDBLCLK:
      control_.HandleDoubleClick(Mouse(window, MouseButton::Left, wParam, lParam));
      break;
    case WM_MOUSEWHEEL: {
      POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      ScreenToClient(window_, &p);
      MouseEvent event;
      event.button = MouseButton::Middle;
      event.shift = MouseShift(GET_KEYSTATE_WPARAM(wParam));
      event.pos = Point{p.x, p.y};
      event.wheelDelta = GET_WHEEL_DELTA_WPARAM(wParam);
      control_.HandleMouseWheel(event);
      // The native list scrolls itself; other controls leave the wheel to the toolkit.
      if (control_.Kind() == ControlKind::ListBox) break;
      return 0;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (form != nullptr) {
        int left = form->RouteKeyDown(&control_, static_cast<int>(wParam), CurrentShift());
        if (left == 0) return 0;
        wParam = static_cast<WPARAM>(left);
        // With no dialog manager in the loop, Enter and Escape press the form's default and
        // cancel buttons here, except while a combo box's list is open (the keys close it).
        const bool listOpen = control_.Kind() == ControlKind::ComboBox &&
                              SendMessageA(window_, CB_GETDROPPEDSTATE, 0, 0) != 0;
        if (message == WM_KEYDOWN && !listOpen && form->PressExitButton(&control_, left)) return 0;
      }
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      int key = static_cast<int>(wParam);
      control_.HandleKeyUp(key, CurrentShift());
      if (key == 0) return 0;
      break;
    }
    case WM_CHAR:
      if (form != nullptr) {
        char c = form->RouteKeyPress(&control_, static_cast<char>(wParam));
        if (c == 0) return 0;
        wParam = static_cast<WPARAM>(static_cast<unsigned char>(c));
      }
      break;
    case WM_GETDLGCODE:
      if (control_.Kind() == ControlKind::Custom)
        return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
      break;
    case WM_SETFOCUS:
      if (form != nullptr) form->NoteFocus(&control_);
      break;
    case WM_KILLFOCUS: {
      HWND next = reinterpret_cast<HWND>(wParam);
      bool inForm = form != nullptr && next != nullptr &&
                    IsChild(reinterpret_cast<HWND>(form->Peer().NativeHandle()), next);
      if (form != nullptr && !inForm && form->ActiveControl() == &control_)
        form->NoteFocus(nullptr);
      break;
    }
    case WM_CAPTURECHANGED:
      if (form != nullptr && form->CaptureControl() == &control_ &&
          reinterpret_cast<HWND>(lParam) != window_) {
        form->NoteCapture(nullptr);
      }
      break;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        CursorShape shape = Win32Backend::Instance().ScreenCursor();
        if (shape == CursorShape::Default) shape = control_.Cursor();
        if (shape != CursorShape::Default) {
          SetCursor(Win32Backend::CursorOf(shape));
          return TRUE;
        }
      }
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (lParam == 0 && control_.Kind() == ControlKind::Custom) {
        int bar = message == WM_HSCROLL ? SB_HORZ : SB_VERT;
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS | SIF_POS;
        GetScrollInfo(window_, bar, &info);
        ScrollCode code = ScrollCode::EndScroll;
        int32_t position = info.nPos;
        switch (LOWORD(wParam)) {
          case SB_LINEUP:
            code = ScrollCode::LineUp;
            break;
          case SB_LINEDOWN:
            code = ScrollCode::LineDown;
            break;
          case SB_PAGEUP:
            code = ScrollCode::PageUp;
            break;
          case SB_PAGEDOWN:
            code = ScrollCode::PageDown;
            break;
          case SB_THUMBTRACK:
            code = ScrollCode::Track;
            position = info.nTrackPos;
            break;
          case SB_THUMBPOSITION:
            code = ScrollCode::Position;
            position = info.nTrackPos;
            break;
          case SB_TOP:
            code = ScrollCode::Top;
            break;
          case SB_BOTTOM:
            code = ScrollCode::Bottom;
            break;
          default:
            break;
        }
        static_cast<CustomControl&>(control_).HandleScroll(
            message == WM_HSCROLL ? ScrollBarKind::Horizontal : ScrollBarKind::Vertical, code,
            position);
        return 0;
      }
      break;
    case WM_COMMAND:
      if (lParam != 0) {
        auto* child =
            static_cast<Win32Peer*>(GetPropA(reinterpret_cast<HWND>(lParam), kPeerProperty));
        if (child != nullptr) {
          child->Command(HIWORD(wParam));
          return 0;
        }
      }
      break;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      auto* child = header != nullptr
                        ? static_cast<Win32Peer*>(GetPropA(header->hwndFrom, kPeerProperty))
                        : nullptr;
      if (child != nullptr && child != this) return child->Notify(header->code);
      break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: {
      auto* child =
          static_cast<Win32Peer*>(GetPropA(reinterpret_cast<HWND>(lParam), kPeerProperty));
      if (child != nullptr) return child->ColorFor(reinterpret_cast<HDC>(wParam));
      break;
    }
    default:
      // The foreign owner's private messages (the host's "fill your rectangle") go to the
      // form; a message it does not take is handled as usual.
      if (message >= WM_USER && control_.Kind() == ControlKind::Form &&
          static_cast<Form&>(control_).DeliverForeignMessage(message, lParam)) {
        return 0;
      }
      break;
  }
  return Default(window, message, wParam, lParam);
}

LRESULT CALLBACK Trampoline(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* peer = static_cast<Win32Peer*>(GetPropA(window, kPeerProperty));
  try {
    if (peer != nullptr) return peer->Handle(window, message, wParam, lParam);
  } catch (...) {
    // No exception crosses a window procedure; the message is handled as if unhandled.
  }
  if (peer == nullptr && message == WM_NCDESTROY) RemovePropA(window, kPeerProperty);
  return DefWindowProcA(window, message, wParam, lParam);
}

std::unique_ptr<ControlPeer> CreateWin32Peer(Control& control) {
  return std::make_unique<Win32Peer>(control);
}

}  // namespace ui::win32
