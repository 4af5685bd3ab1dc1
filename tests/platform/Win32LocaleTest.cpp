// The Win32 locale reader against fixed locales, never the machine's own: German and
// English (United States) conventions are stable in every Windows and Wine release.
#ifdef _WIN32
#include <gtest/gtest.h>

#include "platform/Locale.h"
#include "platform/win32/LocaleWin32.h"

using namespace platform;

namespace {
constexpr uint32_t kGermanGermany = 0x0407;
constexpr uint32_t kEnglishUS = 0x0409;
constexpr uint32_t kEnglishUK = 0x0809;

// A date pattern reduced to its order: "dd.MM.yyyy" and "d.M.yyyy" both read "d.M.y".
// Windows and Wine releases differ in leading zeros, never in order or separators.
std::string Order(const std::string& pattern) {
  std::string out;
  for (char c : pattern)
    if (out.empty() || out.back() != c) out += c;
  return out;
}
}  // namespace

TEST(Win32Locale, GermanSeparatorsDatesAndMonthNames) {
  LocaleSettings de = win32::ReadLocale(kGermanGermany);
  EXPECT_EQ(de.decimalSeparator, ',');
  EXPECT_EQ(de.thousandSeparator, '.');
  EXPECT_EQ(de.listSeparator, ';');
  EXPECT_EQ(de.dateSeparator, '.');
  EXPECT_EQ(de.timeSeparator, ':');
  EXPECT_EQ(Order(de.shortDateFormat), "d.M.y");
  EXPECT_NE(de.shortDateFormat.find("yyyy"), std::string::npos);
  EXPECT_EQ(de.longTimeFormat, "HH:mm:ss");
  EXPECT_EQ(de.longMonthNames[0], "Januar");
  EXPECT_EQ(de.longMonthNames[2], "M\xE4rz");  // a-umlaut in the 8-bit page
  EXPECT_EQ(de.longMonthNames[11], "Dezember");
  EXPECT_EQ(de.currencyString, "\x80");  // euro sign
}

TEST(Win32Locale, EnglishUSMatchesThePortableDefaults) {
  LocaleSettings us = win32::ReadLocale(kEnglishUS);
  LocaleSettings portable = LocaleSettings::EnglishUS();
  EXPECT_EQ(us.decimalSeparator, portable.decimalSeparator);
  EXPECT_EQ(us.thousandSeparator, portable.thousandSeparator);
  EXPECT_EQ(us.listSeparator, portable.listSeparator);
  EXPECT_EQ(us.dateSeparator, portable.dateSeparator);
  EXPECT_EQ(us.currencyString, portable.currencyString);
  EXPECT_EQ(us.shortDateFormat, portable.shortDateFormat);
  EXPECT_EQ(us.longTimeFormat, portable.longTimeFormat);  // "tt" read as AMPM
  EXPECT_EQ(us.timeAMString, "AM");
  EXPECT_EQ(us.timePMString, "PM");
  EXPECT_EQ(us.longMonthNames, portable.longMonthNames);
  EXPECT_EQ(us.shortMonthNames, portable.shortMonthNames);
}

TEST(Win32Locale, EnglishUKUsesDayMonthYearAndThePound) {
  LocaleSettings uk = win32::ReadLocale(kEnglishUK);
  EXPECT_EQ(Order(uk.shortDateFormat), "d/M/y");
  EXPECT_EQ(uk.currencyString, "\xA3");
  EXPECT_EQ(uk.longTimeFormat, "HH:mm:ss");
}

TEST(Win32Locale, TimePatternDesignatorsBecomeAmPm) {
  EXPECT_EQ(win32::TranslateTimePattern("h:mm:ss tt"), "h:mm:ss AMPM");
  EXPECT_EQ(win32::TranslateTimePattern("tt h:mm"), "AMPM h:mm");
  EXPECT_EQ(win32::TranslateTimePattern("H:mm t"), "H:mm AMPM");
  EXPECT_EQ(win32::TranslateTimePattern("HH'h'mm 'at' tt"), "HH'h'mm 'at' AMPM");  // quoted t stays
}

TEST(Win32Locale, SystemLocaleIsCompleteAndInstallable) {
  LocaleSettings system = Locale::System();
  EXPECT_NE(system.decimalSeparator, '\0');
  EXPECT_NE(system.decimalSeparator, system.thousandSeparator);
  EXPECT_FALSE(system.shortDateFormat.empty());
  EXPECT_FALSE(system.longTimeFormat.empty());
  for (const std::string& month : system.longMonthNames) EXPECT_FALSE(month.empty());
  LocaleSettings german = win32::ReadLocale(kGermanGermany);
  ScopedLocale scope(german);
  EXPECT_EQ(Order(Locale::Current().shortDateFormat), "d.M.y");
}
#endif
