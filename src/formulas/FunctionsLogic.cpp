// Logic and information: IF, NOT, TRUE, FALSE and the IS functions.
#include "formulas/FunctionRoutines.h"
#include "formulas/Values.h"
#include "workbook/SSUtils.h"

namespace formulas::routines {
namespace {

void PushAsKind(TSSFunctionHandler& h, const std::string& value, uint8_t kind) {
  if (kind == ptgBool) {
    bool b = false;
    TextToBoolean(value, b);
    h.PushBoolean(b);
  } else if (kind == ptgNum) {
    double d = 0;
    TextToNumber(value, d);
    h.PushNumber(d);
  } else {
    h.PushText(value);
  }
}

}  // namespace

void If(TSSFunctionHandler& h) {
  // Written with two arguments, the else-value is FALSE. A number, or a reference to a
  // number, is passed on as its exact double; other values as their text and kind.
  struct Branch {
    std::string text;
    uint8_t kind = 0;
    bool exact = false;
    double number = 0;
  };
  // An error pending from one argument must not keep a reference in another from being read
  // (a reference is not read while an error is pending): the branch not chosen may well end
  // in an error, and the error of the chosen one travels as its value.
  auto pop = [&h](Branch& b) {
    h.ClearError();
    b.exact = h.PeekExactNumber(b.number);
    b.text = h.PopText(b.kind);
  };
  Branch elseBranch{"FALSE", ptgBool};
  if (h.ArgCount() >= 3) pop(elseBranch);
  Branch thenBranch;
  pop(thenBranch);
  h.ClearError();
  const Branch& chosen = h.PopBoolean() ? thenBranch : elseBranch;
  if (chosen.exact)
    h.PushNumber(chosen.number);
  else
    PushAsKind(h, chosen.text, chosen.kind);
  h.ClearError();
}

void Not(TSSFunctionHandler& h) { h.PushBoolean(!h.PopBoolean()); }
void True(TSSFunctionHandler& h) { h.PushBoolean(true); }
void False(TSSFunctionHandler& h) { h.PushBoolean(false); }

void IsNumber(TSSFunctionHandler& h) {
  const std::string t = h.PopText();
  h.PushBoolean(!h.PoppedLiteralText() && IsNumberText(t));
  h.ClearError();
}

void IsLogical(TSSFunctionHandler& h) {
  const std::string t = h.PopText();
  h.PushBoolean(!h.PoppedLiteralText() && IsBooleanText(t));
  h.ClearError();
}

void IsText(TSSFunctionHandler& h) {
  const std::string t = h.PopText();
  const std::string_view s = workbook::TrimText(t);
  const bool literal = h.PoppedLiteralText() && !t.empty();
  h.PushBoolean(literal || (!s.empty() && !IsNumberText(s) && !IsBooleanText(s)));
  h.ClearError();
}

void IsNonText(TSSFunctionHandler& h) {
  // An error is not a text: ISNONTEXT looks at it instead of passing it on.
  const std::string t = h.PopText();
  const std::string_view s = workbook::TrimText(t);
  const bool literal = h.PoppedLiteralText() && !t.empty();
  h.PushBoolean(h.ErrorCode() != 0 ||
                (!literal && (s.empty() || IsNumberText(s) || IsBooleanText(s))));
  h.ClearError();
}

void IsNA(TSSFunctionHandler& h) {
  const bool pending = h.ErrorCode() == static_cast<uint8_t>(EngineError::NA);
  const std::string t = h.PopText();
  const bool na = pending || h.ErrorCode() == static_cast<uint8_t>(EngineError::NA) ||
                  workbook::TrimText(t) == EngineErrorText(static_cast<uint8_t>(EngineError::NA));
  h.PushBoolean(na);
  h.ClearError();
}

void IsError(TSSFunctionHandler& h) {
  const std::string t = h.PopText();
  h.PushBoolean(h.ErrorCode() != 0 || IsEngineErrorText(t));
  h.ClearError();
}

}  // namespace formulas::routines
