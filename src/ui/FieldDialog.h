#pragma once
// A modal dialog described once and built by each backend: a caption, labelled fields in one
// column (edit boxes, check boxes, drop-down choices) and a row of exit buttons. The caller's
// model fills the fields' values, validates what the user entered and applies it; the
// backends only show, collect and return.
//
// Headless answers come from the dialog queue: the answer's button names the exit ("OK",
// "Cancel", or any other button's caption, any letter case) and its value sets fields as
// "id=value" pairs separated by ';' (other fields keep what they showed). When `validate`
// refuses the values, the message is shown in a message box (recorded, and answered from the
// queue like every other) and the dialog takes the next answer, as a real dialog stays open.
// Without an answer the dialog is cancelled.
#include <functional>
#include <string>
#include <vector>

namespace ui {

class Form;

struct DialogField {
  enum class Kind { Edit, Check, Choice };
  std::string id;  // stable name the answers and tests use
  std::string label;
  Kind kind = Kind::Edit;
  std::vector<std::string> choices;  // Choice: the entries
  std::string value;                 // Edit: the text; Check: "1" or "0"; Choice: the entry
};

struct FieldDialog {
  std::string caption;
  std::vector<DialogField> fields;
  // Exit buttons left to right; the first is the default, "Cancel" (when present) ends
  // without validation.
  std::vector<std::string> buttons{"OK", "Cancel"};
  // Empty when the values may be taken, else the message to show.
  std::function<std::string(const FieldDialog&)> validate;

  DialogField* Field(const std::string& id);
  const DialogField* Field(const std::string& id) const;
  // Runs modally; returns the caption of the button that ended it ("Cancel" when the dialog
  // was closed), with the fields holding the entered values unless it was cancelled.
  std::string Execute(Form* owner = nullptr);
};

// Applies "id=value;id=value" to the fields; unknown ids are ignored.
void ApplyFieldAnswers(FieldDialog& dialog, const std::string& answers);

}  // namespace ui
