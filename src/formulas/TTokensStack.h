#pragma once
// The evaluation stack: one TokenBlock per value, normally a single token.
#include <cstdint>
#include <vector>

#include "formulas/TokenBlock.h"

namespace formulas {

class TTokensStack {
 public:
  void Push(TokenBlock block) { items_.push_back(std::move(block)); }
  // Raises ECalculationError "Error syntax in string expression" when empty.
  TokenBlock Pop();
  const TokenBlock& Top() const { return items_.back(); }
  // Removes the top item (the stack must not be empty).
  void Drop() { items_.pop_back(); }
  const TokenBlock& At(size_t index) const { return items_[index]; }
  void Clear() { items_.clear(); }
  size_t Count() const { return items_.size(); }
  bool Empty() const { return items_.empty(); }

 private:
  std::vector<TokenBlock> items_;
};

}  // namespace formulas
