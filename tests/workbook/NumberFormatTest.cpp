#include <gtest/gtest.h>

#include <cmath>

#include "workbook/DateTime.h"
#include "workbook/NumberPattern.h"
#include "workbook/SSUtils.h"
#include "workbook/TestLocales.h"

namespace workbook {
namespace {

class NumberFormat : public ::testing::Test {
 protected:
  static std::string F(uint16_t code, double value, int precision = 2) {
    return TSSUtils::FormatNumber(code, precision, value);
  }
  platform::ScopedLocale locale_{test::EnglishUS()};
};

TEST_F(NumberFormat, GeneralForm) {
  EXPECT_EQ(F(0, 1.0 / 3), "0.33333333");
  EXPECT_EQ(F(0, 0), "0");
  EXPECT_EQ(F(0, 2.5), "2.5");
  EXPECT_EQ(F(0, -1234.5), "-1234.5");
  EXPECT_EQ(F(0, 12345678), "12345678");
  EXPECT_EQ(F(0, 123456789), "1.2345679E+08");  // more than 8 integer digits
  EXPECT_EQ(F(0, 99999999.5), "1E+08");         // rounding reaches nine digits
  EXPECT_EQ(F(0, 0.00001), "0.00001");
  EXPECT_EQ(F(0, 0.0000012), "1.2E-06");
  EXPECT_EQ(F(0, 1.5e20, 4), "1.5E+0020");
  EXPECT_EQ(F(0, 1.5e20, 8), "1.5E+0020");  // exponent width at most 4
  EXPECT_EQ(F(0, 1.5e20, 0), "1.5E+20");
  EXPECT_EQ(F(0, 1e-10), "1E-10");
}

TEST_F(NumberFormat, NumberTextUsesFifteenDigits) {
  EXPECT_EQ(NumberText(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(NumberText(0.1 + 0.2), "0.3");
  EXPECT_EQ(NumberText(123456789012345.0), "123456789012345");
  EXPECT_EQ(NumberText(1234567890123456.0), "1.23456789012346E15");
  EXPECT_EQ(NumberText(-0.000001), "-1E-6");
  EXPECT_EQ(NumberText(1e300), "1E300");
  EXPECT_EQ(NumberText(42), "42");
  EXPECT_EQ(NumberText(std::nan("")), "#NUM!");
}

TEST_F(NumberFormat, FixedPatterns) {
  EXPECT_EQ(F(1, 2.5), "3");
  EXPECT_EQ(F(1, -2.5), "-3");
  EXPECT_EQ(F(1, -0.4), "0");  // no minus sign on a zero
  EXPECT_EQ(F(2, 2.675), "2.68");
  EXPECT_EQ(F(2, 0.125), "0.13");
  EXPECT_EQ(F(3, 1234567.4), "1,234,567");
  EXPECT_EQ(F(3, 999.5), "1,000");
  EXPECT_EQ(F(4, -1234.5), "-1,234.50");
  EXPECT_EQ(F(4, 0), "0.00");
  EXPECT_EQ(F(11, 1234), "1.23E+03");
  EXPECT_EQ(F(11, 0.000123), "1.23E-04");
  EXPECT_EQ(F(11, 9.999), "1.00E+01");
  EXPECT_EQ(F(11, 0), "0.00E+00");
  EXPECT_EQ(F(48, 1234), "1.2E+3");
  EXPECT_EQ(F(48, 12345), "12.3E+3");
  EXPECT_EQ(F(48, 0.5), "500.0E-3");
  EXPECT_EQ(F(9, 0.256), "26%");
  EXPECT_EQ(F(10, 0.12345), "12.35%");
}

TEST_F(NumberFormat, CurrencyAndRedNegatives) {
  int color = 9;
  std::string text;
  TSSUtils::FormatNumber(5, 2, text, color, -1234);
  EXPECT_EQ(text, "($1,234)");
  EXPECT_EQ(color, 9);
  TSSUtils::FormatNumber(6, 2, text, color, -1234);
  EXPECT_EQ(text, "($1,234)");
  EXPECT_EQ(color, kRedColorIndex);
  color = 9;
  TSSUtils::FormatNumber(6, 2, text, color, 1234);
  EXPECT_EQ(text, "$1,234");
  EXPECT_EQ(color, 9);
  EXPECT_EQ(F(7, 1234.5), "$1,234.50");
  EXPECT_EQ(F(8, -0.5), "($0.50)");
  EXPECT_EQ(F(37, 1234), " 1,234 ");
  EXPECT_EQ(F(38, -1234), "(1,234)");
  EXPECT_EQ(F(39, 1234), " 1,234.00 ");
  EXPECT_EQ(F(40, -1234), "(1,234.00)");
  for (uint16_t code : {38, 40}) {
    color = 0;
    TSSUtils::FormatNumber(code, 2, text, color, -1);
    EXPECT_EQ(color, kRedColorIndex) << code;
  }
}

TEST_F(NumberFormat, AccountingTriplets) {
  EXPECT_EQ(F(41, 0), " - ");
  EXPECT_EQ(F(41, 1234), " 1,234 ");
  EXPECT_EQ(F(41, -1234), "(1,234)");
  EXPECT_EQ(F(42, 0), " $ - ");
  EXPECT_EQ(F(42, 5), " $ 5 ");
  EXPECT_EQ(F(42, -5), "$ (5)");
  EXPECT_EQ(F(43, 0), " -   ");
  EXPECT_EQ(F(43, -5), "(5.00)");
  EXPECT_EQ(F(44, 0), " $ -   ");
  EXPECT_EQ(F(44, 5), " $ 5.00 ");
  EXPECT_EQ(F(44, -5), " $ (5.00)");
}

TEST_F(NumberFormat, CurrencyStringAndSeparatorsComeFromTheLocale) {
  platform::ScopedLocale comma(test::DecimalComma());
  EXPECT_EQ(F(7, 1234.5), "EUR1.234,50");
  EXPECT_EQ(F(4, 1234567.891), "1.234.567,89");
  EXPECT_EQ(F(44, 0), " EUR -   ");
  EXPECT_EQ(F(0, 0.5), "0,5");
  EXPECT_EQ(F(49, 1.0 / 3), "0,33");
}

TEST_F(NumberFormat, DateAndTimeCodes) {
  double v = 0;
  ASSERT_TRUE(EncodeDate(2024, 3, 5, v));
  v += (14 * 3600 + 7 * 60 + 9) / 86400.0 + 0.25 / 86400.0;  // 14:07:09.250
  EXPECT_EQ(F(14, v), "3/5/2024");
  EXPECT_EQ(F(15, v), "5-March-24");
  EXPECT_EQ(F(16, v), "5-March");
  EXPECT_EQ(F(17, v), "March-24");
  EXPECT_EQ(F(18, v), "2:07 PM");
  EXPECT_EQ(F(19, v), "2:07:09 PM");
  EXPECT_EQ(F(20, v), "14:07");
  EXPECT_EQ(F(21, v), "2:07:09 PM");
  EXPECT_EQ(F(22, v), "3/5/2024 2:07:09 PM");
  EXPECT_EQ(F(45, v), "07:09");
  EXPECT_EQ(F(47, v), "07:09.250");
  EXPECT_EQ(F(47, 1.005 / 86400.0), "00:01.5");
  EXPECT_EQ(F(47, 1.5 / 86400.0), "00:01.500");
  EXPECT_EQ(F(164, v), "05/03/24");
  EXPECT_EQ(F(165, v), "05.March.24");
  EXPECT_EQ(F(46, 1.5 + 90.0 / 86400.0), "36:01:30");
  EXPECT_EQ(F(18, 0), "12:00 AM");
}

TEST_F(NumberFormat, DateCodesUnderDayMonthYear) {
  platform::ScopedLocale uk(test::DayMonthYear());
  double v = 0;
  ASSERT_TRUE(EncodeDate(2024, 3, 5, v));
  v += 0.75;
  EXPECT_EQ(F(14, v), "05/03/2024");
  EXPECT_EQ(F(21, v), "18:00:00");
  EXPECT_EQ(F(22, v), "05/03/2024 18:00:00");
  EXPECT_EQ(F(18, v), "6:00 PM");  // the locale's "pm", upper-cased
  platform::ScopedLocale dotted(test::DecimalComma());
  EXPECT_EQ(F(164, v), "05.03.24");  // "/" is the system date separator
}

TEST_F(NumberFormat, ValuesBeyondTheCalendarShowAsNumbers) {
  EXPECT_EQ(F(14, 1e10), "1E+10");
  EXPECT_EQ(F(22, -1e9), "-1E+09");
  EXPECT_EQ(F(14, std::nan("")), "#NUM!");
}

TEST_F(NumberFormat, OtherCodesUseThePrecision) {
  EXPECT_EQ(F(49, 1.0 / 3, 2), "0.33");
  EXPECT_EQ(F(49, 0, 2), "0");
  EXPECT_EQ(F(12, 2.5, 0), "3");
  EXPECT_EQ(F(13, -1234.5678, 3), "-1234.568");
  EXPECT_EQ(F(23, 1.0 / 3, 20), "0.33333333");  // precision capped at 8
  EXPECT_EQ(F(200, 1, 2), "1.00");
}

TEST_F(NumberFormat, PatternLanguage) {
  EXPECT_EQ(FormatNumberPattern("#.##", 0.5), ".5");
  EXPECT_EQ(FormatNumberPattern("000", 7), "007");
  EXPECT_EQ(FormatNumberPattern("0.0#", 1.25), "1.25");
  EXPECT_EQ(FormatNumberPattern("0.0#", 1.2), "1.2");
  EXPECT_EQ(FormatNumberPattern("\"Total: \"0", 3), "Total: 3");
  EXPECT_EQ(FormatNumberPattern("0 \"kg\"", 3), "3 kg");
  EXPECT_EQ(FormatNumberPattern("#,##0", 1e15), "1,000,000,000,000,000");
}

TEST_F(NumberFormat, CellTexts) {
  EXPECT_EQ(FormatCellText("true", 0, 2), "1");
  EXPECT_EQ(FormatCellText("FALSE", 2, 2), "0.00");
  EXPECT_EQ(FormatCellText("abc", 2, 2), "abc");
  EXPECT_EQ(FormatCellText("12", 49, 2), "12");
  EXPECT_EQ(FormatCellText(" 1234.5 ", 4, 2), "1,234.50");
  EXPECT_EQ(FormatCellText("1/3", 0, 2), "1/3");
}

TEST_F(NumberFormat, PatternsToBuiltInCodes) {
  const std::pair<const char*, uint16_t> fromGeneral[] = {{"0.00%", 10},
                                                          {"#,##0", 4},
                                                          {"d/m/yyyy h:mm", 22},
                                                          {";;;", 0},
                                                          {"General", 11},
                                                          {"0.00", 2},
                                                          {"0", 1},
                                                          {"$#,##0.00", 7},
                                                          {"dd/mm/yy", 164},
                                                          {"dd\\.mmmm\\.yy", 165},
                                                          {"h:mm", 21},
                                                          {"mm:ss", 21},
                                                          {"d-mmm", 14},
                                                          {"yyyy", 14},
                                                          {"@", 0}};
  for (const auto& [pattern, expected] : fromGeneral) {
    uint16_t code = 0;
    FormatFromPattern(pattern, code);
    EXPECT_EQ(code, expected) << pattern;
  }
  uint16_t code = 8;  // a currency code stays
  FormatFromPattern("$#,##0", code);
  EXPECT_EQ(code, 8);
  code = 3;  // a plain number code stays
  FormatFromPattern("0.00%", code);
  EXPECT_EQ(code, 3);
  code = 20;  // a date/time code stays
  FormatFromPattern("h:mm", code);
  EXPECT_EQ(code, 20);
  code = 164;  // 164 does not survive a different date pattern
  FormatFromPattern("d/m/yy", code);
  EXPECT_EQ(code, 14);
  code = 164;
  FormatFromPattern("DD/MM/YY", code);
  EXPECT_EQ(code, 164);
}

}  // namespace
}  // namespace workbook
