// Results that both builds must give to the last bit: decimal rounding, trigonometry at
// multiples of pi, sums of decimals, powers, and the number formats' rounding of values that
// lie on or next to a half. They run on the Windows build under Wine as well, where the x87
// unit once gave ROUND(2.675,2) = 2.67 and SIN(PI()) = 1.2246063538223773E-16. A formula's
// result is the computed double itself (1.1*1.1 is 1.2100000000000002, shown as 1.21).
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstring>

#include "FormulaTestBook.h"
#include "platform/Locale.h"
#include "workbook/SSUtils.h"

namespace formulas::test {
namespace {

uint64_t Bits(double x) {
  uint64_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}

TEST(ExactBits, FormulaResults) {
  platform::ScopedLocale locale(platform::LocaleSettings::EnglishUS());
  FormulaTestBook book;
  for (int row = 1; row <= 10; ++row) book.Set("A" + std::to_string(row), "0.1");
  for (int row = 1; row <= 7; ++row) book.Set("B" + std::to_string(row), "1.1");
  struct Case {
    const char* formula;
    uint64_t bits;
  };
  const Case cases[] = {
      {"=ROUND(2.675,2)", 0x400570A3D70A3D71},   // 2.68: the decimal text rounds, not the binary
      {"=ROUND(-2.675,2)", 0xC00570A3D70A3D71},  // -2.68
      {"=ROUND(0.125,2)", 0x3FC0A3D70A3D70A4},   // 0.13: a binary half, away from zero
      {"=ROUND(2.5,0)", 0x4008000000000000},     // 3
      {"=SIN(PI())", 0x3CA1A62633145C07},        // 1.2246467991473532E-16
      {"=COS(PI()/2)", 0x3C91A62633145C07},      // 6.123233995736766E-17
      {"=TAN(PI()/4)", 0x3FEFFFFFFFFFFFFF},      // 0.9999999999999999
      {"=SIN(1E+22)", 0xBFEB453AB76BF397},       // a large argument, reduced exactly
      {"=ATAN2(1,1)*4", 0x400921FB54442D18},     // pi
      {"=0.1+0.2", 0x3FD3333333333334},          // 0.30000000000000004
      {"=A1+A2+A3+A4+A5+A6+A7+A8+A9+A10", 0x3FEFFFFFFFFFFFFF},  // 0.9999999999999999
      {"=SUM(B1:B7)", 0x401ECCCCCCCCCCCC},                      // 7.699999999999999
      {"=1.1*1.1", 0x3FF35C28F5C28F5D},                         // 1.2100000000000002
      {"=10^-2", 0x3F847AE147AE147B},                           // 0.01
      {"=POWER(2,0.5)", 0x3FF6A09E667F3BCD},                    // 1.4142135623730951
      {"=EXP(1)", 0x4005BF0A8B145769},                          // 2.718281828459045
      {"=LN(10)", 0x40026BB1BBB55516},                          // 2.302585092994046
      {"=LOG10(2)", 0x3FD34413509F79FF},                        // 0.3010299956639812
      {"=LOG(8,2)", 0x4008000000000000},                        // 3
      {"=SINH(1)", 0x3FF2CD9FC44EB982},                         // 1.1752011936438014
      {"=ACOSH(2)", 0x3FF5124271980435},                        // 1.3169578969248168
  };
  for (const Case& c : cases) {
    const EvalResult r = Evaluate(book, c.formula);
    ASSERT_EQ(r.kind, ptgNum) << c.formula << " gave " << r.text;
    EXPECT_EQ(Bits(r.number), c.bits) << c.formula << " = " << workbook::NumberText(r.number)
                                      << " (0x" << std::hex << Bits(r.number) << ")";
  }
}

TEST(ExactBits, NumberFormatRounding) {
  platform::ScopedLocale locale(platform::LocaleSettings::EnglishUS());
  struct Case {
    double value;
    uint16_t code;
    const char* text;
  };
  const Case cases[] = {
      {2.675, 2, "2.68"},
      {1.005, 2, "1.01"},
      {0.125, 2, "0.13"},
      {0.045, 4, "0.05"},
      {9.995, 2, "10.00"},
      {-2.5, 1, "-3"},
      {2.5, 1, "3"},
      {0.045, 10, "4.50%"},
      {1234567.5, 3, "1,234,568"},
      {123456.785, 4, "123,456.79"},
      {2.675, 7, "$2.68"},
      {-2.675, 8, "($2.68)"},
      {2.675, 11, "2.68E+00"},
      {1.0 / 3, 0, "0.33333333"},
      {2.0 / 3, 0, "0.66666667"},
      {0.1 + 0.2, 0, "0.3"},
      {1e-7, 0, "1E-07"},
      {1e15 + 0.3, 0, "1E+15"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(workbook::TSSUtils::FormatNumber(c.code, 2, c.value), c.text)
        << c.value << " in format " << c.code;
}

}  // namespace
}  // namespace formulas::test
