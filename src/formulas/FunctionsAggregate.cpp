// Aggregates: SUM, SUMSQ, MAX, MIN, COUNT, COUNTA, COUNTBLANK, COUNTIF, AVERAGE, AVERAGEA,
// AND, OR, CONCATENATE, ISBLANK. All visit their arguments with ForEachArgument.
#include "formulas/EngineErrors.h"
#include "formulas/FunctionRoutines.h"
#include "formulas/Values.h"
#include "platform/CodePage.h"

namespace formulas::routines {

void DropArguments(TSSFunctionHandler& h, int32_t count) {
  for (int32_t i = 0; i < count && !h.Stack().Empty(); ++i) h.Stack().Pop();
}

void Sum(TSSFunctionHandler& h) {
  h.ForEachArgument([&](std::string_view, double x) { h.SetAccumulator(h.Accumulator() + x); },
                    ArgumentMode::Number);
  h.PushNumber(h.Accumulator());
}

void SumSq(TSSFunctionHandler& h) {
  h.ForEachArgument([&](std::string_view, double x) { h.SetAccumulator(h.Accumulator() + x * x); },
                    ArgumentMode::Number);
  h.PushNumber(h.Accumulator());
}

void Max(TSSFunctionHandler& h) {
  h.ForEachArgument(
      [&](std::string_view, double x) {
        if (!h.AccumulatorSet() || x > h.Accumulator()) {
          h.SetAccumulator(x);
          h.SetAccumulatorSet(true);
        }
      },
      ArgumentMode::Number);
  h.PushNumber(h.Accumulator());
}

void Min(TSSFunctionHandler& h) {
  h.ForEachArgument(
      [&](std::string_view, double x) {
        if (!h.AccumulatorSet() || x < h.Accumulator()) {
          h.SetAccumulator(x);
          h.SetAccumulatorSet(true);
        }
      },
      ArgumentMode::Number);
  h.PushNumber(h.Accumulator());
}

void Count(TSSFunctionHandler& h) {
  h.ForEachArgument(
      [&](std::string_view text, double) {
        if (!h.ArgumentIsLiteralText() && IsNumberText(text)) h.SetAccumulator(h.Accumulator() + 1);
      },
      ArgumentMode::Counting);
  h.PushNumber(h.Accumulator());
}

void CountA(TSSFunctionHandler& h) {
  h.ForEachArgument(
      [&](std::string_view text, double) {
        if (!text.empty()) h.SetAccumulator(h.Accumulator() + 1);
      },
      ArgumentMode::Counting);
  h.PushNumber(h.Accumulator());
}

void CountBlank(TSSFunctionHandler& h) {
  h.ForEachArgument(
      [&](std::string_view text, double) {
        if (text.empty()) h.SetAccumulator(h.Accumulator() + static_cast<double>(h.RunLength()));
      },
      ArgumentMode::Counting);
  h.PushNumber(h.Accumulator());
}

namespace {

// One COUNTIF test. Comparisons are numeric when both sides are number texts (">5" counts
// 10), otherwise texts without regard to case; "<>" is "not equal" and "=" an explicit
// equality, as users write them.
bool CriterionMatches(std::string_view value, std::string_view criterion) {
  auto compare = [](std::string_view v, std::string_view operand) {
    double a = 0, b = 0;
    if (TextToNumber(v, a) && TextToNumber(operand, b)) return a < b ? -1 : (a > b ? 1 : 0);
    const int order = platform::AnsiCompareText(v, operand);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
  };
  if (criterion.starts_with(">=")) return compare(value, criterion.substr(2)) >= 0;
  if (criterion.starts_with("<=")) return compare(value, criterion.substr(2)) <= 0;
  if (criterion.starts_with("<>")) return compare(value, criterion.substr(2)) != 0;
  if (criterion.starts_with(">")) return compare(value, criterion.substr(1)) > 0;
  if (criterion.starts_with("<")) return compare(value, criterion.substr(1)) < 0;
  if (criterion.starts_with("=")) criterion.remove_prefix(1);
  return compare(value, criterion) == 0;
}

}  // namespace

void CountIf(TSSFunctionHandler& h) {
  // COUNTIF counts cells: an error cell is counted only by a criterion that names its error
  // exactly, and never makes the count an error.
  const std::string criterion = h.PopText();
  h.SetArgCount(h.ArgCount() - 1);
  double counted = 0;
  const std::string_view named =
      criterion.starts_with("=") ? std::string_view(criterion).substr(1) : criterion;
  h.ForEachArgument(
      [&](std::string_view text, double) {
        const bool matches =
            IsEngineErrorText(text) ? text == named : CriterionMatches(text, criterion);
        if (matches) counted += static_cast<double>(h.RunLength());
      },
      ArgumentMode::Counting);
  h.TextAccumulator().clear();
  h.PushNumber(counted);
}

namespace {

void AverageWith(TSSFunctionHandler& h, void (*counter)(TSSFunctionHandler&)) {
  const int32_t args = h.ArgCount();
  h.DuplicateTop(args);
  counter(h);
  const double count = h.PopNumber();
  h.SetArgCount(args);
  Sum(h);
  const double sum = h.PopNumber();
  if (count > 0) {
    h.PushNumber(sum / count);
  } else {
    h.RaiseError(EngineError::Div0);
    h.PushNumber(0);
  }
}

}  // namespace

void Average(TSSFunctionHandler& h) { AverageWith(h, Count); }
void AverageA(TSSFunctionHandler& h) { AverageWith(h, CountA); }

void And(TSSFunctionHandler& h) {
  h.ForEachArgument(
      [&](std::string_view text, double) {
        if (!h.AccumulatorSet()) {
          h.SetAccumulator(1);
          h.SetAccumulatorSet(true);
        }
        double number = 0;
        bool boolean = false;
        if (TextToNumber(text, number)) {
          if (number == 0) h.SetAccumulator(0);
        } else if (TextToBoolean(text, boolean)) {
          if (!boolean) h.SetAccumulator(0);
        } else {
          h.SetAccumulator(0);  // neither a number nor a Boolean, the empty text included
        }
      },
      ArgumentMode::Text);
  h.PushBoolean(h.Accumulator() > 0);
}

void Or(TSSFunctionHandler& h) {
  h.ForEachArgument(
      [&](std::string_view text, double) {
        double number = 0;
        bool boolean = false;
        if ((TextToNumber(text, number) && number != 0) ||
            (!IsNumberText(text) && TextToBoolean(text, boolean) && boolean))
          h.SetAccumulator(1);
      },
      ArgumentMode::Text);
  h.PushBoolean(h.Accumulator() > 0);
}

void Concatenate(TSSFunctionHandler& h) {
  // Arguments are popped last first, so each one goes in front of what is there; the cells
  // of one range are joined in their own order (row by row), as they are written.
  const int32_t args = h.ArgCount();
  std::string result;
  for (int32_t i = 0; i < args; ++i) {
    std::string piece;
    h.SetArgCount(1);
    h.ForEachArgument([&](std::string_view text, double) { piece += text; }, ArgumentMode::Text);
    result.insert(0, piece);
  }
  h.SetArgCount(args);
  h.TextAccumulator() = result;
  h.PushText(result);
}

void IsBlank(TSSFunctionHandler& h) {
  // An error is a value, not a blank: it makes ISBLANK false instead of passing on.
  h.ForEachArgument(
      [&](std::string_view text, double) {
        h.SetAccumulator(h.Accumulator() - static_cast<double>(h.RunLength()));
        if (!text.empty()) h.TextAccumulator() = std::string(text);
      },
      ArgumentMode::Counting);
  const bool blank = h.ErrorCode() == 0 && h.Visited() == 1 && h.TextAccumulator().empty();
  h.PushBoolean(blank);
  h.ClearError();
}

}  // namespace formulas::routines
