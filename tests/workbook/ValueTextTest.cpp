#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "platform/Clock.h"
#include "workbook/DateTime.h"
#include "workbook/NumberPattern.h"
#include "workbook/SSUtils.h"
#include "workbook/TestLocales.h"

namespace workbook {
namespace {

class ValueText : public ::testing::Test {
 protected:
  platform::ScopedLocale locale_{test::EnglishUS()};
};

TEST_F(ValueText, ErrorAndBooleanLiterals) {
  const std::pair<uint8_t, const char*> errors[] = {{0, "#NULL!"}, {7, "#DIV/0!"}, {15, "#VALUE!"},
                                                    {23, "#REF!"}, {29, "#NAME!"}, {36, "#NUM!"},
                                                    {42, "#N/A!"}};
  for (const auto& [code, text] : errors) {
    EXPECT_EQ(ErrorText(code), text);
    uint8_t back = 99;
    EXPECT_TRUE(TextToErrorCode(text, back));
    EXPECT_EQ(back, code);
  }
  EXPECT_EQ(ErrorText(1), "");
  uint8_t code;
  EXPECT_FALSE(TextToErrorCode("#ref!", code));  // literals are case-sensitive
  EXPECT_EQ(BooleanText(true), "TRUE");
  EXPECT_EQ(BooleanText(false), "FALSE");
  bool b = false;
  EXPECT_TRUE(TextToBoolean("tRuE", b));
  EXPECT_TRUE(b);
  EXPECT_TRUE(TextToBoolean("false", b));
  EXPECT_FALSE(b);
  EXPECT_FALSE(IsBooleanText("yes"));
  EXPECT_FALSE(IsBooleanText(" TRUE"));
}

TEST_F(ValueText, NumbersAcceptedAndRejected) {
  const std::pair<const char*, double> good[] = {
      {"1E5", 1e5},       {"  -12.5 ", -12.5},  {"+3", 3},    {".5", 0.5}, {"5.", 5},
      {"1.5e-3", 1.5e-3}, {"1.7E308", 1.7e308}, {"1e-400", 0}};
  for (const auto& [text, expected] : good) {
    double v = -1;
    EXPECT_TRUE(TextToNumber(text, v)) << text;
    EXPECT_DOUBLE_EQ(v, expected) << text;
  }
  for (const char* bad : {"1E", "2e", "1e400", "1.8E308", "", " ", "1,000", "$5", "1.2.3", "--1",
                          "e5", ".", "1e+", "12a", "0x10"}) {
    double v = -1;
    EXPECT_FALSE(TextToNumber(bad, v)) << bad;
    EXPECT_EQ(v, 0) << bad;
  }
}

TEST_F(ValueText, NumbersFollowTheSystemDecimalSeparator) {
  platform::ScopedLocale comma(test::DecimalComma());
  double v = 0;
  EXPECT_TRUE(TextToNumber("12,5", v));
  EXPECT_DOUBLE_EQ(v, 12.5);
  EXPECT_FALSE(TextToNumber("12.5", v));
  EXPECT_EQ(NumberText(12.5), "12,5");
}

// Whole numbers print as their digits up to 15 of them, and switch to the exponent form at
// the 16th, whatever path the text takes.
TEST_F(ValueText, WholeNumbersInGeneralForm) {
  std::mt19937_64 random(11);
  for (int i = 0; i < 20000; ++i) {
    const int digits = 1 + static_cast<int>(random() % 15);
    const int64_t limit = static_cast<int64_t>(std::pow(10.0, digits));
    int64_t n = static_cast<int64_t>(random() % static_cast<uint64_t>(limit));
    if (random() % 2) n = -n;
    ASSERT_EQ(NumberText(static_cast<double>(n)), std::to_string(n));
  }
  EXPECT_EQ(NumberText(999999999999999.0), "999999999999999");
  EXPECT_EQ(NumberText(1e15), "1E15");
  EXPECT_EQ(NumberText(-1e15), "-1E15");
  EXPECT_EQ(NumberText(-0.0), "0");
  EXPECT_EQ(NumberText(2.5), "2.5");
  EXPECT_EQ(GeneralNumberText(12345, 4, 0), "1.235E4");  // fewer significant digits than the number
  EXPECT_EQ(GeneralNumberText(1234, 4, 0), "1234");
}

TEST_F(ValueText, Integers) {
  const std::pair<const char*, int32_t> good[] = {{" 42 ", 42},
                                                  {"-17", -17},
                                                  {"$FF", 255},
                                                  {"x10", 16},
                                                  {"0X1f", 31},
                                                  {"0x10", 16},
                                                  {"2147483647", INT32_MAX},
                                                  {"-2147483648", INT32_MIN},
                                                  {"$FFFFFFFF", -1}};
  for (const auto& [text, expected] : good) {
    int32_t v = 0;
    EXPECT_TRUE(TextToInteger(text, v)) << text;
    EXPECT_EQ(v, expected) << text;
  }
  for (const char* bad : {"", "1.5", "2147483648", "$", "0x", "12z", "$100000000", "1 2"}) {
    int32_t v = 7;
    EXPECT_FALSE(TextToInteger(bad, v)) << bad;
    EXPECT_EQ(v, 0) << bad;
  }
}

TEST_F(ValueText, FormulaTexts) {
  for (const char* yes : {"=A1", "=SUM(A1:A3)", "  =A1  ", "= 1"})
    EXPECT_TRUE(IsFormulaText(yes)) << yes;
  for (const char* no : {"=", " = ", "A1", "'=A1", "=#REF!+1", "=1#", ""})
    EXPECT_FALSE(IsFormulaText(no)) << no;
}

TEST_F(ValueText, CurrencyWithDollarAndComma) {
  const std::pair<const char*, int64_t> good[] = {
      {"$1,234.50", 12345000}, {"1,234", 12340000}, {"12,34", 12340000},
      {"$5", 50000},           {"5$", 50000},       {"1,234.5$", 12345000},
      {"$ 1 000", 10000000},   {"0.00005$", 1},     {"1,234,567.12", 12345671200}};
  for (const auto& [text, expected] : good) {
    int64_t v = -1;
    EXPECT_TRUE(TextToCurrency(text, v)) << text;
    EXPECT_EQ(v, expected) << text;
  }
  for (const char* bad : {"1234", "1,23,456", "-$5", "$", "$$5", "1.5$0", "1.2,3", "abc", "",
                          "99999999999999999,9"}) {
    int64_t v = -1;
    EXPECT_FALSE(TextToCurrency(bad, v)) << bad;
    EXPECT_EQ(v, 0) << bad;
  }
}

TEST_F(ValueText, CurrencyUnderAnotherLocale) {
  platform::ScopedLocale comma(test::DecimalComma());
  int64_t v = 0;
  EXPECT_TRUE(TextToCurrency("1.234,50 EUR", v));
  EXPECT_EQ(v, 12345000);
  EXPECT_TRUE(TextToCurrency("EUR5", v));
  EXPECT_EQ(v, 50000);
  EXPECT_FALSE(TextToCurrency("$1,234.50", v));
  platform::ScopedLocale uk(test::DayMonthYear());
  EXPECT_TRUE(
      TextToCurrency("\xA3"
                     "1,000",
                     v));
  EXPECT_EQ(v, 10000000);
  // A system without a thousands separator groups with a comma.
  platform::LocaleSettings none = test::EnglishUS();
  none.thousandSeparator = '\0';
  platform::ScopedLocale noSeparator(none);
  EXPECT_TRUE(TextToCurrency("2,500", v));
  EXPECT_EQ(v, 25000000);
}

TEST_F(ValueText, DatesAndTimesInMonthDayYear) {
  double v = 0;
  ASSERT_TRUE(TextToDateTime("12/30/1899", v));
  EXPECT_EQ(v, 0);
  ASSERT_TRUE(TextToDateTime("1/1/1900", v));
  EXPECT_EQ(v, 2);
  ASSERT_TRUE(TextToDateTime("3/1/2024 6:00 PM", v));
  double day = 0;
  ASSERT_TRUE(EncodeDate(2024, 3, 1, day));
  EXPECT_DOUBLE_EQ(v, day + 0.75);
  ASSERT_TRUE(TextToDateTime("12:00", v));
  EXPECT_DOUBLE_EQ(v, 0.5);
  ASSERT_TRUE(TextToDateTime("6:30:15.5", v));
  EXPECT_NEAR(v, (6 * 3600 + 30 * 60 + 15.5) / 86400.0, 1e-12);
  ASSERT_TRUE(TextToDateTime("12 am", v));
  EXPECT_EQ(v, 0);
  // A leading time followed by a date keeps both.
  ASSERT_TRUE(TextToDateTime("12:00 1/1/1900", v));
  EXPECT_DOUBLE_EQ(v, 2.5);
  for (const char* bad : {"", "12", "13/1/2024", "2/30/2024", "1/1/2024 25:00", "1/1/2024 x", "abc",
                          "10:60", "13 PM", "1/1/2024 1/1/2024", "1//2024"}) {
    EXPECT_FALSE(TextToDateTime(bad, v)) << bad;
    EXPECT_EQ(v, 0) << bad;
  }
}

TEST_F(ValueText, DatesWithoutYearOrWithTwoDigits) {
  double pinned = 0;
  ASSERT_TRUE(EncodeDate(2026, 6, 15, pinned));
  platform::SetNowOverride([pinned] { return pinned; });
  double v = 0, expected = 0;
  ASSERT_TRUE(TextToDateTime("1/2", v));
  ASSERT_TRUE(EncodeDate(2026, 1, 2, expected));
  EXPECT_EQ(v, expected);
  ASSERT_TRUE(TextToDateTime("1/2/30", v));
  ASSERT_TRUE(EncodeDate(2030, 1, 2, expected));
  EXPECT_EQ(v, expected);
  ASSERT_TRUE(TextToDateTime("1/2/80", v));
  ASSERT_TRUE(EncodeDate(1980, 1, 2, expected));
  EXPECT_EQ(v, expected);
  platform::SetNowOverride(nullptr);
}

TEST_F(ValueText, DatesInDayMonthYear) {
  platform::ScopedLocale uk(test::DayMonthYear());
  double v = 0, expected = 0;
  ASSERT_TRUE(TextToDateTime("13/01/2024", v));
  ASSERT_TRUE(EncodeDate(2024, 1, 13, expected));
  EXPECT_EQ(v, expected);
  EXPECT_FALSE(TextToDateTime("01/13/2024", v));
  ASSERT_TRUE(TextToDateTime("30/12/1899 18:00", v));
  EXPECT_DOUBLE_EQ(v, 0.75);
  ASSERT_TRUE(TextToDateTime("6:00 pm", v));
  EXPECT_DOUBLE_EQ(v, 0.75);
}

TEST(DateTimeParts, EncodeDecodeRoundTrip) {
  const int dates[][3] = {{1899, 12, 30}, {1900, 3, 1},   {2000, 2, 29},
                          {1, 1, 1},      {9999, 12, 31}, {1800, 1, 1}};
  for (const auto& d : dates) {
    double v = 0;
    ASSERT_TRUE(EncodeDate(d[0], d[1], d[2], v));
    DateTimeParts p;
    // Before the epoch the time of day still counts forwards from midnight.
    ASSERT_TRUE(DecodeDateTime(v < 0 ? v - 0.25 : v + 0.25, p));
    EXPECT_EQ(p.year, d[0]);
    EXPECT_EQ(p.month, d[1]);
    EXPECT_EQ(p.day, d[2]);
    EXPECT_EQ(p.hour, 6);
  }
  double v = 0;
  EXPECT_FALSE(EncodeDate(1900, 2, 29, v));
  EXPECT_FALSE(EncodeDate(2023, 13, 1, v));
  DateTimeParts p;
  // The last millisecond of a day rounds into the next day rather than showing 24:00.
  ASSERT_TRUE(DecodeDateTime(1 - 0.1 / 86400000.0, p));
  EXPECT_EQ(p.day, 31);
  EXPECT_EQ(p.hour, 0);
  EXPECT_FALSE(DecodeDateTime(1e12, p));
  EXPECT_FALSE(DecodeDateTime(std::numeric_limits<double>::quiet_NaN(), p));
}

}  // namespace
}  // namespace workbook
