#include "formulas/TSpreadSheetExpressionParser.h"

#include <climits>
#include <string>
#include <vector>

#include "formulas/TSSFormulasCache.h"
#include "formulas/TSSFunctionHandler.h"

namespace formulas {

int32_t Priority(uint8_t kind) {
  switch (kind) {
    case ptgUplus:
    case ptgUminus:
      return 6;
    case ptgMul:
    case ptgDiv:
    case ptgPower:
      return 4;
    case ptgAdd:
    case ptgSub:
      return 3;
    case ptgFuncVar:
      return 1;
    case ptgParen:
      return 0;
    default:
      return kind >= ptgConcat && kind <= ptgRange ? 2 : -1;
  }
}

namespace {

struct StackItem {
  TokenBlock block;
  int32_t priority;
};

}  // namespace

void TSpreadSheetExpressionParser::Convert(std::string_view source, int32_t& argCount,
                                           TokenBlock& block, int depth) {
  argCount = 1;
  block.Clear();
  if (depth > kMaxNesting) {
    handler_.RaiseError(EngineError::Value);
    return;
  }
  std::vector<StackItem> operators;
  std::vector<TokenBlock> output;
  int32_t previousPriority = INT_MAX;
  uint8_t previousKind = 0;
  std::string text(source);
  std::string inner;
  TokenBlock token;
  TSSFormulasCache& cache = handler_.Cache();

  while (!text.empty() && handler_.ErrorCode() == 0 && !cache.ErrorFlag()) {
    uint8_t kind = handler_.NextToken(text, inner, token);
    if (kind == 0) break;  // the handler recorded why
    if (kind == ptgIsect) continue;
    if (kind == ptgUnion) {
      while (!operators.empty()) {
        output.push_back(std::move(operators.back().block));
        operators.pop_back();
      }
      ++argCount;
      previousKind = ptgUnion;
      continue;
    }
    if ((kind == ptgAdd || kind == ptgSub) && (previousPriority >= 2 || previousKind == ptgUnion)) {
      if (kind == ptgAdd) continue;  // a unary plus is dropped
      kind = ptgUminus;
      token = MakeByteToken(ptgUminus);
    }
    const int32_t priority = Priority(kind);
    previousPriority = priority;
    previousKind = kind;
    if (priority == -1) {
      output.push_back(std::move(token));
    } else if (kind == ptgParen || kind == ptgFuncVar) {
      int32_t innerCount = 0;
      if (!inner.empty()) {
        TokenBlock innerBlock;
        Convert(inner, innerCount, innerBlock, depth + 1);
        output.push_back(std::move(innerBlock));
      }
      if (kind == ptgParen) {
        output.push_back(MakeByteToken(ptgParen));
      } else {
        if (innerCount > 255) {  // the count byte cannot hold more
          handler_.RaiseError(EngineError::Value);
          break;
        }
        const uint16_t number = ReadU16(token.Data() + 2);
        output.push_back(MakeFuncVarToken(static_cast<uint8_t>(innerCount), number));
      }
    } else {
      if (priority != 6) {
        while (!operators.empty() && operators.back().priority >= priority) {
          output.push_back(std::move(operators.back().block));
          operators.pop_back();
        }
      }
      operators.push_back({std::move(token), priority});
    }
  }
  while (!operators.empty()) {
    if (operators.back().block.ValueKind() != ptgUnion)
      output.push_back(std::move(operators.back().block));
    operators.pop_back();
  }
  for (const TokenBlock& item : output) block.Append(item);
}

}  // namespace formulas
