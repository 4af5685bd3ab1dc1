// Arithmetic and rounding.
#include <cmath>
#include <cstdint>

#include "formulas/FunctionRoutines.h"
#include "platform/Clock.h"
#include "platform/PortableMath.h"

namespace formulas::routines {
namespace {

// round(x): to the nearest integer, halves to even (the floating-point unit's default).
double RoundEven(double x) { return std::nearbyint(x); }

// Digit counts beyond this change nothing a double can hold; the cap keeps the loops short.
constexpr int kMaxDigits = 400;

int ClampDigits(double d) {
  if (!(d > -kMaxDigits)) return -kMaxDigits;
  if (!(d < kMaxDigits)) return kMaxDigits;
  return static_cast<int>(d);
}

double Pow10(int n) { return platform::math::Power10(n); }

bool HasFraction(double x) { return x != std::trunc(x); }

// Multiplies by 10 `digits` times, applies `cut`, divides back; a negative count acts as 0.
// When the scaled value leaves the range of doubles the number is left as it is.
double ScaleCut(double x, int digits, double (*cut)(double)) {
  if (digits < 0) digits = 0;
  double y = x;
  for (int i = 0; i < digits; ++i) y *= 10;
  if (!std::isfinite(y)) return x;
  y = cut(y);
  for (int i = 0; i < digits; ++i) y /= 10;
  return y;
}

double TruncCut(double x) { return std::trunc(x); }
double FloorCut(double x) { return std::floor(x); }
double CeilCut(double x) { return std::ceil(x); }

}  // namespace

void Abs(TSSFunctionHandler& h) { h.PushNumber(std::fabs(h.PopNumber())); }

void Sign(TSSFunctionHandler& h) {
  const double x = h.PopNumber();
  h.PushNumber(x > 0 ? 1 : (x < 0 ? -1 : 0));
}

void Sqrt(TSSFunctionHandler& h) {
  const double x = h.PopNumber();
  if (x >= 0) {
    h.PushNumber(std::sqrt(x));
  } else {
    h.RaiseError(EngineError::Num);
    h.PushNumber(0);
  }
}

void Exp(TSSFunctionHandler& h) { h.PushNumber(platform::math::Exp(h.PopNumber())); }

void Ln(TSSFunctionHandler& h) {
  const double x = h.PopNumber();
  if (x == 0) {
    // Shows "#DIV/0!" as before, but as an error that travels and that ISERROR sees.
    h.RaiseError(EngineError::Div0);
    h.PushText(EngineErrorText(static_cast<uint8_t>(EngineError::Div0)));
    return;
  }
  h.PushNumber(platform::math::Log(x));  // a negative x gives #NUM!
}

void Log10(TSSFunctionHandler& h) {
  const double x = h.PopNumber();
  h.PushNumber(x > 0 ? platform::math::Log10(x) : NAN);
}

void Log(TSSFunctionHandler& h) {
  const double base = h.ArgCount() >= 2 ? h.PopNumber() : 10;
  const double x = h.PopNumber();
  if (base > 0 && x > 0) {
    h.PushNumber(platform::math::Log(x) / platform::math::Log(base));  // base 1 divides by 0: #NUM!
  } else {
    h.RaiseError(EngineError::Num);
    h.PushNumber(0);
  }
}

void Power(TSSFunctionHandler& h) {
  const double exponent = h.PopNumber();
  const double base = h.PopNumber();
  h.PushNumber(platform::math::Pow(base, exponent));
}

void Pi(TSSFunctionHandler& h) { h.PushNumber(3.141592653589793); }

void Int(TSSFunctionHandler& h) { h.PushNumber(std::floor(h.PopNumber())); }

void Trunc(TSSFunctionHandler& h) {
  const int digits = h.ArgCount() >= 2 ? ClampDigits(RoundEven(h.PopNumber())) : 0;
  const double x = h.PopNumber();
  h.PushNumber(ScaleCut(x, digits, TruncCut));
}

void Round(TSSFunctionHandler& h) {
  const int digits = ClampDigits(RoundEven(h.PopNumber()));
  const double x = h.PopNumber();
  const double f = Pow10(digits);
  if (f == 0) {  // so many negative digits that every number rounds to 0
    h.PushNumber(0);
    return;
  }
  const double scaled = x * f;
  if (!std::isfinite(f) || !std::isfinite(scaled) || std::fabs(scaled) > 1.7e308) {
    h.PushNumber(x);  // more digits than a double holds: nothing to round
    return;
  }
  double y = std::trunc(scaled);
  if (std::fabs(scaled - y) >= 0.5) y += scaled < 0 ? -1 : 1;
  h.PushNumber(y / f);
}

void RoundDown(TSSFunctionHandler& h) {
  const int digits = ClampDigits(RoundEven(h.PopNumber()));
  const double x = h.PopNumber();
  h.PushNumber(ScaleCut(x, digits, FloorCut));
}

void RoundUp(TSSFunctionHandler& h) {
  const int digits = ClampDigits(RoundEven(h.PopNumber()));
  const double x = h.PopNumber();
  h.PushNumber(ScaleCut(x, digits, CeilCut));
}

namespace {

void CeilingFloor(TSSFunctionHandler& h, bool ceiling) {
  if (h.ArgCount() < 2) {
    DropArguments(h, h.ArgCount());
    h.RaiseError(EngineError::Name);
    h.PushNumber(0);
    return;
  }
  const double s = h.PopNumber();
  const double n = h.PopNumber();
  if (s == 0) {
    h.RaiseError(EngineError::Div0);
    h.PushNumber(0);
    return;
  }
  if (n == 0) {  // zero is a multiple of every significance
    h.PushNumber(0);
    return;
  }
  if (!((s >= 0 && n > 0) || (s <= 0 && n < 0))) {
    h.RaiseError(EngineError::Num);
    h.PushNumber(0);
    return;
  }
  // The smallest power of ten that makes the significance whole (0.1 -> 10), found with a
  // tolerance because decimal fractions are not exact in binary.
  int k = 0;
  double scale = 1;
  double sk = s;
  while (k < 15 && std::fabs(sk - std::round(sk)) > 1e-9 * std::max(1.0, std::fabs(sk))) {
    ++k;
    scale *= 10;
    sk = s * scale;
  }
  const double sPrime = std::fabs(std::round(sk) != 0 ? std::round(sk) : sk);
  const double nPrime = n * scale;
  double q = nPrime / sPrime;
  if (std::fabs(q - std::round(q)) <= 1e-9 * std::max(1.0, std::fabs(q))) q = std::round(q);
  if (HasFraction(q)) {
    if (ceiling)
      q = q > 0 ? std::ceil(q) : std::floor(q);
    else
      q = std::trunc(q);
  }
  h.PushNumber(q * sPrime / scale);
}

}  // namespace

void Ceiling(TSSFunctionHandler& h) { CeilingFloor(h, true); }
void Floor(TSSFunctionHandler& h) { CeilingFloor(h, false); }

namespace {

void EvenOdd(TSSFunctionHandler& h, bool even) {
  double x = h.PopNumber();
  if (HasFraction(x)) x = x > 0 ? std::ceil(x) : std::floor(x);
  const bool odd = std::fmod(std::fabs(x), 2.0) == 1.0;
  if (even ? odd : !odd) x += x < 0 ? -1 : 1;
  h.PushNumber(x);
}

}  // namespace

void Even(TSSFunctionHandler& h) { EvenOdd(h, true); }
void Odd(TSSFunctionHandler& h) { EvenOdd(h, false); }

void Mod(TSSFunctionHandler& h) {
  const double d = h.PopNumber();
  const double a = h.PopNumber();
  if (d == 0) {
    h.RaiseError(EngineError::Div0);
    h.PushNumber(a);
    return;
  }
  // The floored remainder, which takes the divisor's sign, computed directly (fmod is exact)
  // instead of by repeated subtraction; then floored as for positive operands.
  double r = std::fmod(a, d);
  if (r != 0 && ((r < 0) != (d < 0))) r += d;
  h.PushNumber(std::floor(r));
}

void Fact(TSSFunctionHandler& h) {
  const double n = std::floor(h.PopNumber());
  if (n > 170) {  // beyond the range of doubles
    h.PushNumber(INFINITY);
    return;
  }
  double product = 1;
  for (double i = n; i > 1; --i) product *= i;
  h.PushNumber(product);
}

void Rand(TSSFunctionHandler& h) {
  h.PushNumber(static_cast<double>(platform::RandomUInt32()) / 4294967296.0);
}

}  // namespace formulas::routines
