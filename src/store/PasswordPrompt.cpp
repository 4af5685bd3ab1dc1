#include "store/PasswordPrompt.h"

namespace store {
namespace {
PasswordPrompt* gPrompt = nullptr;
}

PasswordPrompt* SetPasswordPrompt(PasswordPrompt* prompt) {
  PasswordPrompt* previous = gPrompt;
  gPrompt = prompt;
  return previous;
}

PasswordPrompt* CurrentPasswordPrompt() { return gPrompt; }

}  // namespace store
