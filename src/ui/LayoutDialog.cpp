#include "ui/LayoutDialog.h"

#include "ui/Backend.h"

namespace ui {

LayoutField* LayoutDialog::Field(const std::string& id) {
  for (LayoutField& f : fields)
    if (f.id == id) return &f;
  return nullptr;
}

const LayoutField* LayoutDialog::Field(const std::string& id) const {
  for (const LayoutField& f : fields)
    if (f.id == id) return &f;
  return nullptr;
}

std::string LayoutDialog::Execute(Form* owner) {
  return CurrentBackend().RunLayoutDialog(*this, owner);
}

void ApplyFieldAnswers(LayoutDialog& dialog, const std::string& answers) {
  size_t at = 0;
  while (at < answers.size()) {
    size_t end = answers.find(';', at);
    if (end == std::string::npos) end = answers.size();
    const std::string pair = answers.substr(at, end - at);
    const size_t eq = pair.find('=');
    if (eq != std::string::npos)
      if (LayoutField* f = dialog.Field(pair.substr(0, eq))) f->value = pair.substr(eq + 1);
    at = end + 1;
  }
}

}  // namespace ui
