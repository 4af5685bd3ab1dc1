#include "ui/Dialogs.h"

#include <array>
#include <cctype>

#include "ui/Backend.h"

namespace ui {

namespace {

struct ButtonName {
  DialogButton button;
  const char* name;
};

constexpr std::array<ButtonName, 8> kButtonNames{{
    {DialogButton::None, "None"},
    {DialogButton::Ok, "OK"},
    {DialogButton::Cancel, "Cancel"},
    {DialogButton::Yes, "Yes"},
    {DialogButton::No, "No"},
    {DialogButton::Abort, "Abort"},
    {DialogButton::Retry, "Retry"},
    {DialogButton::Ignore, "Ignore"},
}};

bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::optional<DialogButton> ParseDialogButton(std::string_view text) {
  for (const ButtonName& entry : kButtonNames) {
    if (entry.button != DialogButton::None && SameNoCase(text, entry.name)) return entry.button;
  }
  return std::nullopt;
}

const char* DialogButtonName(DialogButton button) {
  for (const ButtonName& entry : kButtonNames) {
    if (entry.button == button) return entry.name;
  }
  return "None";
}

std::vector<FileFilter> ParseFileFilter(std::string_view filter) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (start <= filter.size()) {
    size_t bar = filter.find('|', start);
    if (bar == std::string_view::npos) bar = filter.size();
    parts.push_back(filter.substr(start, bar - start));
    start = bar + 1;
  }
  std::vector<FileFilter> result;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].empty() && parts[i + 1].empty()) continue;
    result.push_back(FileFilter{std::string(parts[i]), std::string(parts[i + 1])});
  }
  return result;
}

std::vector<DialogButton> ButtonsOf(MessageButtons buttons) {
  using B = DialogButton;
  switch (buttons) {
    case MessageButtons::Ok:
      return {B::Ok};
    case MessageButtons::OkCancel:
      return {B::Ok, B::Cancel};
    case MessageButtons::YesNo:
      return {B::Yes, B::No};
    case MessageButtons::YesNoCancel:
      return {B::Yes, B::No, B::Cancel};
    case MessageButtons::RetryCancel:
      return {B::Retry, B::Cancel};
    case MessageButtons::AbortRetryIgnore:
      return {B::Abort, B::Retry, B::Ignore};
  }
  return {B::Ok};
}

bool FileDialog::Execute(Form* owner) { return CurrentBackend().RunFileDialog(*this, owner); }

bool ColorDialog::Execute(Form* owner) { return CurrentBackend().RunColorDialog(*this, owner); }

bool FontDialog::Execute(Form* owner) { return CurrentBackend().RunFontDialog(*this, owner); }

DialogButton ShowMessageBox(const MessageBoxSpec& spec, Form* owner) {
  return CurrentBackend().RunMessageBox(spec, owner);
}

bool InputBox::Execute(Form* owner) { return CurrentBackend().RunInputBox(*this, owner); }

}  // namespace ui
