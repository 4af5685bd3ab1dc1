#pragma once
// How tightly operators bind in two readings of an infix formula text, so that a postfix token
// stream can be written as text (or as file tokens) that reads back in the stream's own order.
//
// The postfix order of a token stream fixes the meaning; infix text only keeps it when its
// reader groups the same way. Two readers matter here, and they disagree:
//
//   level  typed formula text (this engine)      file formulas (every other spreadsheet)
//   high   unary minus                           reference operators : , blank
//          *  /  ^                               unary minus
//          +  -                                  %
//   low    &  <  <=  =  >=  >  <>                ^
//                                                *  /
//                                                +  -
//                                                &
//                                                <  <=  =  >=  >  <>
//
// In both, binary operators associate to the left, so 2^3^2 is (2^3)^2 in each. Between
// them, =2*3^2 is 36 typed and 18 in a file, and =3=3&"" is "TRUE" typed and FALSE in a file.
// The file reader therefore brackets every operand that its text would otherwise regroup
// (`EngineTextBinding`), and the writer adds the file's bracket token wherever a peer would
// regroup the engine's order (`FileBinding`). A bracket already present stays.
#include <cstdint>

namespace xls {

// Binding strength of a finished operand: an atom (reference, constant, function call,
// bracketed group) binds tightest.
using Binding = uint8_t;
constexpr Binding kAtomBinding = 255;

enum class FormulaReading : uint8_t {
  EngineText,  // this engine's parser of typed formula text
  FileTokens,  // the peers' reading of file formulas (ptgParen only where written)
};

// The binding of the result of operator `kind` (a ptg kind 3-20; the unary and percent kinds
// included) in `reading`; kAtomBinding for the reference operators, which never need brackets.
Binding OperatorBinding(FormulaReading reading, uint8_t kind);

// Whether an operand that binds `operand` must be bracketed to stay the left or right operand
// of binary operator `kind`, or the operand of unary minus, unary plus or percent, in
// `reading`.
bool LeftNeedsBrackets(FormulaReading reading, uint8_t kind, Binding operand);
bool RightNeedsBrackets(FormulaReading reading, uint8_t kind, Binding operand);
bool UnaryNeedsBrackets(FormulaReading reading, Binding operand);

}  // namespace xls
