#include "ui/ModalForm.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "platform/WindowChannel.h"
#include "ui/Backend.h"
#include "ui/BasicControls.h"
#include "ui/ColorGrid.h"
#include "ui/ComboBox.h"
#include "ui/ListBox.h"
#include "ui/TabControl.h"
#include "ui/headless/HeadlessBackend.h"

namespace ui {

// The native loop (win32/Win32ModalForm.cpp on Windows).
DialogButton RunNativeModalForm(ModalForm& modal, Form* owner);

namespace {

std::function<void(Form&)>& Hook() {
  static std::function<void(Form&)> hook;
  return hook;
}

Control* FindByName(Control& root, const std::string& name) {
  if (root.Name() == name) return &root;
  for (const auto& child : root.Children()) {
    if (Control* found = FindByName(*child, name)) return found;
  }
  return nullptr;
}

Button* FindExitButton(Control& root, bool wantDefault) {
  if (root.Kind() == ControlKind::Button) {
    auto& b = static_cast<Button&>(root);
    if (wantDefault ? b.IsDefault() : b.IsCancel()) return &b;
  }
  for (const auto& child : root.Children()) {
    if (Button* found = FindExitButton(*child, wantDefault)) return found;
  }
  return nullptr;
}

bool IsNumber(const std::string& text) {
  return !text.empty() && text.size() < 10 &&
         std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

// "name=value;name=value": every pair that names a control sets it; false at the first that
// does not fit.
bool ApplySettings(Form& form, const std::string& settings) {
  size_t start = 0;
  while (start < settings.size()) {
    size_t end = settings.find(';', start);
    if (end == std::string::npos) end = settings.size();
    const std::string pair = settings.substr(start, end - start);
    start = end + 1;
    if (pair.empty()) continue;
    const size_t eq = pair.find('=');
    if (eq == std::string::npos) return false;
    if (!SetControlFromAnswer(form, pair.substr(0, eq), pair.substr(eq + 1))) return false;
  }
  return true;
}

// The form is still one of the process's: what runs during the dialog (the hook) may have
// destroyed it with its owner, as the window going away ends a native loop.
bool FormAlive(const Form& form) {
  const std::vector<Form*>& forms = headless::HeadlessBackend::Instance().Forms();
  return std::find(forms.begin(), forms.end(), &form) != forms.end();
}

DialogButton RunHeadless(ModalForm& modal) {
  Form& form = modal.GetForm();
  const std::string caption = form.Caption();
  // The form shows while it runs, as the native loop shows it, so input reaches it.
  const bool wasVisible = form.Visible();
  form.SetVisible(true);
  struct Restore {
    Form& form;
    bool visible;
    ~Restore() {
      if (FormAlive(form)) form.SetVisible(visible);
    }
  } restore{form, wasVisible};
  if (Hook()) Hook()(form);
  if (!FormAlive(form)) {
    // Gone: no answer is applied to it and nothing of it is touched.
    const std::string line = "Form \"" + caption + "\" -> Cancel (destroyed)";
    platform::WindowSystem().note_dialog(line.c_str());
    return DialogButton::Cancel;
  }
  DialogButton result = DialogButton::Cancel;
  if (!modal.Ended()) {
    const headless::HeadlessBackend::Answer answer = headless::HeadlessBackend::TakeAnswer();
    std::optional<DialogButton> button =
        answer.present ? ParseDialogButton(answer.button) : std::nullopt;
    if (button) ApplyModalAnswer(modal, *button, answer.value);
  }
  if (modal.Ended()) result = modal.Result();
  const std::string line =
      "Form \"" + form.Caption() + "\" -> " + std::string(DialogButtonName(result));
  platform::WindowSystem().note_dialog(line.c_str());
  return result;
}

}  // namespace

void SetModalFormHook(std::function<void(Form&)> hook) { Hook() = std::move(hook); }

void ApplyModalAnswer(ModalForm& modal, DialogButton button, const std::string& settings) {
  Form& form = modal.GetForm();
  if (!ApplySettings(form, settings) || modal.Ended()) return;
  if (button != DialogButton::Ok && button != DialogButton::Cancel) return;
  // The answer presses the form's own button, so its handler runs as for a user.
  Button* exit = FindExitButton(form, button == DialogButton::Ok);
  if (exit != nullptr && exit->OnClick) exit->OnClick();
}

namespace {

// The tab control holding a page of this name, and the page's index (nullptr: none).
TabControl* TabOfPage(Control& root, const std::string& page, int& index) {
  if (root.Kind() == ControlKind::TabControl) {
    auto* tabs = static_cast<TabControl*>(&root);
    index = tabs->IndexOfPage(page);
    if (index >= 0) return tabs;
  }
  for (const auto& child : root.Children()) {
    if (TabControl* found = TabOfPage(*child, page, index)) return found;
  }
  return nullptr;
}

// A tab control takes a tab index or the name of one of its pages.
bool TabFromAnswer(TabControl& tabs, const std::string& value) {
  const int index = IsNumber(value) ? std::stoi(value) : tabs.IndexOfPage(value);
  if (index < 0 || index >= tabs.Count()) return false;
  tabs.ChooseTab(index);
  return true;
}

}  // namespace

bool SetControlFromAnswer(Form& form, const std::string& name, const std::string& value) {
  Control* control = FindByName(form, name);
  // "PAGETab=click" chooses the tab of page PAGE, as when the pages had buttons for tabs.
  constexpr std::string_view kTabSuffix = "Tab";
  if (control == nullptr && name.size() > kTabSuffix.size() && name.ends_with(kTabSuffix)) {
    int index = -1;
    TabControl* tabs = TabOfPage(form, name.substr(0, name.size() - kTabSuffix.size()), index);
    if (tabs == nullptr || !tabs->EffectivelyEnabled() || value != "click") return false;
    tabs->ChooseTab(index);
    return true;
  }
  if (control == nullptr || !control->EffectivelyEnabled()) return false;
  if (auto* grid = dynamic_cast<ColorGrid*>(control)) {
    if (!IsNumber(value) || std::stoi(value) >= grid->Count()) return false;
    grid->NoteItemChosen(std::stoi(value));
    return true;
  }
  switch (control->Kind()) {
    case ControlKind::CheckBox:
      if (value != "1" && value != "0") return false;
      static_cast<CheckBox*>(control)->NoteChecked(value == "1");
      return true;
    case ControlKind::RadioButton: {
      // "1" chooses the button; "0" is what a user cannot do to a checked one (only choosing
      // another member unchecks it), so it is refused there and accepted where it holds.
      auto* radio = static_cast<RadioButton*>(control);
      if (value == "1") {
        radio->NoteChecked();
        return true;
      }
      return value == "0" && !radio->Checked();
    }
    case ControlKind::ComboBox: {
      auto* combo = static_cast<ComboBox*>(control);
      if (!IsNumber(value) || std::stoi(value) >= static_cast<int>(combo->Items().size()))
        return false;
      combo->NoteItemChosen(std::stoi(value));
      return true;
    }
    case ControlKind::ListBox: {
      auto* list = static_cast<ListBox*>(control);
      if (!IsNumber(value) || std::stoi(value) >= list->Count()) return false;
      list->ChooseItem(std::stoi(value));
      return true;
    }
    case ControlKind::TabControl:
      return TabFromAnswer(*static_cast<TabControl*>(control), value);
    case ControlKind::Button:
      if (value != "click") return false;
      if (control->OnClick) control->OnClick();
      return true;
    default:
      return false;
  }
}

DialogButton ModalForm::Run(Form* owner) {
  result_ = DialogButton::None;
  if (dynamic_cast<headless::HeadlessBackend*>(&CurrentBackend()) != nullptr) {
    return RunHeadless(*this);
  }
  return RunNativeModalForm(*this, owner);
}

#ifndef _WIN32
// Outside Windows the headless backend is the only one; another installed backend has no
// modal loop of its own.
DialogButton RunNativeModalForm(ModalForm&, Form*) { return DialogButton::Cancel; }
#endif

}  // namespace ui
