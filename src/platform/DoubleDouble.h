#pragma once
// Double-double arithmetic: a value is the unevaluated sum hi + lo of two doubles with
// |lo| <= half an ulp of hi, about 106 bits. Every operation is built from IEEE additions and
// multiplications alone (Knuth's two-sum, Dekker's split and product), so it gives the same
// bits on every build that rounds each operation to double; the build forbids fused
// multiply-add contraction, which these error terms would silently break.
//
// The products are exact only while no operand exceeds 2^995 (the split multiplies by
// 2^27 + 1) and no partial product falls into the subnormal range; callers keep their
// arguments inside that.
#include <cmath>

namespace platform::math {

struct DoubleDouble {
  double hi = 0;
  double lo = 0;
};

// s + err == a + b exactly.
inline DoubleDouble TwoSum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

// As TwoSum, when |a| >= |b| (or a == 0).
inline DoubleDouble FastTwoSum(double a, double b) {
  const double s = a + b;
  return {s, b - (s - a)};
}

// p + err == a * b exactly.
inline DoubleDouble TwoProduct(double a, double b) {
  constexpr double kSplitter = 134217729.0;  // 2^27 + 1
  const double p = a * b;
  const double ca = kSplitter * a;
  const double ah = ca - (ca - a), al = a - ah;
  const double cb = kSplitter * b;
  const double bh = cb - (cb - b), bl = b - bh;
  return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

inline DoubleDouble Add(DoubleDouble a, DoubleDouble b) {
  DoubleDouble s = TwoSum(a.hi, b.hi);
  const DoubleDouble t = TwoSum(a.lo, b.lo);
  s.lo += t.hi;
  s = FastTwoSum(s.hi, s.lo);
  s.lo += t.lo;
  return FastTwoSum(s.hi, s.lo);
}

inline DoubleDouble Add(DoubleDouble a, double b) {
  DoubleDouble s = TwoSum(a.hi, b);
  s.lo += a.lo;
  return FastTwoSum(s.hi, s.lo);
}

inline DoubleDouble Negate(DoubleDouble a) { return {-a.hi, -a.lo}; }
inline DoubleDouble Sub(DoubleDouble a, DoubleDouble b) { return Add(a, Negate(b)); }

inline DoubleDouble Mul(DoubleDouble a, DoubleDouble b) {
  DoubleDouble p = TwoProduct(a.hi, b.hi);
  p.lo += a.hi * b.lo + a.lo * b.hi;
  return FastTwoSum(p.hi, p.lo);
}

inline DoubleDouble Mul(DoubleDouble a, double b) {
  DoubleDouble p = TwoProduct(a.hi, b);
  p.lo += a.lo * b;
  return FastTwoSum(p.hi, p.lo);
}

// Long division in three quotient digits.
inline DoubleDouble Div(DoubleDouble a, DoubleDouble b) {
  const double q1 = a.hi / b.hi;
  DoubleDouble r = Sub(a, Mul(b, q1));
  const double q2 = r.hi / b.hi;
  r = Sub(r, Mul(b, q2));
  const double q3 = r.hi / b.hi;
  return Add(FastTwoSum(q1, q2), q3);
}

// One Newton step on the double square root; a >= 0.
inline DoubleDouble Sqrt(DoubleDouble a) {
  if (!(a.hi > 0)) return {0, 0};
  const double s = std::sqrt(a.hi);
  const DoubleDouble square = TwoProduct(s, s);
  const double residual = ((a.hi - square.hi) - square.lo) + a.lo;
  return FastTwoSum(s, residual / (2 * s));
}

inline double ToDouble(DoubleDouble a) { return a.hi + a.lo; }

}  // namespace platform::math
