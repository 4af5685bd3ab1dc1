#include "store/PasswordPrompt.h"

namespace store {
namespace {

class CancellingPrompt final : public PasswordPrompt {
 public:
  bool Ask(const std::string&, const std::string&, std::string&) override { return false; }
};

}  // namespace

PasswordPrompt& CancellingPasswordPrompt() {
  static CancellingPrompt prompt;
  return prompt;
}

}  // namespace store
