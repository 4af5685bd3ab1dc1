#pragma once
// The formula front end and evaluator of one book.
//
// Parsing: PrepareText checks brackets and quotes, NextToken cuts one token off the text,
// ClassifyOperand turns an operand text into a token, TSpreadSheetExpressionParser turns the
// infix sequence into postfix, FormulaToText regenerates the text from the tokens.
//
// Evaluation: EvaluateEntry walks an entry's postfix stream on the value stack and leaves
// exactly one result token in the entry. Worksheet errors are a pending code (ErrorCode()),
// never exceptions; operators and functions keep running and the pending code decides the
// result at the end. Function routines (FunctionTable.h) pop their own arguments with the
// Pop* operations or ForEachArgument and push exactly one result.
//
// A handler holds no state between formulas except what ResetFor clears. It is not
// re-entrant: the cache uses one handler per nesting level of evaluation.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "formulas/EngineErrors.h"
#include "formulas/FormulaEntry.h"
#include "formulas/TTokensStack.h"
#include "formulas/TokenBlock.h"

namespace formulas {

class TSSFormulasCache;

// How ForEachArgument hands values over: as texts or as numbers. Counting hands texts over
// too, but a cell holding an error is a value to count, not an error of the count: it comes
// as its literal instead of making the whole function's result that error.
enum class ArgumentMode : uint8_t { Text = 1, Number = 2, Counting = 3 };

// One visited value. In Text mode `text` is set; in Number mode `number`.
using ArgumentCallback = std::function<void(std::string_view text, double number)>;

class TSSFunctionHandler {
 public:
  explicit TSSFunctionHandler(TSSFormulasCache& cache);
  TSSFunctionHandler(const TSSFunctionHandler&) = delete;
  TSSFunctionHandler& operator=(const TSSFunctionHandler&) = delete;
  virtual ~TSSFunctionHandler();

  // ---- parsing ---------------------------------------------------------------------------
  void BuildSeparatorSet();
  // Strips leading blanks and "=", trailing blanks; false (with the message reported) when
  // brackets do not balance or a string literal is unterminated.
  bool PrepareText(std::string_view text, std::string& clean);
  TokenBlock ParseText(std::string_view clean);
  // Cuts one token off the front of `text`; `inner` receives the bracketed text of a
  // function call or parenthesis. Returns the token's kind byte, 0 when there is none
  // (an error code is then set).
  uint8_t NextToken(std::string& text, std::string& inner, TokenBlock& token);
  void ReadStringLiteral(std::string& text, std::string& value);
  uint8_t ClassifyOperand(std::string_view text, TokenBlock& token);
  // The whole front end for one entry: frees the entry's old tokens, prepares, parses and
  // stores the stream. Failures are reported and leave what was converted so far.
  // Returns false when anything was reported (the stream then holds only what was converted).
  bool ParseInto(std::string_view text, FormulaEntry& entry);
  // "=" followed by the regenerated text, or empty (with the message reported).
  std::string FormulaToText(const FormulaEntry& entry);
  std::string FormulaToText(const TokenBlock& tokens, uint16_t sheet, int32_t col, int32_t row);
  // Whether FormulaToText makes a text of these tokens (they walk whole and leave exactly one
  // fragment), found without making it.
  static bool TextCanBeBuilt(const TokenBlock& tokens);

  // ---- evaluation --------------------------------------------------------------------------
  // Evaluates the entry and stores its result; ECalculationError (and floating-point faults)
  // leave it after the result has been stored.
  void EvaluateEntry(FormulaEntry& entry);
  void ResetFor(FormulaEntry* entry, bool freeOldResult);

  // Pops for operators and routines. An empty stack or item raises error 3 (#VALUE!).
  double PopNumber();
  bool PopBoolean();
  std::string PopText();
  // Also returns the popped item's value kind (for a reference: the reference's kind).
  std::string PopText(uint8_t& kind);
  // Whether the top item is a number, or a single reference to a number cell or to a formula
  // whose result is a number; gives that double, exactly, without popping. For routines that
  // pass a value on as they found it (IF), where its text would round it to 15 digits.
  bool PeekExactNumber(double& value);
  // Whether the last PopText read a literal text cell (a text even when it reads as a number).
  bool PoppedLiteralText() const { return poppedLiteral_; }
  // Inside a ForEachArgument callback of text or counting mode: the value is a literal text
  // cell's (a text, even when it reads as a number).
  bool ArgumentIsLiteralText() const { return argLiteral_; }

  // Visits every value of the current function's ArgCount arguments, last argument first.
  // A cell holding an error (a formula that ended in one) is not handed over; except in
  // Counting mode, the first such error met becomes the pending error: in a range the first
  // error column by column, over several arguments the one visited first (the last written).
  void ForEachArgument(const ArgumentCallback& callback, ArgumentMode mode);

  // Results. Each sets HasResult.
  void PushNumber(double value);
  void PushBoolean(bool value);
  void PushText(std::string_view text);
  // Pushes a copy of the top `count` items in their order (AVERAGE counts over copies).
  void DuplicateTop(int32_t count);

  void RaiseError(EngineError code);
  uint8_t ErrorCode() const { return errorCode_; }
  void ClearError() { errorCode_ = 0; }

  int32_t ArgCount() const { return argCount_; }
  void SetArgCount(int32_t count) { argCount_ = count; }
  double Accumulator() const { return accumulator_; }
  void SetAccumulator(double value) { accumulator_ = value; }
  bool AccumulatorSet() const { return accumulatorSet_; }
  void SetAccumulatorSet(bool value) { accumulatorSet_ = value; }
  std::string& TextAccumulator() { return textAccumulator_; }
  int32_t Visited() const { return visited_; }
  // How many equal values the current callback stands for: 1, except for the run of empty
  // cells of a range that lie beyond the sheet's used area, which is handed over once.
  int64_t RunLength() const { return runLength_; }
  bool HasResult() const { return hasResult_; }

  TTokensStack& Stack() { return stack_; }
  TSSFormulasCache& Cache() { return cache_; }
  int32_t CurrentRow() const { return currentRow_; }
  int32_t CurrentCol() const { return currentCol_; }
  uint16_t CurrentSheet() const { return currentSheet_; }
  void SetContext(uint16_t sheet, int32_t col, int32_t row);

  // The operator text of kind 3..20 (ptgUnion gives the current list separator).
  std::string_view OperatorText(uint8_t kind) const;
  char ListSeparator() const { return listSeparator_; }

  // Reports a message through the cache (message box, or ErrorFlag in silent mode).
  void Report(std::string_view message);

 private:
  friend class TSpreadSheetExpressionParser;
  friend class FormulaEvaluator;

  bool IsSeparator(char c) const;
  // The book's sheet captions as formulas write them; read at the start of every parse and
  // text regeneration (evaluation does not need them).
  void LoadSheetCaptions();
  bool ReadReference(std::string_view upper, TokenBlock& token);
  bool ReadCorner(std::string_view text, bool originRelative, RefToken& ref) const;
  size_t MatchNamePrefix(std::string_view text, size_t& nameIndex) const;
  size_t MatchSheetPrefix(std::string_view text, size_t& sheetIndex) const;
  std::string ReferenceText(const RefToken& ref, int32_t ownCol, int32_t ownRow) const;

  void ApplyOperator(uint8_t kind);
  template <typename PopRight, typename PopLeft>
  void PopOperandsInReadingOrder(PopRight popRight, PopLeft popLeft);
  void CallFunction(uint8_t argCount, uint16_t number);
  void ForEachCell(const TokenBlock& item, const ArgumentCallback& callback, ArgumentMode mode);
  bool ResolveSingle(const TokenBlock& item, uint16_t& sheet, int32_t& col, int32_t& row);
  TokenBlock PopItem();
  void PushTyped(std::string_view text);
  void Intersect();

  TSSFormulasCache& cache_;
  int32_t visited_ = 0;
  int64_t runLength_ = 1;
  bool cellErrorMet_ = false;  // ForEachArgument has raised the error of a cell
  int32_t currentCol_ = 0;
  uint8_t errorCode_ = 0;
  std::string separatorSet_;
  char listSeparator_ = ',';
  double accumulator_ = 0;
  bool accumulatorSet_ = false;
  bool hasResult_ = false;
  FormulaEntry* currentEntry_ = nullptr;
  uint16_t currentSheet_ = 0;
  int32_t argCount_ = 0;
  bool notText_ = false;
  bool poppedLiteral_ = false;
  bool argLiteral_ = false;
  int32_t currentRow_ = 0;
  std::string textAccumulator_;
  TTokensStack stack_;
  std::vector<std::string> fragments_;
  std::vector<std::string> sheets_;        // sheet captions as formulas write them, by index
  std::vector<std::string> heldMessages_;  // messages of an evaluation, shown when it completes
  bool holdMessages_ = false;
};

}  // namespace formulas
