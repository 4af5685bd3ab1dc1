#pragma once
// The hook through which the store asks a person for a password when a protected file is
// opened with a wrong one and no password-request callback is set on the store. The UI layer
// installs a prompt that shows a modal input box; the command-line tool installs a terminal
// prompt. With no prompt installed the request counts as cancelled.
#include <string>

namespace store {

class PasswordPrompt {
 public:
  virtual ~PasswordPrompt() = default;
  // Shows `caption` and `prompt`; returns false when the user cancels, else the typed text
  // in `value`.
  virtual bool Ask(const std::string& caption, const std::string& prompt, std::string& value) = 0;
};

// Installs the process-wide prompt (not owned; nullptr removes it) and returns the previous.
PasswordPrompt* SetPasswordPrompt(PasswordPrompt* prompt);
PasswordPrompt* CurrentPasswordPrompt();

}  // namespace store
