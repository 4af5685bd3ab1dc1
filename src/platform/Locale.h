#pragma once
// The locale facts that number, date and currency texts depend on.
//
// Every caller reads `Locale::Current()` at the moment it formats or parses, so a test can
// install the conventions it assumes with `ScopedLocale` and never depends on the machine.
// The process starts with the system's settings (Windows: the user locale; elsewhere the
// English (United States) conventions).
#include <array>
#include <string>

namespace platform {

struct LocaleSettings {
  char decimalSeparator = '.';
  char thousandSeparator = ',';  // '\0' when the system has none
  char listSeparator = ',';
  char dateSeparator = '/';
  char timeSeparator = ':';
  std::string currencyString = "$";
  std::string shortDateFormat = "M/d/yyyy";  // pattern letters as the system gives them
  std::string longTimeFormat = "h:mm:ss AMPM";
  std::string timeAMString = "AM";
  std::string timePMString = "PM";
  std::array<std::string, 12> longMonthNames{"January",   "February", "March",    "April",
                                             "May",       "June",     "July",     "August",
                                             "September", "October",  "November", "December"};
  std::array<std::string, 12> shortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

  // English (United States) conventions, the portable default.
  static LocaleSettings EnglishUS();
  // English (United Kingdom): day/month/year dates, 24-hour time, pound sign as currency.
  static LocaleSettings EnglishUK();
};

class Locale {
 public:
  // The settings in force now. Never null; valid until the next `SetCurrent`.
  static const LocaleSettings& Current();
  static void SetCurrent(const LocaleSettings& settings);
  // Reads the operating system's settings again (Windows: the user locale).
  static LocaleSettings System();
};

// Installs settings for a scope and restores the previous ones after it (tests).
class ScopedLocale {
 public:
  explicit ScopedLocale(const LocaleSettings& settings) : saved_(Locale::Current()) {
    Locale::SetCurrent(settings);
  }
  ~ScopedLocale() { Locale::SetCurrent(saved_); }
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;

 private:
  LocaleSettings saved_;
};

}  // namespace platform
