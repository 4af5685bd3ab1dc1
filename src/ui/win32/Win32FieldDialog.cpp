// The layout dialog on Windows: a dialog template made in memory from the description (one
// row per field: label left, control right; the exit buttons in a row below), run with
// DialogBoxIndirectParam. Validation runs on every exit but Cancel; a refusal shows a message
// box and keeps the dialog open.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/FieldDialog.h"
#include "ui/Form.h"
#include "ui/ModalScope.h"
#include "ui/win32/DialogTemplate.h"
#include "ui/win32/Win32Backend.h"

namespace ui::win32 {

namespace {

constexpr WORD kFirstFieldId = 200;
constexpr WORD kFirstButtonId = 400;

struct State {
  FieldDialog* dialog;
  std::string exit = "Cancel";
};

std::string ItemText(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  const int length = GetWindowTextLengthA(item);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  GetWindowTextA(item, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  return text;
}

void Fill(HWND dialog, const FieldDialog& d) {
  SetWindowTextA(dialog, d.caption.c_str());
  for (size_t i = 0; i < d.fields.size(); ++i) {
    const DialogField& f = d.fields[i];
    const int id = kFirstFieldId + static_cast<int>(i);
    switch (f.kind) {
      case DialogField::Kind::Edit:
        SetDlgItemTextA(dialog, id, f.value.c_str());
        break;
      case DialogField::Kind::Check:
        CheckDlgButton(dialog, id, f.value == "1" ? BST_CHECKED : BST_UNCHECKED);
        break;
      case DialogField::Kind::Choice:
        for (const std::string& c : f.choices) {
          SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(c.c_str()));
          if (c == f.value)
            SendDlgItemMessageA(dialog, id, CB_SETCURSEL,
                                SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0) - 1, 0);
        }
        break;
    }
  }
}

FieldDialog Collect(HWND dialog, const FieldDialog& d) {
  FieldDialog out = d;
  for (size_t i = 0; i < out.fields.size(); ++i) {
    DialogField& f = out.fields[i];
    const int id = kFirstFieldId + static_cast<int>(i);
    if (f.kind == DialogField::Kind::Check)
      f.value = IsDlgButtonChecked(dialog, id) == BST_CHECKED ? "1" : "0";
    else
      f.value = ItemText(dialog, id);
  }
  return out;
}

INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    if (message == WM_INITDIALOG) {
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      Fill(dialog, *reinterpret_cast<State*>(lParam)->dialog);
      return TRUE;
    }
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return FALSE;
    auto* state = reinterpret_cast<State*>(GetWindowLongPtrA(dialog, DWLP_USER));
    const int id = LOWORD(wParam);
    std::string exit;
    if (id == IDCANCEL) {
      exit = "Cancel";
    } else if (id == IDOK) {
      exit = state->dialog->buttons.empty() ? "OK" : state->dialog->buttons.front();
    } else if (id >= kFirstButtonId &&
               id < kFirstButtonId + static_cast<int>(state->dialog->buttons.size())) {
      exit = state->dialog->buttons[static_cast<size_t>(id - kFirstButtonId)];
    } else {
      return FALSE;
    }
    if (exit != "Cancel") {
      FieldDialog entered = Collect(dialog, *state->dialog);
      const std::string refusal = entered.validate ? entered.validate(entered) : std::string();
      if (!refusal.empty()) {
        MessageBoxA(dialog, refusal.c_str(), state->dialog->caption.c_str(), MB_OK | MB_ICONERROR);
        return TRUE;
      }
      state->dialog->fields = std::move(entered.fields);
    }
    state->exit = exit;
    EndDialog(dialog, IDOK);
    return TRUE;
  } catch (...) {
    EndDialog(dialog, IDCANCEL);  // no exception leaves a dialog procedure
    return TRUE;
  }
}

}  // namespace

std::string Win32Backend::RunFieldDialog(FieldDialog& dialog, Form* owner) {
  ModalScope modal(modalDepth_);
  const short rowHeight = 16, labelWidth = 110, controlWidth = 120, margin = 7;
  const short buttons = static_cast<short>(dialog.buttons.size());
  const short width =
      std::max<short>(margin * 2 + labelWidth + controlWidth, margin + buttons * 54 + margin);
  const short height =
      static_cast<short>(margin + rowHeight * static_cast<short>(dialog.fields.size()) + 24);
  DialogTemplate t;
  t.DWord(DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  t.DWord(0);
  t.Word(static_cast<WORD>(dialog.fields.size() * 2 + dialog.buttons.size()));
  for (short v : {short(0), short(0), width, height}) t.Word(static_cast<WORD>(v));
  t.Word(0);
  t.Word(0);
  t.Text("");
  t.Word(8);
  t.Text("MS Shell Dlg");
  short y = margin;
  for (size_t i = 0; i < dialog.fields.size(); ++i, y += rowHeight) {
    const DialogField& f = dialog.fields[i];
    const WORD id = static_cast<WORD>(kFirstFieldId + i);
    if (f.kind == DialogField::Kind::Check) {
      t.Item(SS_LEFT, margin, y + 2, labelWidth, 10, 0xFFFF, 0x0082, "");
      t.Item(BS_AUTOCHECKBOX | WS_TABSTOP, margin + labelWidth, y, controlWidth, 12, id, 0x0080,
             f.label);
    } else {
      t.Item(SS_LEFT, margin, y + 2, labelWidth, 10, 0xFFFF, 0x0082, f.label);
      if (f.kind == DialogField::Kind::Edit)
        t.Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, margin + labelWidth, y, controlWidth, 12,
               id, 0x0081, "");
      else
        t.Item(CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, margin + labelWidth, y, controlWidth,
               100, id, 0x0085, "");
    }
  }
  short x = static_cast<short>(width - margin - buttons * 54 + 4);
  for (size_t i = 0; i < dialog.buttons.size(); ++i, x += 54) {
    const std::string& b = dialog.buttons[i];
    const WORD id = b == "Cancel" ? IDCANCEL
                    : i == 0      ? IDOK
                                  : static_cast<WORD>(kFirstButtonId + i);
    t.Item((i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP, x, y + 4, 50, 14, id, 0x0080,
           b);
  }
  State state{&dialog};
  HWND parent = GetActiveWindow();
  if (owner) {
    HWND window = reinterpret_cast<HWND>(owner->Peer().NativeHandle());
    HWND root = GetAncestor(window, GA_ROOT);
    parent = root ? root : window;
  }
  const INT_PTR result =
      DialogBoxIndirectParamA(ModuleHandle(), reinterpret_cast<LPCDLGTEMPLATEA>(t.Data()), parent,
                              &Proc, reinterpret_cast<LPARAM>(&state));
  return result == IDOK ? state.exit : std::string("Cancel");
}

}  // namespace ui::win32
