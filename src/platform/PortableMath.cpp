// Exponential, logarithms, powers and hyperbolic functions in double-double arithmetic
// (see PortableMath.h for the contract, DoubleDouble.h for the building blocks).
#include "platform/PortableMath.h"

#include <array>
#include <cmath>
#include <limits>

#include "platform/MathKernels.h"

namespace platform::math {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Above this e^x overflows, below the other it is below half the smallest subnormal.
constexpr double kExpOverflow = 709.782712893384;
constexpr double kExpUnderflow = -745.1332191019412;

// 1/(2n+1) for the atanh series of the logarithm.
const std::array<DoubleDouble, kSeriesTerms>& InverseOdds() {
  static const std::array<DoubleDouble, kSeriesTerms> table = [] {
    std::array<DoubleDouble, kSeriesTerms> t{};
    for (int n = 0; n < kSeriesTerms; ++n) t[n] = Div({1, 0}, {2.0 * n + 1, 0});
    return t;
  }();
  return table;
}

bool IsOddInteger(double y) {
  if (std::fabs(y) >= 0x1p53 || y != std::trunc(y)) return false;
  return std::fmod(y, 2.0) != 0;
}

}  // namespace

const std::array<DoubleDouble, kSeriesTerms>& InverseFactorials() {
  // Computed once in double-double arithmetic, identical on every build.
  static const std::array<DoubleDouble, kSeriesTerms> table = [] {
    std::array<DoubleDouble, kSeriesTerms> t{};
    t[0] = {1, 0};
    for (int n = 1; n < kSeriesTerms; ++n)
      t[n] = Div(t[n - 1], DoubleDouble{static_cast<double>(n), 0});
    return t;
  }();
  return table;
}

DoubleDouble ExpScaled(DoubleDouble x, int& scale) {
  // x = k ln2 + r with |r| <= ln2/2 (Cody and Waite, ln 2 in three parts, each product
  // exact), then e^r = (e^(r/256))^256 with a ten-term Taylor series for the small power.
  const double k = std::nearbyint(x.hi * 0x1.71547652b82fep+0);
  DoubleDouble r = Sub(x, TwoProduct(k, kLn2[0]));
  r = Sub(r, TwoProduct(k, kLn2[1]));
  r = Add(r, -k * kLn2[2]);
  const DoubleDouble s{std::ldexp(r.hi, -8), std::ldexp(r.lo, -8)};
  const auto& f = InverseFactorials();
  DoubleDouble sum = f[11];
  for (int n = 10; n >= 0; --n) sum = Add(Mul(sum, s), f[n]);
  for (int i = 0; i < 8; ++i) sum = Mul(sum, sum);
  scale = static_cast<int>(k);
  return sum;
}

double ScaleToDouble(DoubleDouble m, int scale) {
  // Two steps so that 2^scale itself never overflows before the product is known.
  const double rounded = ToDouble(m);
  if (scale > 1000) return std::ldexp(std::ldexp(rounded, scale - 1000), 1000);
  if (scale < -1000) return std::ldexp(std::ldexp(rounded, scale + 1000), -1000);
  return std::ldexp(rounded, scale);
}

DoubleDouble LogDD(double x) {
  // x = m 2^e with m in [sqrt(1/2), sqrt(2)); ln m = 2 atanh(s), s = (m-1)/(m+1), |s| < 0.172,
  // whose odd series needs 23 terms for 106 bits.
  int e = 0;
  double m = std::frexp(x, &e);
  if (m < 0.70710678118654752) {
    m *= 2;
    --e;
  }
  const DoubleDouble s = Div({m - 1, 0}, TwoSum(m, 1));
  const DoubleDouble s2 = Mul(s, s);
  const auto& odd = InverseOdds();
  DoubleDouble sum = odd[23];
  for (int n = 22; n >= 0; --n) sum = Add(Mul(sum, s2), odd[n]);
  DoubleDouble result = Mul(Mul(s, sum), 2.0);
  if (e != 0) {
    const double de = e;
    DoubleDouble scaled = Add(TwoProduct(de, kLn2[0]), TwoProduct(de, kLn2[1]));
    scaled = Add(scaled, de * kLn2[2]);
    result = Add(scaled, result);
  }
  return result;
}

double Exp(double x) {
  if (std::isnan(x)) return x;
  if (x > kExpOverflow) return kInf;
  if (x < kExpUnderflow) return 0;
  if (std::fabs(x) < 0x1p-60) return 1 + x;
  int scale = 0;
  const DoubleDouble m = ExpScaled({x, 0}, scale);
  return ScaleToDouble(m, scale);
}

double Log(double x) {
  if (std::isnan(x) || x < 0) return kNaN;
  if (x == 0) return -kInf;
  if (std::isinf(x)) return x;
  return ToDouble(LogDD(x));
}

double Log10(double x) {
  if (std::isnan(x) || x < 0) return kNaN;
  if (x == 0) return -kInf;
  if (std::isinf(x)) return x;
  return ToDouble(Mul(LogDD(x), kInvLn10DD));
}

double Pow(double x, double y) {
  // The special cases of the C library, in its order.
  if (y == 0 || x == 1) return 1;
  if (std::isnan(x) || std::isnan(y)) return kNaN;
  const bool oddY = IsOddInteger(y);
  if (x == 0) {
    if (y < 0) return oddY ? std::copysign(kInf, x) : kInf;
    return oddY ? x : 0.0;
  }
  if (std::isinf(y)) {
    const double ax = std::fabs(x);
    if (ax == 1) return 1;
    return (ax > 1) == (y > 0) ? kInf : 0.0;
  }
  if (std::isinf(x)) {
    if (x < 0) {
      if (y < 0) return oddY ? -0.0 : 0.0;
      return oddY ? -kInf : kInf;
    }
    return y < 0 ? 0.0 : kInf;
  }
  double sign = 1;
  if (x < 0) {
    if (y != std::trunc(y)) return kNaN;
    if (oddY) sign = -1;
    x = -x;
  }
  // x^y = e^(y ln x), the product kept to 106 bits so that the exponential's argument
  // carries no error the rounding could see.
  const DoubleDouble lx = LogDD(x);
  const double estimate = lx.hi * y;
  if (estimate > kExpOverflow + 1) return sign * kInf;
  if (estimate < kExpUnderflow - 1) return sign * 0.0;
  const DoubleDouble t = Mul(lx, y);
  if (t.hi > kExpOverflow) return sign * kInf;
  if (t.hi < kExpUnderflow) return sign * 0.0;
  int scale = 0;
  const DoubleDouble m = ExpScaled(t, scale);
  return sign * ScaleToDouble(m, scale);
}

double Power10(int n) {
  // Decimal literals, which the compiler rounds correctly.
  static constexpr double kTable[] = {
#include "platform/Power10Table.inc"
  };
  constexpr int kFirst = -323;
  constexpr int kCount = static_cast<int>(sizeof kTable / sizeof kTable[0]);
  if (n < kFirst) return 0;
  if (n >= kFirst + kCount) return kInf;
  return kTable[n - kFirst];
}

double Sinh(double x) {
  if (std::isnan(x) || std::isinf(x) || x == 0) return x;
  const double ax = std::fabs(x);
  if (ax < 0x1p-28) return x;
  DoubleDouble result;
  int scale = 0;
  if (ax < 1) {
    // x + x^3/3! + ... : 14 odd terms for 106 bits.
    const DoubleDouble x2 = TwoProduct(ax, ax);
    const auto& f = InverseFactorials();
    DoubleDouble sum = f[29];
    for (int n = 27; n >= 1; n -= 2) sum = Add(Mul(sum, x2), f[n]);
    result = Mul(sum, ax);
  } else if (ax < 40) {
    // (e^x - e^-x) / 2: no cancellation worth a bit above 1.
    const DoubleDouble e = ExpScaled({ax, 0}, scale);
    const DoubleDouble inverse = Div({std::ldexp(1.0, -2 * scale), 0}, e);
    result = Mul(Sub(e, inverse), 0.5);
  } else {
    if (ax > kExpOverflow + 0.7) return std::copysign(kInf, x);
    result = ExpScaled({ax, 0}, scale);
    --scale;  // e^-x is below 2^-115 of e^x
  }
  return std::copysign(ScaleToDouble(result, scale), x);
}

double Cosh(double x) {
  if (std::isnan(x)) return x;
  const double ax = std::fabs(x);
  if (std::isinf(x)) return ax;
  if (ax < 0x1p-28) return 1;
  DoubleDouble result;
  int scale = 0;
  if (ax < 1) {
    const DoubleDouble x2 = TwoProduct(ax, ax);
    const auto& f = InverseFactorials();
    DoubleDouble sum = f[30];
    for (int n = 28; n >= 0; n -= 2) sum = Add(Mul(sum, x2), f[n]);
    result = sum;
  } else if (ax < 40) {
    const DoubleDouble e = ExpScaled({ax, 0}, scale);
    const DoubleDouble inverse = Div({std::ldexp(1.0, -2 * scale), 0}, e);
    result = Mul(Add(e, inverse), 0.5);
  } else {
    if (ax > kExpOverflow + 0.7) return kInf;
    result = ExpScaled({ax, 0}, scale);
    --scale;
  }
  return ScaleToDouble(result, scale);
}

// ln of a double-double: ln hi + ln(1 + lo/hi), the second term's square below 2^-106.
DoubleDouble LogOf(DoubleDouble a) { return Add(LogDD(a.hi), a.lo / a.hi); }

double Asinh(double x) {
  if (std::isnan(x) || std::isinf(x) || x == 0) return x;
  const double ax = std::fabs(x);
  if (ax < 0x1p-28) return x;
  if (ax > 0x1p28)
    return std::copysign(ToDouble(Add(LogDD(ax), DoubleDouble{kLn2[0], kLn2[1]})), x);
  // ln(x + sqrt(x^2 + 1)), the sum kept to 106 bits so that the logarithm near 1 loses none.
  const DoubleDouble root = Sqrt(Add(TwoProduct(ax, ax), 1.0));
  return std::copysign(ToDouble(LogOf(Add(root, ax))), x);
}

double Acosh(double x) {
  if (std::isnan(x)) return x;
  if (x < 1) return kNaN;
  if (x == 1) return 0;
  if (std::isinf(x)) return x;
  if (x > 0x1p28) return ToDouble(Add(LogDD(x), DoubleDouble{kLn2[0], kLn2[1]}));
  const DoubleDouble root = Sqrt(Add(TwoProduct(x, x), -1.0));
  return ToDouble(LogOf(Add(root, x)));
}

double Atanh(double x) {
  if (std::isnan(x)) return x;
  const double ax = std::fabs(x);
  if (ax > 1) return kNaN;
  if (ax == 1) return std::copysign(kInf, x);
  if (ax < 0x1p-28) return x;
  // ln((1 + x) / (1 - x)) / 2, both sides exact as double-doubles.
  const DoubleDouble ratio = Div(TwoSum(1, ax), TwoSum(1, -ax));
  return std::copysign(ToDouble(LogOf(ratio)) * 0.5, x);
}

double Tanh(double x) {
  if (std::isnan(x) || x == 0) return x;
  const double ax = std::fabs(x);
  if (ax > 20) return std::copysign(1.0, x);  // 1 - tanh x < 2^-57
  if (ax < 0x1p-28) return x;
  DoubleDouble result;
  if (ax < 0.5) {
    // sinh / cosh from their series, both to 106 bits.
    const DoubleDouble x2 = TwoProduct(ax, ax);
    const auto& f = InverseFactorials();
    DoubleDouble odd = f[29], even = f[30];
    for (int n = 27; n >= 1; n -= 2) odd = Add(Mul(odd, x2), f[n]);
    for (int n = 28; n >= 0; n -= 2) even = Add(Mul(even, x2), f[n]);
    result = Div(Mul(odd, ax), even);
  } else {
    // (e^2x - 1) / (e^2x + 1) with e^2x as m 2^k: (m - 2^-k) / (m + 2^-k).
    int scale = 0;
    const DoubleDouble e = ExpScaled({2 * ax, 0}, scale);
    const double unit = std::ldexp(1.0, -scale);
    result = Div(Add(e, -unit), Add(e, unit));
  }
  return std::copysign(ToDouble(result), x);
}

}  // namespace platform::math
