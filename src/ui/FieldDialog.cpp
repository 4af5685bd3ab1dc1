#include "ui/FieldDialog.h"

#include "ui/Backend.h"

namespace ui {

DialogField* FieldDialog::Field(const std::string& id) {
  for (DialogField& f : fields)
    if (f.id == id) return &f;
  return nullptr;
}

const DialogField* FieldDialog::Field(const std::string& id) const {
  for (const DialogField& f : fields)
    if (f.id == id) return &f;
  return nullptr;
}

std::string FieldDialog::Execute(Form* owner) {
  return CurrentBackend().RunFieldDialog(*this, owner);
}

void ApplyFieldAnswers(FieldDialog& dialog, const std::string& answers) {
  size_t at = 0;
  while (at < answers.size()) {
    size_t end = answers.find(';', at);
    if (end == std::string::npos) end = answers.size();
    const std::string pair = answers.substr(at, end - at);
    const size_t eq = pair.find('=');
    if (eq != std::string::npos)
      if (DialogField* f = dialog.Field(pair.substr(0, eq))) f->value = pair.substr(eq + 1);
    at = end + 1;
  }
}

}  // namespace ui
