#pragma once
// Small modal dialogs described once as data and built by each backend: the Win32 backend
// makes a real dialog window with native controls, the headless backend a form with the
// toolkit's controls (its state is the dialog's state, and it can be rendered to a picture).
//
// Protocol of one run (RunLayoutDialog):
//   1. the backend builds every item of the layout, then calls DialogHandler::Init, where
//      the owner fills the controls;
//   2. clicks on buttons that do not close the dialog reach DialogHandler::Clicked (the
//      owner may open further modal dialogs there and change controls);
//   3. a closing button (or Escape, Enter, the close box) calls DialogHandler::Closing with
//      the result while the controls still hold their values; then the dialog is destroyed.
// The controls are reached by item name through DialogControls, only during the run. An
// exception thrown by a handler closes the dialog as Cancel (Closing is not called again).
//
// Headless answers: the process's dialog queue drives the dialog. Before the closing answer
// ("OK" or "Cancel") the queue may hold control actions, each an answer whose button is
// "Set:NAME" (value: the edit's new text), "Check:NAME" (value "1" or "0") or "Click:NAME"
// (presses the button; dialogs it opens take the answers that follow), applied in order as
// the user would. An empty queue answers Cancel; an action naming no suitable item is
// logged and answers Cancel.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Dialogs.h"
#include "ui/Geometry.h"

namespace ui {

enum class DialogItemKind {
  Label,     // static text on one line
  Note,      // static text broken into lines at blanks
  Edit,      // single-line edit
  SpinEdit,  // edit with up and down arrows stepping an integer within min..max
  CheckBox,
  Button,  // push button: closes the dialog with `result`, or reports a click
  Swatch,  // a framed rectangle filled with a colour
};

struct DialogItem {
  DialogItemKind kind = DialogItemKind::Label;
  std::string name;  // unique within the layout; how handlers and scripts find the item
  Rect bounds;       // client pixels of the dialog
  std::string caption;
  std::string hint;
  // Buttons: the result a closing button gives (None: the button only reports its click),
  // whether it is the default (Enter) button, whether it looks flat (a tool button).
  DialogButton result = DialogButton::None;
  bool isDefault = false;
  bool flat = false;
  // Edits: the most characters the control holds (0: the backend's own limit).
  int maxLength = 0;
  // Spin edits: the range the arrows step within.
  int minValue = 0;
  int maxValue = 0;
};

struct DialogLayout {
  std::string caption;
  int clientWidth = 0;
  int clientHeight = 0;
  std::string fontName = "MS Sans Serif";
  int fontSize = 8;
  std::vector<DialogItem> items;

  // The item with this name; nullptr when none.
  const DialogItem* Find(std::string_view name) const;
};

// The controls of a running dialog by item name. Asking for a name the layout does not have
// (or of another kind) throws std::out_of_range naming the item.
class DialogControls {
 public:
  virtual ~DialogControls() = default;
  // Edits, spin edits, labels and notes.
  virtual std::string Text(const std::string& name) const = 0;
  virtual void SetText(const std::string& name, const std::string& text) = 0;
  virtual bool Checked(const std::string& name) const = 0;
  virtual void SetChecked(const std::string& name, bool checked) = 0;
  virtual Color SwatchColor(const std::string& name) const = 0;
  virtual void SetSwatchColor(const std::string& name, Color color) = 0;
};

class DialogHandler {
 public:
  virtual ~DialogHandler() = default;
  virtual void Init(DialogControls& controls) = 0;
  virtual void Clicked(DialogControls& controls, const std::string& item) = 0;
  virtual void Closing(DialogControls& controls, DialogButton result) = 0;
};

// Runs the dialog modally, centred on the screen, owned by the window `owner` (0: the
// desktop, as when the owner is gone). Returns the closing result (Cancel on any failure).
DialogButton RunLayoutDialog(const DialogLayout& layout, DialogHandler& handler, uintptr_t owner);

// One queued control action (see the header comment); nullopt for a plain button answer.
struct DialogAction {
  enum class Kind { Set, Check, Click };
  Kind kind;
  std::string item;
};
std::optional<DialogAction> ParseDialogAction(std::string_view button);

// The text a spin edit holds after one arrow step from `text`: a text that is not an
// integer counts as the minimum; the result stays within min..max.
std::string StepSpinText(const std::string& text, int delta, int minValue, int maxValue);

}  // namespace ui
