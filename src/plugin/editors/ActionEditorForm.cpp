#include "plugin/editors/ActionEditorForm.h"

#include <algorithm>
#include <utility>

#include "plugin/TextConventions.h"
#include "ui/Dialogs.h"

namespace plugin {

namespace {

// The button names of the layout (ActionEditorLayout.cpp).
constexpr const char* kPickButton = "SpeedButton1";
constexpr const char* kRectField = "Edit1";

}  // namespace

ActionEditorForm::ActionEditorForm(const EditorSpec& spec, std::vector<std::string> params,
                                   Picker picker)
    : spec_(spec), params_(std::move(params)), picker_(std::move(picker)) {
  BuildLayout();
  size_t needed = 0;
  for (const EditorBinding& binding : bindings_) needed = std::max(needed, binding.param + 1);
  if (params_.size() < needed) params_.resize(needed);
  results_ = params_;
  shown_.resize(bindings_.size());
}

ui::Color ActionEditorForm::SwatchColorOf(const std::string& text, const std::string& defaultText) {
  return ui::Color::FromColorRef(ParseColorString(text, defaultText, MakeColor(255, 255, 255)));
}

void ActionEditorForm::Init(ui::DialogControls& controls) {
  for (size_t i = 0; i < bindings_.size(); ++i) {
    const EditorBinding& binding = bindings_[i];
    const std::string& text = params_[binding.param];
    switch (binding.kind) {
      case EditorBinding::Kind::Text:
        controls.SetText(binding.item, text);
        // What the control holds may be shorter than the text (its length limit).
        shown_[i] = controls.Text(binding.item);
        break;
      case EditorBinding::Kind::Check:
        controls.SetChecked(binding.item, text == "1");
        break;
      case EditorBinding::Kind::Colour:
        controls.SetSwatchColor(binding.item, SwatchColorOf(text, spec_.extra));
        break;
    }
  }
}

void ActionEditorForm::Clicked(ui::DialogControls& controls, const std::string& item) {
  if (item == kPickButton) {
    if (!picker_) return;
    std::optional<std::string> picked = picker_(controls.Text(kRectField));
    if (picked) {
      controls.SetText(kRectField, *picked);
      touched_.insert(kRectField);
    }
    return;
  }
  // Browse and colour buttons are named after the control they serve, plus ".Browse" or
  // ".Choose" (ActionEditorLayout.cpp).
  if (item.size() > 7 && item.ends_with(".Browse")) {
    std::string field = item.substr(0, item.size() - 7);
    ui::FileDialog dialog;
    dialog.mode = ui::FileDialog::Mode::Open;
    dialog.fileName = controls.Text(field);
    if (dialog.Execute()) {
      controls.SetText(field, dialog.fileName);
      touched_.insert(field);
    }
  } else if (item.size() > 7 && item.ends_with(".Choose")) {
    std::string swatch = item.substr(0, item.size() - 7);
    ui::ColorDialog dialog;
    dialog.color = controls.SwatchColor(swatch);
    if (dialog.Execute()) controls.SetSwatchColor(swatch, dialog.color);
  }
}

void ActionEditorForm::Closing(ui::DialogControls& controls, ui::DialogButton result) {
  if (result != ui::DialogButton::Ok) return;
  std::vector<std::string> results = params_;
  for (size_t i = 0; i < bindings_.size(); ++i) {
    const EditorBinding& binding = bindings_[i];
    std::string& out = results[binding.param];
    switch (binding.kind) {
      case EditorBinding::Kind::Text: {
        std::string text = controls.Text(binding.item);
        // An untouched field gives back the whole original text, never the control's cut.
        bool untouched = text == shown_[i] && touched_.count(binding.item) == 0;
        if (!untouched) out = std::move(text);
        break;
      }
      case EditorBinding::Kind::Check:
        out = controls.Checked(binding.item) ? "1" : "0";
        break;
      case EditorBinding::Kind::Colour:
        out = FormatColorString(controls.SwatchColor(binding.item).ToColorRef());
        break;
    }
  }
  results_ = std::move(results);
  confirmed_ = true;
}

}  // namespace plugin
