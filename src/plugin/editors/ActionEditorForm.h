#pragma once
// The model of one action editor dialog: which controls it has (its layout, built once for
// both backends), which parameter each control is bound to, and the rules that turn the
// controls back into parameter texts on OK.
//
// Life: construct with the action's current parameter texts, run the layout dialog with the
// form as its handler, then read Results() when Confirmed(). The form never touches the
// host's memory; the caller writes the results back.
//
// Write-back rules on OK:
//   - an edit writes its text; an edit the author left as it was filled writes the original
//     parameter text exactly, even when the control could not hold all of it;
//   - the check box writes "1" when checked, else "0";
//   - the colour swatch writes its colour as a nine-digit colour string.
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "plugin/editors/EditorSpecs.h"
#include "ui/DialogLayout.h"

namespace plugin {

struct EditorBinding {
  enum class Kind { Text, Check, Colour };
  Kind kind;
  std::string item;  // the control's name in the layout
  size_t param;      // 0-based index into the parameter array
};

class ActionEditorForm final : public ui::DialogHandler {
 public:
  // The object picker: the rectangle field's text in, the chosen name out (nothing when the
  // author declined or the host offers no picker).
  using Picker = std::function<std::optional<std::string>(const std::string& current)>;

  // `params` holds at least as many texts as the editor class described by `spec` binds
  // (missing ones read as empty).
  ActionEditorForm(const EditorSpec& spec, std::vector<std::string> params, Picker picker);

  const ui::DialogLayout& Layout() const { return layout_; }
  const std::vector<EditorBinding>& Bindings() const { return bindings_; }
  const EditorSpec& Spec() const { return spec_; }

  bool Confirmed() const { return confirmed_; }
  // Every parameter after OK (unbound ones unchanged); the inputs before.
  const std::vector<std::string>& Results() const { return results_; }

  void Init(ui::DialogControls& controls) override;
  void Clicked(ui::DialogControls& controls, const std::string& item) override;
  void Closing(ui::DialogControls& controls, ui::DialogButton result) override;

  // The colour the swatch shows for a parameter text: the class's default text when the
  // parameter is not nine characters long, white when a group is not an integer.
  static ui::Color SwatchColorOf(const std::string& text, const std::string& defaultText);

 private:
  void BuildLayout();

  const EditorSpec& spec_;
  std::vector<std::string> params_;
  Picker picker_;
  ui::DialogLayout layout_;
  std::vector<EditorBinding> bindings_;
  // Texts the edits held right after filling, and the edits the program changed for the
  // author (picker, browse dialog).
  std::vector<std::string> shown_;
  std::set<std::string> touched_;
  std::vector<std::string> results_;
  bool confirmed_ = false;
};

}  // namespace plugin
