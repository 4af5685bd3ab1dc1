#include "formulas/TTokensStack.h"

#include <string>

#include "formulas/EngineErrors.h"

namespace formulas {

TokenBlock TTokensStack::Pop() {
  if (items_.empty()) throw ECalculationError(std::string(kMsgSyntax));
  TokenBlock top = std::move(items_.back());
  items_.pop_back();
  return top;
}

}  // namespace formulas
