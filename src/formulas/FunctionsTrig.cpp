// Trigonometric and hyperbolic functions of one number; ATAN2 of two. A value outside a
// function's domain ends as #NUM!.
#include <cmath>

#include "formulas/FunctionRoutines.h"

namespace formulas::routines {
namespace {

constexpr double kPi = 3.141592653589793;

void Unary(TSSFunctionHandler& h, double (*f)(double)) { h.PushNumber(f(h.PopNumber())); }

}  // namespace

void Radians(TSSFunctionHandler& h) { h.PushNumber(h.PopNumber() * kPi / 180); }
void Degrees(TSSFunctionHandler& h) { h.PushNumber(h.PopNumber() * 180 / kPi); }
void Sin(TSSFunctionHandler& h) { Unary(h, [](double x) { return std::sin(x); }); }
void Cos(TSSFunctionHandler& h) { Unary(h, [](double x) { return std::cos(x); }); }
void Tan(TSSFunctionHandler& h) { Unary(h, [](double x) { return std::tan(x); }); }
void Asin(TSSFunctionHandler& h) { Unary(h, [](double x) { return std::asin(x); }); }
void Acos(TSSFunctionHandler& h) { Unary(h, [](double x) { return std::acos(x); }); }
void Atan(TSSFunctionHandler& h) { Unary(h, [](double x) { return std::atan(x); }); }
void Sinh(TSSFunctionHandler& h) { Unary(h, [](double x) { return std::sinh(x); }); }
void Cosh(TSSFunctionHandler& h) { Unary(h, [](double x) { return std::cosh(x); }); }
void Tanh(TSSFunctionHandler& h) { Unary(h, [](double x) { return std::tanh(x); }); }
void Asinh(TSSFunctionHandler& h) { Unary(h, [](double x) { return std::asinh(x); }); }
void Acosh(TSSFunctionHandler& h) { Unary(h, [](double x) { return std::acosh(x); }); }
void Atanh(TSSFunctionHandler& h) { Unary(h, [](double x) { return std::atanh(x); }); }

void Atan2(TSSFunctionHandler& h) {
  const double y = h.PopNumber();  // the second argument
  const double x = h.PopNumber();  // the first argument
  h.PushNumber(std::atan2(y, x));
}

}  // namespace formulas::routines
