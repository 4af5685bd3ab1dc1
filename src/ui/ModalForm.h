#pragma once
// A form of our own shown as a modal dialog (the Format Cells dialog): the caller builds the
// form with parent 0, its buttons end the dialog through End, and Run returns how it ended.
//
// Win32: the form is a popup centred over the owner's top-level window, which is disabled
// while the dialog's message loop runs. Headless: the form is made visible for the run (and
// given back its visibility after), so injected input reaches it; the hook (tests) may set
// controls, then the next queued answer ends the dialog: its value, "name=value;..." pairs,
// sets controls first (a check box "1"/"0", a radio button "1", a combo box, list box or colour
// grid item index, a tab control a tab index or page name, "PAGETab=click" the tab of page
// PAGE, a button "click"), then its button presses the form's default (OK) or cancel button.
// An empty queue answers Cancel.
// Every run is noted in the window system's dialog log as "Form \"caption\" -> answer".
#include <functional>
#include <string>

#include "ui/Dialogs.h"
#include "ui/Form.h"

namespace ui {

class ModalForm {
 public:
  explicit ModalForm(Form& form) : form_(form) {}
  Form& GetForm() const { return form_; }
  void End(DialogButton result) { result_ = result; }
  DialogButton Result() const { return result_; }
  bool Ended() const { return result_ != DialogButton::None; }

  // Shows the form modally until End; Cancel when the window went away without an answer.
  DialogButton Run(Form* owner);

 private:
  Form& form_;
  DialogButton result_ = DialogButton::None;
};

// The answer protocol both backends share: `settings` ("name=value;...") set controls, then
// `button` presses the form's default (OK) or cancel button. A setting that does not fit
// leaves the dialog open (headless: it then answers Cancel).
void ApplyModalAnswer(ModalForm& modal, DialogButton button, const std::string& settings);

// Windows: how a script host finds and answers a running modal form. The form's window
// carries the property kModalFormProperty while its loop runs; the host puts the answer's
// value into a global atom stored as the property kModalAnswerValueProperty and posts the
// registered message kModalAnswerMessage with the button (IDOK, IDCANCEL) as wParam.
inline constexpr const char* kModalFormProperty = "zkSSModalForm";
inline constexpr const char* kModalAnswerValueProperty = "zkSSModalAnswerValue";
inline constexpr const char* kModalAnswerMessage = "zkSSModalFormAnswer";

// Headless only: runs when a modal form opens, before its answer is taken (nullptr: none).
void SetModalFormHook(std::function<void(Form&)> hook);

// Sets a control of `form` by name from answer text ("1"/"0", an item index, a page name,
// "click"); false when there is no such control or the value does not fit it.
bool SetControlFromAnswer(Form& form, const std::string& name, const std::string& value);

}  // namespace ui
