#include "xls/formula/OperatorBinding.h"

#include "xls/formula/PtgTable.h"

namespace xls {

namespace {

// Typed text: the engine's parser moves unary operators ahead of every binary one, and a
// percent sign applies at once to the operand before it, so a percentage is an atom there.
Binding EngineBinding(uint8_t kind) {
  switch (kind) {
    case ptg::kUplus:
    case ptg::kUminus:
      return 6;
    case ptg::kMul:
    case ptg::kDiv:
    case ptg::kPower:
      return 4;
    case ptg::kAdd:
    case ptg::kSub:
      return 3;
    case ptg::kConcat:
    case ptg::kLt:
    case ptg::kLe:
    case ptg::kEq:
    case ptg::kGe:
    case ptg::kGt:
    case ptg::kNe:
      return 2;
    default:
      return kAtomBinding;  // percent, and the reference operators
  }
}

Binding FileOrderBinding(uint8_t kind) {
  switch (kind) {
    case ptg::kUplus:
    case ptg::kUminus:
      return 7;
    case ptg::kPercent:
      return 6;
    case ptg::kPower:
      return 5;
    case ptg::kMul:
    case ptg::kDiv:
      return 4;
    case ptg::kAdd:
    case ptg::kSub:
      return 3;
    case ptg::kConcat:
      return 2;
    case ptg::kLt:
    case ptg::kLe:
    case ptg::kEq:
    case ptg::kGe:
    case ptg::kGt:
    case ptg::kNe:
      return 1;
    default:
      return kAtomBinding;  // the reference operators
  }
}

}  // namespace

Binding OperatorBinding(FormulaReading reading, uint8_t kind) {
  return reading == FormulaReading::EngineText ? EngineBinding(kind) : FileOrderBinding(kind);
}

bool LeftNeedsBrackets(FormulaReading reading, uint8_t kind, Binding operand) {
  const Binding own = OperatorBinding(reading, kind);
  return own != kAtomBinding && operand < own;
}

bool RightNeedsBrackets(FormulaReading reading, uint8_t kind, Binding operand) {
  // Left association: an equally strong operator on the right would be taken first.
  const Binding own = OperatorBinding(reading, kind);
  return own != kAtomBinding && operand <= own;
}

bool UnaryNeedsBrackets(FormulaReading reading, Binding operand) {
  // A negated percentage and a percentage of a negated value are the same number, so -A1%
  // and A1%% need no brackets in either reading; anything weaker than both does.
  const Binding minus = OperatorBinding(reading, ptg::kUminus);
  const Binding percent = OperatorBinding(reading, ptg::kPercent);
  return operand < (minus < percent ? minus : percent);
}

}  // namespace xls
