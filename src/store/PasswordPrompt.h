#pragma once
// How a store asks a person for a password when a protected file is opened with a wrong one
// and no password-request callback is set on the store. There is no process-wide prompt: the
// prompt comes from the book services of the program (the UI layer's modal input box, a
// terminal prompt in the tools) and is set on each store that is opened for a book
// (TSingleFileSystem::PasswordPrompt). A store without a prompt counts the request as
// cancelled.
#include <string>

namespace store {

class PasswordPrompt {
 public:
  virtual ~PasswordPrompt() = default;
  // Shows `caption` and `prompt`; returns false when the user cancels, else the typed text
  // in `value`.
  virtual bool Ask(const std::string& caption, const std::string& prompt, std::string& value) = 0;
};

// A prompt that always cancels, for programs that deliberately have no way to ask.
PasswordPrompt& CancellingPasswordPrompt();

}  // namespace store
