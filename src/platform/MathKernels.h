#pragma once
// Kernels shared by the portable elementary functions (PortableMath.cpp, PortableTrig.cpp):
// constants split into doubles and the double-double cores before their final rounding.
#include <array>

#include "platform/DoubleDouble.h"

namespace platform::math {

// pi/2, pi and ln 2 to 159 bits as three doubles (hi + mid + lo), from a 1,600-bit
// evaluation of Machin's formula and of 2 atanh(1/3).
inline constexpr double kPiOver2[3] = {0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54,
                                       -0x1.f1976b7ed8fbcp-110};
inline constexpr DoubleDouble kPiOver2DD{0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54};
inline constexpr DoubleDouble kPiDD{0x1.921fb54442d18p+1, 0x1.1a62633145c07p-53};
inline constexpr DoubleDouble kPiOver4DD{0x1.921fb54442d18p-1, 0x1.1a62633145c07p-55};
inline constexpr double kLn2[3] = {0x1.62e42fefa39efp-1, 0x1.abc9e3b39803fp-56,
                                   0x1.7b57a079a1934p-111};
inline constexpr DoubleDouble kInvLn10DD{0x1.bcb7b1526e50ep-2, 0x1.95355baaafad3p-57};

// 1/n! for n = 0 .. kSeriesTerms - 1.
inline constexpr int kSeriesTerms = 32;
const std::array<DoubleDouble, kSeriesTerms>& InverseFactorials();

// e^x as m * 2^scale with m in about [0.7, 1.42]; |x.hi| below 750.
DoubleDouble ExpScaled(DoubleDouble x, int& scale);

// ln x for a finite x > 0.
DoubleDouble LogDD(double x);

// atan t for 0 <= t (t may be large).
DoubleDouble AtanDD(DoubleDouble t);

// m * 2^scale rounded to double (overflow gives infinity, underflow rounds twice).
double ScaleToDouble(DoubleDouble m, int scale);

}  // namespace platform::math
