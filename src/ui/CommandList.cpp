#include "ui/CommandList.h"

namespace ui {

void Command::SetCaption(const std::string& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  Notify();
}

void Command::SetHint(const std::string& hint) {
  if (hint_ == hint) return;
  hint_ = hint;
  Notify();
}

void Command::SetChecked(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  Notify();
}

void Command::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Notify();
}

bool Command::Execute() {
  if (!enabled_ || !OnExecute) return false;
  OnExecute();
  return true;
}

int Command::Link(Observer observer) {
  int key = nextKey_++;
  observers_.emplace_back(key, std::move(observer));
  observers_.back().second(*this);
  return key;
}

void Command::Unlink(int key) {
  for (auto it = observers_.begin(); it != observers_.end(); ++it) {
    if (it->first == key) {
      observers_.erase(it);
      return;
    }
  }
}

void Command::Notify() {
  // A copy: an observer may unlink itself (or another) while being told.
  auto observers = observers_;
  for (auto& entry : observers) entry.second(*this);
}

Command& CommandList::Add(const std::string& name) {
  commands_.push_back(std::make_unique<Command>(name));
  return *commands_.back();
}

Command* CommandList::Find(const std::string& name) {
  for (const auto& command : commands_) {
    if (command->Name() == name) return command.get();
  }
  return nullptr;
}

bool CommandList::DispatchShortcut(Shortcut code) {
  if (code == 0) return false;
  for (const auto& command : commands_) {
    if (command->ShortcutCode() == code) return command->Execute();
  }
  return false;
}

}  // namespace ui
