// The portable elementary functions: within 1 ulp of a long double reference on many random
// and edge arguments (on glibc, whose long double functions reduce and round carefully), the
// special values of the C library, and fixed bits that both builds must give.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "platform/AngleReduction.h"
#include "platform/PortableMath.h"

namespace platform::math {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

uint64_t Bits(double x) {
  uint64_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}

std::string Hex(double x) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%a", x);
  return buf;
}

#ifdef __GLIBC__
// Distance in representable doubles (same sign assumed where it matters).
int64_t UlpDistance(double a, double b) {
  if (a == b) return 0;
  auto ordered = [](double x) {
    const int64_t i = static_cast<int64_t>(Bits(x));
    return i < 0 ? INT64_MIN - i : i;
  };
  const int64_t d = ordered(a) - ordered(b);
  return d < 0 ? -d : d;
}

// Arguments: uniform in [lo, hi], or of random sign and a magnitude uniform in log2.
std::vector<double> Uniform(double lo, double hi, int n, uint64_t seed) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> d(lo, hi);
  std::vector<double> v;
  for (int i = 0; i < n; ++i) v.push_back(d(rng));
  return v;
}

std::vector<double> LogUniform(double minExp, double maxExp, bool signs, int n, uint64_t seed) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> e(minExp, maxExp);
  std::vector<double> v;
  for (int i = 0; i < n; ++i) {
    const double x = std::exp2(e(rng));
    v.push_back(signs && (rng() & 1) ? -x : x);
  }
  return v;
}

// Doubles next to multiples of pi/2, where the reduction cancels most bits.
std::vector<double> NearHalfPiMultiples() {
  std::vector<double> v;
  const long long ks[] = {1,         2,        3,     4,     5,      7,       100,
                          355,       1000,     33102, 65536, 103993, 1000000, 6381956970095103LL,
                          1LL << 40, 1LL << 52};
  for (long long k : ks) {
    const long double target = static_cast<long double>(k) * 1.5707963267948966192313216916397514L;
    double x = static_cast<double>(target);
    for (int i = 0; i < 4; ++i) x = std::nextafter(x, -kInf);
    for (int i = 0; i < 9; ++i, x = std::nextafter(x, kInf)) {
      v.push_back(x);
      v.push_back(-x);
    }
  }
  // Powers of two and of ten up to the largest double.
  for (int e = 20; e <= 1023; e += 7) v.push_back(std::ldexp(1.0, e));
  for (double p = 1e7; p < 1e308; p *= 10) v.push_back(p);
  v.push_back(std::numeric_limits<double>::max());
  v.push_back(0x1.6ac5b262ca1ffp+849);  // x * 2/pi lies 2^-61 from an integer
  return v;
}

struct Unary {
  const char* name;
  double (*ours)(double);
  long double (*reference)(long double);
  double (*library)(double);  // the C library's own double function, a second opinion
  std::vector<double> args;
};

TEST(PortableMath, UnaryFunctionsWithinOneUlpOfTheReference) {
  const std::vector<double> trigArgs = [] {
    auto v = Uniform(-10, 10, 20000, 1);
    for (double x : LogUniform(-30, 1023, true, 20000, 2)) v.push_back(x);
    for (double x : NearHalfPiMultiples()) v.push_back(x);
    return v;
  }();
  const std::vector<double> positive = [] {
    auto v = LogUniform(-1074, 1023.9, false, 30000, 3);
    for (double x : Uniform(0.5, 2, 10000, 4)) v.push_back(x);
    for (int i = 1; i < 200; ++i) {
      v.push_back(1 + i * 0x1p-52);
      v.push_back(1 - i * 0x1p-53);
    }
    for (double p = 1e-300; p < 1e300; p *= 10) v.push_back(p);
    return v;
  }();
  const std::vector<double> unit = [] {
    auto v = Uniform(-1, 1, 20000, 5);
    for (int i = 1; i < 200; ++i) {
      v.push_back(1 - i * 0x1p-53);
      v.push_back(-1 + i * 0x1p-53);
      v.push_back(i * 0x1p-40);
    }
    return v;
  }();
  const std::vector<Unary> cases = {
      {"Sin", Sin, sinl, sin, trigArgs},
      {"Cos", Cos, cosl, cos, trigArgs},
      {"Tan", Tan, tanl, tan, trigArgs},
      {"Exp", Exp, expl, exp,
       [] {
         auto v = Uniform(-745, 709.78, 20000, 6);
         for (double x : Uniform(-1, 1, 5000, 7)) v.push_back(x);
         for (double x : LogUniform(-60, 0, true, 5000, 8)) v.push_back(x);
         return v;
       }()},
      {"Log", Log, logl, log, positive},
      {"Log10", Log10, log10l, log10, positive},
      {"Atan", Atan, atanl, atan, LogUniform(-40, 80, true, 20000, 9)},
      {"Asin", Asin, asinl, asin, unit},
      {"Acos", Acos, acosl, acos, unit},
      {"Sinh", Sinh, sinhl, sinh,
       [] {
         auto v = Uniform(-710, 710, 10000, 10);
         for (double x : LogUniform(-40, 5, true, 10000, 11)) v.push_back(x);
         return v;
       }()},
      {"Cosh", Cosh, coshl, cosh, Uniform(-710, 710, 10000, 12)},
      {"Asinh", Asinh, asinhl, asinh, LogUniform(-40, 1020, true, 20000, 17)},
      {"Acosh", Acosh, acoshl, acosh,
       [] {
         auto v = LogUniform(0, 1020, false, 20000, 18);
         for (int i = 1; i < 300; ++i) v.push_back(1 + i * 0x1p-52);
         return v;
       }()},
      {"Atanh", Atanh, atanhl, atanh, unit},
      {"Tanh", Tanh, tanhl, tanh,
       [] {
         auto v = Uniform(-25, 25, 10000, 13);
         for (double x : LogUniform(-40, 2, true, 10000, 14)) v.push_back(x);
         return v;
       }()},
  };
  for (const Unary& c : cases) {
    size_t differ = 0;
    for (double x : c.args) {
      const double ref = static_cast<double>(c.reference(static_cast<long double>(x)));
      const double got = c.ours(x);
      if (std::isinf(ref) && got == ref) continue;
      if (got != ref && got != c.library(x)) ++differ;
      // The reference itself rounds twice, so a last-bit disagreement may be either's.
      ASSERT_LE(UlpDistance(got, ref), 1)
          << c.name << "(" << Hex(x) << ") = " << Hex(got) << ", reference " << Hex(ref);
    }
    // Agreeing with one of the two all but a few times in ten thousand.
    EXPECT_LE(differ * 2000, c.args.size()) << c.name << ": " << differ << " of " << c.args.size();
  }
}

TEST(PortableMath, PowAndAtan2WithinOneUlpOfTheReference) {
  std::mt19937_64 rng(15);
  std::uniform_real_distribution<double> exponent(-40, 40), y(-30, 30), wide(-300, 300);
  size_t differ = 0, count = 0;
  for (int i = 0; i < 40000; ++i) {
    double base = std::exp2(exponent(rng));
    double power = i % 4 == 0 ? std::nearbyint(y(rng)) : y(rng);
    if (i % 4 == 0 && (rng() & 1)) base = -base;  // negative bases with whole exponents
    if (i % 7 == 0) base = 1 + (static_cast<double>(rng() % 1000) - 500) * 0x1p-40;
    if (i % 7 == 0) power = wide(rng) * 1e6;
    const double ref = static_cast<double>(powl(base, power));
    const double got = Pow(base, power);
    if (std::isinf(ref) || ref == 0 || std::fabs(ref) < 0x1p-1022) continue;
    ++count;
    if (got != ref) ++differ;
    ASSERT_LE(UlpDistance(got, ref), 1) << "Pow(" << Hex(base) << ", " << Hex(power)
                                        << ") = " << Hex(got) << ", reference " << Hex(ref);
  }
  EXPECT_LE(differ * 2000, count) << "Pow: " << differ << " of " << count;
  differ = 0;
  for (int i = 0; i < 40000; ++i) {
    const double a = (rng() & 1 ? -1 : 1) * std::exp2(wide(rng) * (i % 3 == 0 ? 3.4 : 0.1));
    const double b = (rng() & 1 ? -1 : 1) * std::exp2(wide(rng) * (i % 5 == 0 ? 3.4 : 0.1));
    const double ref = static_cast<double>(atan2l(a, b));
    const double got = Atan2(a, b);
    if (std::fabs(ref) < 0x1p-1022) continue;
    if (got != ref) ++differ;
    ASSERT_LE(UlpDistance(got, ref), 1)
        << "Atan2(" << Hex(a) << ", " << Hex(b) << ") = " << Hex(got) << ", reference " << Hex(ref);
  }
  EXPECT_LE(differ * 2000, 40000u) << "Atan2: " << differ;
}

TEST(PortableMath, LargeAngleReductionMatchesTheReference) {
  // The integer reduction on its own, also below the point where the trigonometric functions
  // hand over to it, against long double arithmetic on the same argument.
  for (double x : LogUniform(0, 60, false, 5000, 16)) {
    const Reduced r = ReduceLargeAngle(x);
    const long double halfPi = 1.5707963267948966192313216916397514L;
    const long double k = nearbyintl(static_cast<long double>(x) / halfPi);
    if (x > 0x1p50) continue;  // beyond that long double's own pi runs out of bits
    const long double want = static_cast<long double>(x) - k * halfPi;
    EXPECT_EQ(r.quadrant, static_cast<int>(static_cast<long long>(k) & 3)) << Hex(x);
    EXPECT_NEAR(static_cast<double>(want), r.remainder.hi, 1e-18 * std::max(1.0, x)) << Hex(x);
  }
}
#endif

// C library values at the special points; these hold on every build.
TEST(PortableMath, SpecialValues) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* what;
    double got;
    double want;
  };
  const Case cases[] = {
      {"Pow(0, 0)", Pow(0, 0), 1},
      {"Pow(nan, 0)", Pow(nan, 0), 1},
      {"Pow(1, nan)", Pow(1, nan), 1},
      {"Pow(-1, inf)", Pow(-1, kInf), 1},
      {"Pow(0, -1)", Pow(0, -1), kInf},
      {"Pow(-0, -1)", Pow(-0.0, -1), -kInf},
      {"Pow(-0, -2)", Pow(-0.0, -2), kInf},
      {"Pow(-0, 3)", Pow(-0.0, 3), -0.0},
      {"Pow(-0, 2)", Pow(-0.0, 2), 0.0},
      {"Pow(-8, 1/3)", Pow(-8, 1.0 / 3), nan},
      {"Pow(-2, 3)", Pow(-2, 3), -8},
      {"Pow(-2, 1e300)", Pow(-2, 1e300), kInf},
      {"Pow(0.5, -inf)", Pow(0.5, -kInf), kInf},
      {"Pow(2, -inf)", Pow(2, -kInf), 0},
      {"Pow(-inf, -3)", Pow(-kInf, -3), -0.0},
      {"Pow(-inf, 3)", Pow(-kInf, 3), -kInf},
      {"Pow(-inf, 2)", Pow(-kInf, 2), kInf},
      {"Pow(inf, -1)", Pow(kInf, -1), 0},
      {"Pow(10, 400)", Pow(10, 400), kInf},
      {"Pow(10, -400)", Pow(10, -400), 0},
      {"Pow(2, 0.5)", Pow(2, 0.5), 0x1.6a09e667f3bcdp+0},
      {"Pow(10, 15)", Pow(10, 15), 1e15},
      {"Pow(2, -1074)", Pow(2, -1074), 0x1p-1074},
      {"Exp(-inf)", Exp(-kInf), 0},
      {"Exp(inf)", Exp(kInf), kInf},
      {"Exp(710)", Exp(710), kInf},
      {"Exp(0)", Exp(0), 1},
      {"Log(0)", Log(0), -kInf},
      {"Log(-1)", Log(-1), nan},
      {"Log(inf)", Log(kInf), kInf},
      {"Log(1)", Log(1), 0},
      {"Log10(1000)", Log10(1000), 3},
      {"Log10(1e-300)", Log10(1e-300), -300},
      {"Log10(1e22)", Log10(1e22), 22},
      {"Sin(inf)", Sin(kInf), nan},
      {"Sin(-0)", Sin(-0.0), -0.0},
      {"Cos(nan)", Cos(nan), nan},
      {"Tan(-0)", Tan(-0.0), -0.0},
      {"Asin(1.5)", Asin(1.5), nan},
      {"Asin(-1)", Asin(-1), -0x1.921fb54442d18p+0},
      {"Acos(-1)", Acos(-1), 0x1.921fb54442d18p+1},
      {"Acos(1)", Acos(1), 0},
      {"Atan(-inf)", Atan(-kInf), -0x1.921fb54442d18p+0},
      {"Atan2(0, -0)", Atan2(0.0, -0.0), 0x1.921fb54442d18p+1},
      {"Atan2(-0, -1)", Atan2(-0.0, -1), -0x1.921fb54442d18p+1},
      {"Atan2(-0, 1)", Atan2(-0.0, 1), -0.0},
      {"Atan2(1, 0)", Atan2(1, 0), 0x1.921fb54442d18p+0},
      {"Atan2(inf, -inf)", Atan2(kInf, -kInf), 0x1.2d97c7f3321d2p+1},
      {"Atan2(-1, inf)", Atan2(-1, kInf), -0.0},
      {"Atan2(1, -inf)", Atan2(1, -kInf), 0x1.921fb54442d18p+1},
      {"Sinh(-inf)", Sinh(-kInf), -kInf},
      {"Sinh(711)", Sinh(711), kInf},
      {"Cosh(-inf)", Cosh(-kInf), kInf},
      {"Tanh(-inf)", Tanh(-kInf), -1},
      {"Tanh(-0)", Tanh(-0.0), -0.0},
      {"Asinh(-inf)", Asinh(-kInf), -kInf},
      {"Acosh(0.5)", Acosh(0.5), nan},
      {"Acosh(1)", Acosh(1), 0},
      {"Atanh(-1)", Atanh(-1), -kInf},
      {"Atanh(2)", Atanh(2), nan},
      {"Power10(-324)", Power10(-324), 0},
      {"Power10(-323)", Power10(-323), 0x0.0000000000002p-1022},
      {"Power10(22)", Power10(22), 1e22},
      {"Power10(308)", Power10(308), 1e308},
      {"Power10(309)", Power10(309), kInf},
  };
  for (const Case& c : cases) {
    if (std::isnan(c.want)) {
      EXPECT_TRUE(std::isnan(c.got)) << c.what << " = " << Hex(c.got);
    } else {
      EXPECT_EQ(Bits(c.got), Bits(c.want))
          << c.what << " = " << Hex(c.got) << ", expected " << Hex(c.want);
    }
  }
}

// Correctly rounded results as exact bits, so that the Windows build under Wine is held to
// the same digits as this one (glibc's double and long double functions agree on each).
TEST(PortableMath, FixedBitsOnEveryBuild) {
  struct Case {
    const char* what;
    double got;
    uint64_t want;
  };
  const Case cases[] = {
      {"Sin(pi)", Sin(0x1.921fb54442d18p+1), 0x3CA1A62633145C07},
      {"Cos(pi/2)", Cos(0x1.921fb54442d18p+0), 0x3C91A62633145C07},
      {"Sin(1e22)", Sin(1e22), 0xBFEB453AB76BF397},
      {"Sin(2^1000)", Sin(0x1p1000), 0xBFC460B8AE1C886E},
      {"Cos(1e300)", Cos(1e300), 0xBFE2699022ADC4C1},
      {"Tan(1.5707963267948966)", Tan(0x1.921fb54442d18p+0), 0x434D02967C31CDB5},
      {"Exp(1)", Exp(1), 0x4005BF0A8B145769},
      {"Exp(-700)", Exp(-700), 0x00D14F2B0FB9307F},
      {"Log(2)", Log(2), 0x3FE62E42FEFA39EF},
      {"Log10(2)", Log10(2), 0x3FD34413509F79FF},
      {"Pow(1.0000001, 1e7)", Pow(1.0000001, 1e7), 0x4005BF0A790CE6F2},
      {"Atan(1)", Atan(1), 0x3FE921FB54442D18},
      {"Asin(0.5)", Asin(0.5), 0x3FE0C152382D7366},
      {"Acos(0.1)", Acos(0.1), 0x3FF787B22CE3F590},
      {"Atan2(1, -1)", Atan2(1, -1), 0x4002D97C7F3321D2},
      {"Sinh(1)", Sinh(1), 0x3FF2CD9FC44EB982},
      {"Cosh(1)", Cosh(1), 0x3FF8B07551D9F550},
      {"Tanh(0.5)", Tanh(0.5), 0x3FDD9353D7568AF3},
  };
  for (const Case& c : cases) EXPECT_EQ(Bits(c.got), c.want) << c.what << " = " << Hex(c.got);
}

}  // namespace
}  // namespace platform::math
