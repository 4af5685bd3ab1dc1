#include "ui/Keys.h"

#include <array>
#include <cctype>

namespace ui {

namespace {

struct NamedKey {
  std::string_view name;
  int key;
};

constexpr std::array<NamedKey, 16> kNamedKeys{{
    {"Enter", keys::kEnter},
    {"Escape", keys::kEscape},
    {"Tab", keys::kTab},
    {"Backspace", keys::kBackspace},
    {"Delete", keys::kDelete},
    {"Insert", keys::kInsert},
    {"Space", keys::kSpace},
    {"Up", keys::kUp},
    {"Down", keys::kDown},
    {"Left", keys::kLeft},
    {"Right", keys::kRight},
    {"Home", keys::kHome},
    {"End", keys::kEnd},
    {"PageUp", keys::kPageUp},
    {"PageDown", keys::kPageDown},
    {"Esc", keys::kEscape},
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

std::optional<int> KeyOfName(std::string_view name) {
  if (name.size() == 1) {
    unsigned char c = static_cast<unsigned char>(name[0]);
    if (std::isalpha(c)) return std::toupper(c);
    if (std::isdigit(c)) return c;
    return std::nullopt;
  }
  for (const NamedKey& named : kNamedKeys) {
    if (SameNoCase(named.name, name)) return named.key;
  }
  if (name.size() <= 3 && (name[0] == 'F' || name[0] == 'f')) {
    int number = 0;
    for (size_t i = 1; i < name.size(); ++i) {
      if (!std::isdigit(static_cast<unsigned char>(name[i]))) return std::nullopt;
      number = number * 10 + (name[i] - '0');
    }
    if (number >= 1 && number <= 12 && name[1] != '0') return keys::kF1 + number - 1;
  }
  return std::nullopt;
}

}  // namespace

std::optional<Shortcut> ParseShortcut(std::string_view text) {
  Shortcut modifiers = 0;
  for (;;) {
    size_t plus = text.find('+');
    // A trailing "+" alone is no key name; "Ctrl++" is not supported either.
    if (plus == std::string_view::npos || plus == 0) break;
    std::string_view prefix = text.substr(0, plus);
    Shortcut bit = 0;
    if (SameNoCase(prefix, "Ctrl"))
      bit = kCtrlBit;
    else if (SameNoCase(prefix, "Shift"))
      bit = kShiftBit;
    else if (SameNoCase(prefix, "Alt"))
      bit = kAltBit;
    else
      return std::nullopt;
    if (modifiers & bit) return std::nullopt;
    modifiers |= bit;
    text.remove_prefix(plus + 1);
  }
  std::optional<int> key = KeyOfName(text);
  if (!key) return std::nullopt;
  return static_cast<Shortcut>(*key) | modifiers;
}

std::string ShortcutText(Shortcut code) {
  std::string text;
  if (code & kCtrlBit) text += "Ctrl+";
  if (code & kShiftBit) text += "Shift+";
  if (code & kAltBit) text += "Alt+";
  int key = ShortcutKey(code);
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) {
    text += static_cast<char>(key);
    return text;
  }
  if (key >= keys::kF1 && key < keys::kF1 + 12)
    return text + "F" + std::to_string(key - keys::kF1 + 1);
  for (const NamedKey& named : kNamedKeys) {
    if (named.key == key) return text + std::string(named.name);
  }
  return text + "#" + std::to_string(key);
}

std::string WithoutMnemonic(const std::string& caption) {
  std::string shown;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    shown += caption[i];
  }
  return shown;
}

}  // namespace ui
