// Circular functions and their inverses in double-double arithmetic (see PortableMath.h).
//
// Reduction: x = k pi/2 + r with |r| <= pi/4. Below 2^20 pi/2 is subtracted in three
// parts (Cody and Waite; every product k * part is exact as a double-double). Above, the
// bits of 2/pi are multiplied out in integers (Payne and Hanek, AngleReduction.cpp), so that
// 1e22 or 2^1000 are reduced as exactly as 3.
#include <array>
#include <cmath>
#include <limits>

#include "platform/AngleReduction.h"
#include "platform/MathKernels.h"
#include "platform/PortableMath.h"

namespace platform::math {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// 1/(2n+1) with alternating signs, for the arctangent series.
const std::array<DoubleDouble, kSeriesTerms>& AtanCoefficients() {
  static const std::array<DoubleDouble, kSeriesTerms> table = [] {
    std::array<DoubleDouble, kSeriesTerms> t{};
    for (int n = 0; n < kSeriesTerms; ++n) {
      t[n] = Div({1, 0}, {2.0 * n + 1, 0});
      if (n % 2 == 1) t[n] = Negate(t[n]);
    }
    return t;
  }();
  return table;
}

// Returns k mod 4 and sets r; x finite.
int Reduce(double x, DoubleDouble& r) {
  const double ax = std::fabs(x);
  if (ax <= 0.785398163397448) {
    r = {x, 0};
    return 0;
  }
  if (ax < 0x1p20 * 1.5707963267948966) {
    const double k = std::nearbyint(x * 0x1.45f306dc9c883p-1);  // x * 2/pi
    r = Sub({x, 0}, TwoProduct(k, kPiOver2[0]));
    r = Sub(r, TwoProduct(k, kPiOver2[1]));
    r = Add(r, -k * kPiOver2[2]);
    return static_cast<int>(static_cast<long long>(k) & 3);
  }
  const Reduced reduced = ReduceLargeAngle(ax);
  r = reduced.remainder;
  int quadrant = reduced.quadrant;
  if (x < 0) {
    r = Negate(r);
    quadrant = (4 - quadrant) & 3;
  }
  return quadrant;
}

// Taylor series for |r| <= pi/4: 15 terms each reach 106 bits.
DoubleDouble SinKernel(DoubleDouble r) {
  const DoubleDouble r2 = Mul(r, r);
  const auto& f = InverseFactorials();
  DoubleDouble sum = f[31];
  for (int n = 29; n >= 1; n -= 2) sum = Add(Mul(sum, Negate(r2)), f[n]);
  return Mul(sum, r);
}

DoubleDouble CosKernel(DoubleDouble r) {
  const DoubleDouble r2 = Mul(r, r);
  const auto& f = InverseFactorials();
  DoubleDouble sum = f[30];
  for (int n = 28; n >= 0; n -= 2) sum = Add(Mul(sum, Negate(r2)), f[n]);
  return sum;
}

}  // namespace

DoubleDouble AtanDD(DoubleDouble t) {
  // atan t = pi/2 - atan(1/t) above 1; then three halvings atan t = 2 atan(t / (1 +
  // sqrt(1 + t^2))) bring t below tan(pi/32) < 0.099, where 16 series terms reach 106 bits.
  bool complement = false;
  if (t.hi > 1) {
    t = Div({1, 0}, t);
    complement = true;
  }
  for (int i = 0; i < 3; ++i) t = Div(t, Add(Sqrt(Add(Mul(t, t), 1.0)), 1.0));
  const DoubleDouble t2 = Mul(t, t);
  const auto& c = AtanCoefficients();
  DoubleDouble sum = c[17];
  for (int n = 16; n >= 0; --n) sum = Add(Mul(sum, t2), c[n]);
  DoubleDouble result = Mul(Mul(sum, t), 8.0);
  if (complement) result = Sub(kPiOver2DD, result);
  return result;
}

double Sin(double x) {
  if (std::isnan(x) || std::isinf(x)) return kNaN;
  if (std::fabs(x) < 0x1p-27) return x;
  DoubleDouble r;
  const int q = Reduce(x, r);
  const DoubleDouble v = (q & 1) ? CosKernel(r) : SinKernel(r);
  return (q & 2) ? -ToDouble(v) : ToDouble(v);
}

double Cos(double x) {
  if (std::isnan(x) || std::isinf(x)) return kNaN;
  if (std::fabs(x) < 0x1p-27) return 1;
  DoubleDouble r;
  const int q = Reduce(x, r);
  const DoubleDouble v = (q & 1) ? SinKernel(r) : CosKernel(r);
  return (q == 1 || q == 2) ? -ToDouble(v) : ToDouble(v);
}

double Tan(double x) {
  if (std::isnan(x) || std::isinf(x)) return kNaN;
  if (std::fabs(x) < 0x1p-27) return x;
  DoubleDouble r;
  const int q = Reduce(x, r);
  const DoubleDouble s = SinKernel(r), c = CosKernel(r);
  return (q & 1) ? -ToDouble(Div(c, s)) : ToDouble(Div(s, c));
}

double Atan(double x) {
  if (std::isnan(x)) return x;
  const double ax = std::fabs(x);
  if (ax < 0x1p-27) return x;
  if (ax > 0x1p60) return std::copysign(ToDouble(kPiOver2DD), x);
  return std::copysign(ToDouble(AtanDD({ax, 0})), x);
}

double Atan2(double y, double x) {
  if (std::isnan(x) || std::isnan(y)) return kNaN;
  const double pi = ToDouble(kPiDD), halfPi = ToDouble(kPiOver2DD);
  if (y == 0) return std::signbit(x) ? std::copysign(pi, y) : y;
  if (x == 0) return std::copysign(halfPi, y);
  if (std::isinf(y)) {
    if (std::isinf(x))
      return std::copysign(x > 0 ? ToDouble(kPiOver4DD) : ToDouble(Mul(kPiOver4DD, 3.0)), y);
    return std::copysign(halfPi, y);
  }
  if (std::isinf(x)) return x > 0 ? std::copysign(0.0, y) : std::copysign(pi, y);
  double ay = std::fabs(y), ax = std::fabs(x);
  const int ey = std::ilogb(ay), ex = std::ilogb(ax);
  DoubleDouble a;
  if (ey - ex > 60) {
    a = Add(kPiOver2DD, -(ax / ay));
  } else if (ex - ey > 60) {
    if (x > 0) return std::copysign(ay / ax, y);  // may be subnormal: one rounding
    a = {ay / ax, 0};
  } else {
    // Scale both into the range where the double-double products are exact.
    if (std::fmax(ey, ex) < -900) {
      ay = std::ldexp(ay, 600);
      ax = std::ldexp(ax, 600);
    } else if (std::fmax(ey, ex) > 900) {
      ay = std::ldexp(ay, -600);
      ax = std::ldexp(ax, -600);
    }
    a = AtanDD(Div({ay, 0}, {ax, 0}));
  }
  if (x < 0) a = Sub(kPiDD, a);
  return std::copysign(ToDouble(a), y);
}

double Asin(double x) {
  if (std::isnan(x)) return x;
  const double ax = std::fabs(x);
  if (ax > 1) return kNaN;
  if (ax < 0x1p-27) return x;
  if (ax == 1) return std::copysign(ToDouble(kPiOver2DD), x);
  // asin x = atan(x / sqrt((1 - x)(1 + x))), the product exact in double-double.
  const DoubleDouble c = Sqrt(Mul(TwoSum(1, -ax), TwoSum(1, ax)));
  return std::copysign(ToDouble(AtanDD(Div({ax, 0}, c))), x);
}

double Acos(double x) {
  if (std::isnan(x)) return x;
  const double ax = std::fabs(x);
  if (ax > 1) return kNaN;
  if (x == 1) return 0;
  if (x == -1) return ToDouble(kPiDD);
  if (ax < 0x1p-60) return ToDouble(Add(kPiOver2DD, -x));
  const DoubleDouble c = Sqrt(Mul(TwoSum(1, -ax), TwoSum(1, ax)));
  DoubleDouble a = AtanDD(Div(c, {ax, 0}));
  if (x < 0) a = Sub(kPiDD, a);
  return ToDouble(a);
}

}  // namespace platform::math
