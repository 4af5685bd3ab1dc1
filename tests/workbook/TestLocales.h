#pragma once
// Locales the workbook tests assume, installed per test with platform::ScopedLocale.
#include "platform/Locale.h"

namespace workbook::test {

// English with "," for thousands and "." for decimals, month/day/year dates.
inline platform::LocaleSettings EnglishUS() { return platform::LocaleSettings::EnglishUS(); }

// Day/month/year dates, 24-hour time, pound currency.
inline platform::LocaleSettings DayMonthYear() { return platform::LocaleSettings::EnglishUK(); }

// "." for thousands and "," for decimals, dotted dates, a three-letter currency text.
inline platform::LocaleSettings DecimalComma() {
  platform::LocaleSettings s = platform::LocaleSettings::EnglishUK();
  s.decimalSeparator = ',';
  s.thousandSeparator = '.';
  s.dateSeparator = '.';
  s.shortDateFormat = "dd.MM.yyyy";
  s.currencyString = "EUR";
  return s;
}

}  // namespace workbook::test
