// Text functions: LEN, LOWER, UPPER, TRIM, LEFT, RIGHT, MID, DOLLAR, FIXED.
#include <cmath>

#include "formulas/FunctionRoutines.h"
#include "platform/CodePage.h"
#include "platform/PortableMath.h"
#include "workbook/NumberPattern.h"

namespace formulas::routines {
namespace {

double RoundEven(double x) { return std::nearbyint(x); }

// Counts and positions beyond any text length; the clamp keeps conversions defined.
int64_t ClampCount(double x) {
  if (!(x > -1e12)) return -1000000000000LL;
  if (!(x < 1e12)) return 1000000000000LL;
  return static_cast<int64_t>(x);
}

}  // namespace

void Len(TSSFunctionHandler& h) { h.PushNumber(static_cast<double>(h.PopText().size())); }
void Lower(TSSFunctionHandler& h) { h.PushText(platform::AnsiLowerCase(h.PopText())); }
void Upper(TSSFunctionHandler& h) { h.PushText(platform::AnsiUpperCase(h.PopText())); }

void Trim(TSSFunctionHandler& h) {
  const std::string t = h.PopText();
  std::string out;
  bool blank = false;
  for (char c : t) {
    if (c == ' ') {
      blank = true;
      continue;
    }
    if (blank && !out.empty()) out += ' ';
    blank = false;
    out += c;
  }
  h.PushText(out);
}

namespace {

void LeftRight(TSSFunctionHandler& h, bool left) {
  if (h.ArgCount() < 2) {
    const std::string s = h.PopText();
    h.PushText(s.empty() ? s : (left ? s.substr(0, 1) : s.substr(s.size() - 1)));
    return;
  }
  const int64_t n = ClampCount(RoundEven(h.PopNumber()));
  const std::string s = h.PopText();
  if (n < 0) {
    h.RaiseError(EngineError::Value);
    h.PushText("");
    return;
  }
  const size_t k = static_cast<size_t>(std::min<int64_t>(n, static_cast<int64_t>(s.size())));
  h.PushText(left ? s.substr(0, k) : s.substr(s.size() - k));
}

}  // namespace

void Left(TSSFunctionHandler& h) { LeftRight(h, true); }
void Right(TSSFunctionHandler& h) { LeftRight(h, false); }

void Mid(TSSFunctionHandler& h) {
  if (h.ArgCount() != 3) {
    DropArguments(h, h.ArgCount());
    h.RaiseError(EngineError::Value);
    h.PushText("");
    return;
  }
  const int64_t count = ClampCount(std::trunc(h.PopNumber()));
  const int64_t start = ClampCount(std::trunc(h.PopNumber()));
  const std::string s = h.PopText();
  if (start < 1 || count < 1 || static_cast<int64_t>(s.size()) < start) {
    h.RaiseError(EngineError::Value);
    h.PushText("");
    return;
  }
  h.PushText(s.substr(static_cast<size_t>(start - 1), static_cast<size_t>(count)));
}

void Dollar(TSSFunctionHandler& h) {
  // Without a count of decimals, two are shown.
  const double d = h.ArgCount() >= 2 ? RoundEven(h.PopNumber()) : 2;
  const double x = h.PopNumber();
  const int decimals = d < -20 ? -20 : (d > 20 ? 20 : static_cast<int>(d));
  double value = x;
  if (decimals < 0) {
    const double f = platform::math::Power10(-decimals);
    value = std::round(x / f) * f;
  }
  std::string pattern = "$#,##0";
  if (decimals > 0) pattern += "." + std::string(static_cast<size_t>(decimals), '0');
  const std::string text = workbook::FormatNumberPattern(pattern, std::fabs(value));
  h.PushText(value < 0 ? "(" + text + ")" : text);
}

void Fixed(TSSFunctionHandler& h) {
  if (h.ArgCount() > 2) h.PopBoolean();  // "no commas": a number has none to leave out
  const double d = h.ArgCount() >= 2 ? RoundEven(h.PopNumber()) : 2;
  const double x = h.PopNumber();
  if (d >= 0) {
    const double f = platform::math::Power10(d > 300 ? 300 : static_cast<int>(d));
    const double scaled = x * f;
    h.PushNumber(std::isfinite(scaled) ? RoundEven(scaled) / f : x);
  } else {
    h.PushNumber(x);
  }
}

}  // namespace formulas::routines
