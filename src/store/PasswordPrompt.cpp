#include "store/PasswordPrompt.h"

namespace store {
namespace {
IPasswordPrompt* gPrompt = nullptr;
}

IPasswordPrompt* SetPasswordPrompt(IPasswordPrompt* prompt) {
  IPasswordPrompt* previous = gPrompt;
  gPrompt = prompt;
  return previous;
}

IPasswordPrompt* CurrentPasswordPrompt() { return gPrompt; }

}  // namespace store
