#include "ui/DialogLayout.h"

#include <algorithm>
#include <charconv>

#include "ui/Backend.h"

namespace ui {

const DialogItem* DialogLayout::Find(std::string_view name) const {
  auto found =
      std::find_if(items.begin(), items.end(), [&](const DialogItem& i) { return i.name == name; });
  return found != items.end() ? &*found : nullptr;
}

DialogButton RunLayoutDialog(const DialogLayout& layout, DialogHandler& handler, uintptr_t owner) {
  return CurrentBackend().RunLayoutDialog(layout, handler, owner);
}

std::optional<DialogAction> ParseDialogAction(std::string_view button) {
  struct Prefix {
    std::string_view text;
    DialogAction::Kind kind;
  };
  constexpr Prefix kPrefixes[] = {{"Set:", DialogAction::Kind::Set},
                                  {"Check:", DialogAction::Kind::Check},
                                  {"Click:", DialogAction::Kind::Click}};
  for (const Prefix& prefix : kPrefixes) {
    if (button.size() > prefix.text.size() && button.substr(0, prefix.text.size()) == prefix.text)
      return DialogAction{prefix.kind, std::string(button.substr(prefix.text.size()))};
  }
  return std::nullopt;
}

std::string StepSpinText(const std::string& text, int delta, int minValue, int maxValue) {
  long long value = minValue;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  long long parsed = 0;
  auto [end, error] = std::from_chars(first, last, parsed);
  if (error == std::errc() && end == last && first != last) value = parsed + delta;
  value = std::clamp<long long>(value, minValue, maxValue);
  return std::to_string(value);
}

}  // namespace ui
