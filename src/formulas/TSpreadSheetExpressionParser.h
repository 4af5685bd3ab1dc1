#pragma once
// Infix to postfix for one formula text: operands go to the output, operators wait on a stack
// ordered by priority, and every parenthesised part (a bracket or a function's arguments) is
// converted on its own and appended as one item.
#include <cstdint>
#include <string_view>

#include "formulas/TokenBlock.h"

namespace formulas {

class TSSFunctionHandler;

// Operator priority of a token kind; -1 for operands and ptgPercent (straight to output).
int32_t Priority(uint8_t kind);

class TSpreadSheetExpressionParser {
 public:
  // Deeper nesting of brackets is refused, so a hostile text cannot exhaust the stack.
  static constexpr int kMaxNesting = 128;

  explicit TSpreadSheetExpressionParser(TSSFunctionHandler& handler) : handler_(handler) {}

  // Converts one text; argCount receives the number of list-separated arguments (1 for a
  // text without separators). Stops at the first error the handler records.
  void Convert(std::string_view text, int32_t& argCount, TokenBlock& block, int depth = 0);

 private:
  TSSFunctionHandler& handler_;
};

}  // namespace formulas
