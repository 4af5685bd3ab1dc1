#pragma once
// Commands: what a menu item, a toolbar button or a shortcut does, kept in one place with
// its caption, hint, shortcut, checked and enabled state. Controls linked to a command
// follow its state; executing a disabled command does nothing.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Keys.h"

namespace ui {

class Command {
 public:
  explicit Command(std::string name) : name_(std::move(name)) {}
  Command(const Command&) = delete;
  Command& operator=(const Command&) = delete;

  const std::string& Name() const { return name_; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint);
  Shortcut ShortcutCode() const { return shortcut_; }  // 0: none
  void SetShortcut(Shortcut code) { shortcut_ = code; }
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  // Runs OnExecute when enabled; true when it ran.
  bool Execute();
  std::function<void()> OnExecute;

  // A linked client is told after every change of caption, hint, checked or enabled.
  using Observer = std::function<void(const Command&)>;
  // Returns a key for Unlink.
  int Link(Observer observer);
  void Unlink(int key);

 private:
  void Notify();

  std::string name_;
  std::string caption_;
  std::string hint_;
  Shortcut shortcut_ = 0;
  bool checked_ = false;
  bool enabled_ = true;
  int nextKey_ = 1;
  std::vector<std::pair<int, Observer>> observers_;
};

class CommandList {
 public:
  explicit CommandList(std::string name) : name_(std::move(name)) {}
  const std::string& Name() const { return name_; }
  Command& Add(const std::string& name);
  Command* Find(const std::string& name);
  const std::vector<std::unique_ptr<Command>>& Commands() const { return commands_; }
  // The first command with this shortcut: executed when enabled. True when it ran; a
  // disabled match swallows nothing, so the key goes on to the focused control.
  bool DispatchShortcut(Shortcut code);

 private:
  std::string name_;
  std::vector<std::unique_ptr<Command>> commands_;
};

}  // namespace ui
