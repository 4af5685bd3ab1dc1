#include "ui/HotKeyManager.h"

#include "ui/Backend.h"

namespace ui {

HotKeyManager::HotKeyManager() : peer_(CurrentBackend().CreateHotKeyPeer(*this)) {}

HotKeyManager::~HotKeyManager() {
  for (const Key& key : keys_) {
    if (key.registered) peer_->Unregister(key.id);
    peer_->DeleteAtom(key.id);
  }
}

std::string HotKeyManager::AtomName(Shortcut code) {
  return "HotKeyManagerHotKey" + std::to_string(code);
}

uint32_t HotKeyManager::AddHotKey(Shortcut code) {
  uint32_t atom = peer_->AddAtom(AtomName(code));
  if (atom == 0) return 0;
  if (!suspended_ && !peer_->Register(atom, code)) {
    peer_->DeleteAtom(atom);
    return 0;
  }
  keys_.push_back(Key{code, atom, !suspended_});
  return atom;
}

void HotKeyManager::RemoveHotKey(uint32_t id) {
  for (auto it = keys_.begin(); it != keys_.end(); ++it) {
    if (it->id == id) {
      if (it->registered) peer_->Unregister(id);
      peer_->DeleteAtom(id);
      keys_.erase(it);
      return;
    }
  }
}

void HotKeyManager::Suspend() {
  if (suspended_) return;
  suspended_ = true;
  for (Key& key : keys_) {
    if (key.registered) peer_->Unregister(key.id);
    key.registered = false;
  }
}

void HotKeyManager::Resume() {
  if (!suspended_) return;
  suspended_ = false;
  for (Key& key : keys_) key.registered = peer_->Register(key.id, key.code);
}

bool HotKeyManager::IsRegistered(uint32_t id) const {
  for (const Key& key : keys_) {
    if (key.id == id) return key.registered;
  }
  return false;
}

void HotKeyManager::NoteHotKey(uint32_t id, Shortcut code) {
  for (const Key& key : keys_) {
    if (key.id == id && key.code == code && key.registered) {
      if (OnHotKeyPressed) OnHotKeyPressed(code, id);
      return;
    }
  }
}

}  // namespace ui
