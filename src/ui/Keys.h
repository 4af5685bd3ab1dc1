#pragma once
// Keys and shortcuts. Key codes are the virtual-key numbers of the Win32 keyboard (letters
// and digits are their upper-case ASCII codes), so a shortcut code means the same on every
// backend: the key in the low byte, plus kShiftBit, kCtrlBit and kAltBit.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ui {

using Shortcut = uint32_t;

inline constexpr Shortcut kShiftBit = 0x2000;
inline constexpr Shortcut kCtrlBit = 0x4000;
inline constexpr Shortcut kAltBit = 0x8000;

// Modifier state that travels with mouse and key events.
struct ShiftState {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
  friend bool operator==(const ShiftState&, const ShiftState&) = default;
};

namespace keys {
inline constexpr int kBackspace = 0x08;
inline constexpr int kTab = 0x09;
inline constexpr int kEnter = 0x0D;
inline constexpr int kShift = 0x10;
inline constexpr int kControl = 0x11;
inline constexpr int kAlt = 0x12;
inline constexpr int kEscape = 0x1B;
inline constexpr int kSpace = 0x20;
inline constexpr int kPageUp = 0x21;
inline constexpr int kPageDown = 0x22;
inline constexpr int kEnd = 0x23;
inline constexpr int kHome = 0x24;
inline constexpr int kLeft = 0x25;
inline constexpr int kUp = 0x26;
inline constexpr int kRight = 0x27;
inline constexpr int kDown = 0x28;
inline constexpr int kInsert = 0x2D;
inline constexpr int kDelete = 0x2E;
inline constexpr int kF1 = 0x70;  // F1..F12 are consecutive
}  // namespace keys

inline Shortcut MakeShortcut(int key, ShiftState shift) {
  return static_cast<Shortcut>(key & 0xFF) | (shift.shift ? kShiftBit : 0) |
         (shift.ctrl ? kCtrlBit : 0) | (shift.alt ? kAltBit : 0);
}
inline int ShortcutKey(Shortcut code) { return static_cast<int>(code & 0xFF); }
inline ShiftState ShortcutShift(Shortcut code) {
  return ShiftState{(code & kShiftBit) != 0, (code & kCtrlBit) != 0, (code & kAltBit) != 0};
}

// "Ctrl+Shift+F5", "Enter", "a": prefixes Ctrl+, Shift+, Alt+ in any order and letter case,
// then one key name (letters, digits, Enter, Escape, Tab, Backspace, Delete, Space, F1-F12,
// Up, Down, Left, Right, Home, End, PageUp, PageDown). nullopt for anything else.
std::optional<Shortcut> ParseShortcut(std::string_view text);

// The inverse, in the canonical spelling "Ctrl+Shift+Alt+Key".
std::string ShortcutText(Shortcut code);

// A caption as a control shows it: a single '&' marks the next letter as the mnemonic and is
// not shown; "&&" shows one '&' (the native controls' rule).
std::string WithoutMnemonic(const std::string& caption);

}  // namespace ui
