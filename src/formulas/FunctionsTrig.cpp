// Trigonometric and hyperbolic functions of one number; ATAN2 of two. A value outside a
// function's domain ends as #NUM!.
#include <cmath>

#include "formulas/FunctionRoutines.h"
#include "platform/PortableMath.h"

namespace formulas::routines {
namespace {

constexpr double kPi = 3.141592653589793;

void Unary(TSSFunctionHandler& h, double (*f)(double)) { h.PushNumber(f(h.PopNumber())); }

}  // namespace

void Radians(TSSFunctionHandler& h) { h.PushNumber(h.PopNumber() * kPi / 180); }
void Degrees(TSSFunctionHandler& h) { h.PushNumber(h.PopNumber() * 180 / kPi); }
void Sin(TSSFunctionHandler& h) {
  Unary(h, [](double x) { return platform::math::Sin(x); });
}
void Cos(TSSFunctionHandler& h) {
  Unary(h, [](double x) { return platform::math::Cos(x); });
}
void Tan(TSSFunctionHandler& h) {
  Unary(h, [](double x) { return platform::math::Tan(x); });
}
void Asin(TSSFunctionHandler& h) {
  Unary(h, [](double x) { return platform::math::Asin(x); });
}
void Acos(TSSFunctionHandler& h) {
  Unary(h, [](double x) { return platform::math::Acos(x); });
}
void Atan(TSSFunctionHandler& h) {
  Unary(h, [](double x) { return platform::math::Atan(x); });
}
void Sinh(TSSFunctionHandler& h) {
  Unary(h, [](double x) { return platform::math::Sinh(x); });
}
void Cosh(TSSFunctionHandler& h) {
  Unary(h, [](double x) { return platform::math::Cosh(x); });
}
void Tanh(TSSFunctionHandler& h) {
  Unary(h, [](double x) { return platform::math::Tanh(x); });
}
void Asinh(TSSFunctionHandler& h) {
  Unary(h, [](double x) { return platform::math::Asinh(x); });
}
void Acosh(TSSFunctionHandler& h) {
  Unary(h, [](double x) { return platform::math::Acosh(x); });
}
void Atanh(TSSFunctionHandler& h) {
  Unary(h, [](double x) { return platform::math::Atanh(x); });
}

void Atan2(TSSFunctionHandler& h) {
  const double y = h.PopNumber();  // the second argument
  const double x = h.PopNumber();  // the first argument
  h.PushNumber(platform::math::Atan2(y, x));
}

}  // namespace formulas::routines
