#include "plugin/editors/ActionEditor.h"

#include <vector>

#include "platform/HostWindow.h"
#include "plugin/HostLink.h"
#include "plugin/HostString.h"
#include "plugin/editors/ActionEditorForm.h"
#include "ui/Backend.h"

namespace plugin {

namespace {

// Frees the blocks it holds unless they were handed over.
class FreshTexts {
 public:
  explicit FreshTexts(size_t count) : texts_(count, nullptr) {}
  ~FreshTexts() {
    for (HostString& text : texts_) FreeHostString(text);
  }
  FreshTexts(const FreshTexts&) = delete;
  FreshTexts& operator=(const FreshTexts&) = delete;
  HostString& operator[](size_t i) { return texts_[i]; }

 private:
  std::vector<HostString> texts_;
};

}  // namespace

bool EditActionParams(const ActionEntry& entry, HostString* params) {
  const EditorSpec* spec = FindEditorSpec(entry.id);
  if (spec == nullptr || params == nullptr) return false;
  if (ui::CurrentBackend().InModalDialog()) return false;

  std::vector<std::string> texts(entry.count);
  for (size_t i = 0; i < texts.size(); ++i) texts[i] = TextOf(params[i]);
  ActionEditorForm form(*spec, texts,
                        [](const std::string& current) { return PickObject(current); });
  if (form.Bindings().empty()) return false;
  for (const EditorBinding& binding : form.Bindings()) {
    // A class binding more parameters than the action declares would write past the host's
    // array.
    if (binding.param >= entry.count) return false;
  }

  platform::WindowHandle owner = platform::HostWindow::ActiveWindow();
  if (ui::RunLayoutDialog(form.Layout(), form, owner) != ui::DialogButton::Ok) return false;
  if (!form.Confirmed()) return false;

  FreshTexts fresh(entry.count);
  for (const EditorBinding& binding : form.Bindings())
    AssignHostString(fresh[binding.param], form.Results()[binding.param]);
  for (const EditorBinding& binding : form.Bindings()) {
    HostString& target = params[binding.param];
    if (fresh[binding.param] == nullptr) continue;  // bound twice: already swapped in
    FreeHostString(target);
    target = fresh[binding.param];
    fresh[binding.param] = nullptr;
  }
  return true;
}

}  // namespace plugin
