#pragma once
// System-wide hot keys kept by one owner. A hot key is named by its shortcut code (key in
// the low byte, +0x2000 Shift, +0x4000 Ctrl, +0x8000 Alt, +0x10000 the Windows key); its id
// is the global atom "HotKeyManagerHotKey" + the decimal code. The system admits one owner
// per key combination: a second manager's AddHotKey for a held combination answers 0.
//
// Lifecycle: AddHotKey registers at once. Suspend releases the registrations but keeps the
// atoms and the list (other programs get their keys back while this program is not
// active); Resume registers them again (a key another owner took meanwhile stays
// unregistered). Destruction releases everything.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Keys.h"

namespace ui {

class HotKeyPeer;

inline constexpr Shortcut kWinKeyBit = 0x10000;

class HotKeyManager {
 public:
  HotKeyManager();
  ~HotKeyManager();
  HotKeyManager(const HotKeyManager&) = delete;
  HotKeyManager& operator=(const HotKeyManager&) = delete;

  // The id of the new hot key, or 0 when the atom or the registration failed.
  uint32_t AddHotKey(Shortcut code);
  void RemoveHotKey(uint32_t id);
  void Suspend();
  void Resume();
  bool Suspended() const { return suspended_; }
  bool IsRegistered(uint32_t id) const;
  size_t Count() const { return keys_.size(); }

  static std::string AtomName(Shortcut code);

  // Raised with the code and the id of one of this manager's own keys.
  std::function<void(Shortcut code, uint32_t id)> OnHotKeyPressed;
  // Called by the backend on the system's hot-key message; codes not ours are ignored.
  void NoteHotKey(uint32_t id, Shortcut code);

 private:
  struct Key {
    Shortcut code;
    uint32_t id;
    bool registered;
  };
  std::vector<Key> keys_;
  bool suspended_ = false;
  std::unique_ptr<HotKeyPeer> peer_;
};

}  // namespace ui
