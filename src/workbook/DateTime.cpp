#include "workbook/DateTime.h"

#include <cctype>
#include <cmath>
#include <cstdint>

#include "platform/Clock.h"
#include "platform/Locale.h"

namespace workbook {
namespace {

constexpr int64_t kMsPerDay = 86400000;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's civil-days algorithm).
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

const int64_t kEpochDays = DaysFromCivil(1899, 12, 30);

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }
int DaysInMonth(int y, int m) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

bool StartsWithNoCase(std::string_view s, size_t pos, std::string_view word) {
  if (word.empty() || pos + word.size() > s.size()) return false;
  for (size_t i = 0; i < word.size(); ++i)
    if (Upper(s[pos + i]) != Upper(word[i])) return false;
  return true;
}

// Reads up to maxDigits decimal digits at pos; false when there is none.
bool ScanNumber(std::string_view s, size_t& pos, int maxDigits, int& value, int& digits) {
  value = 0;
  digits = 0;
  while (pos < s.size() && std::isdigit(static_cast<unsigned char>(s[pos])) && digits < maxDigits) {
    value = value * 10 + (s[pos] - '0');
    ++pos;
    ++digits;
  }
  return digits > 0;
}

int CurrentYear() {
  DateTimeParts now;
  if (!DecodeDateTime(platform::Now(), now)) return 2000;
  return now.year;
}

// Order of day, month and year in the short date pattern: "DMY", "MDY" or "YMD".
std::string DateOrder(const std::string& pattern) {
  std::string order;
  for (char c : pattern) {
    const char u = Upper(c);
    if ((u == 'D' || u == 'M' || u == 'Y') && order.find(u) == std::string::npos) order += u;
  }
  if (order.size() != 3) return "MDY";
  return order;
}

std::string Pad(int value, int width) {
  std::string s = std::to_string(value);
  while (static_cast<int>(s.size()) < width) s.insert(s.begin(), '0');
  return s;
}

const char* const kShortDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kLongDays[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                  "Thursday", "Friday", "Saturday"};

void AppendFormatted(std::string& out, std::string_view pattern, const DateTimeParts& p, int depth);

}  // namespace

bool EncodeDate(int year, int month, int day, double& value) {
  value = 0;
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month))
    return false;
  value = static_cast<double>(DaysFromCivil(year, month, day) - kEpochDays);
  return true;
}

bool EncodeTime(int hour, int minute, int second, int millisecond, double& value) {
  value = 0;
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
      millisecond < 0 || millisecond > 999)
    return false;
  value = (((hour * 60 + minute) * 60 + second) * 1000.0 + millisecond) / kMsPerDay;
  return true;
}

bool DecodeDateTime(double value, DateTimeParts& parts) {
  // Years 1..9999 span about -693593 .. 2958465 days.
  if (!std::isfinite(value) || value < -693594.0 || value > 2958466.0) return false;
  double whole = std::trunc(value);
  int64_t ms = std::llround(std::fabs(value - whole) * kMsPerDay);
  int64_t days = static_cast<int64_t>(whole);
  if (ms >= kMsPerDay) {  // rounding reached the next day
    ms -= kMsPerDay;
    days += value < 0 ? -1 : 1;
  }
  CivilFromDays(days + kEpochDays, parts.year, parts.month, parts.day);
  if (parts.year < 1 || parts.year > 9999) return false;
  parts.hour = static_cast<int>(ms / 3600000);
  parts.minute = static_cast<int>(ms / 60000 % 60);
  parts.second = static_cast<int>(ms / 1000 % 60);
  parts.millisecond = static_cast<int>(ms % 1000);
  const int64_t unixDays = days + kEpochDays;  // 1970-01-01 was a Thursday
  parts.dayOfWeek = static_cast<int>(((unixDays % 7) + 7 + 4) % 7);
  return true;
}

bool TextToDate(std::string_view text, double& value) {
  value = 0;
  const auto& locale = platform::Locale::Current();
  std::string_view s = Trim(text);
  int numbers[3] = {0, 0, 0};
  int digitCounts[3] = {0, 0, 0};
  int count = 0;
  size_t pos = 0;
  while (count < 3) {
    while (pos < s.size() && s[pos] == ' ') ++pos;
    if (!ScanNumber(s, pos, 4, numbers[count], digitCounts[count])) return false;
    ++count;
    while (pos < s.size() && s[pos] == ' ') ++pos;
    if (pos >= s.size()) break;
    if (s[pos] != locale.dateSeparator) return false;
    ++pos;
  }
  if (pos != s.size() || count < 2) return false;
  const std::string order = DateOrder(locale.shortDateFormat);
  int year = 0, month = 0, day = 0;
  bool yearGiven = count == 3;
  int yearDigits = 4;
  int slot = 0;
  for (char part : order) {
    if (part == 'Y' && !yearGiven) continue;
    if (slot >= count) return false;
    if (part == 'Y') {
      year = numbers[slot];
      yearDigits = digitCounts[slot];
    } else if (part == 'M') {
      month = numbers[slot];
    } else {
      day = numbers[slot];
    }
    ++slot;
  }
  const int current = CurrentYear();
  if (!yearGiven) {
    year = current;
  } else if (yearDigits <= 2) {
    // The century whose years lie within fifty years of now.
    const int base = current - 50;
    year += base / 100 * 100;
    if (year < base) year += 100;
  }
  return EncodeDate(year, month, day, value);
}

bool TextToTime(std::string_view text, double& value) {
  value = 0;
  const auto& locale = platform::Locale::Current();
  std::string_view s = Trim(text);
  size_t pos = 0;
  int hour = 0, minute = 0, second = 0, ms = 0, digits = 0;
  if (!ScanNumber(s, pos, 2, hour, digits)) return false;
  bool hasSeparator = false;
  if (pos < s.size() && s[pos] == locale.timeSeparator) {
    hasSeparator = true;
    ++pos;
    if (!ScanNumber(s, pos, 2, minute, digits)) return false;
    if (pos < s.size() && s[pos] == locale.timeSeparator) {
      ++pos;
      if (!ScanNumber(s, pos, 2, second, digits)) return false;
      if (pos < s.size() && s[pos] == locale.decimalSeparator) {
        ++pos;
        if (!ScanNumber(s, pos, 3, ms, digits)) return false;
        while (digits++ < 3) ms *= 10;
      }
    }
  }
  while (pos < s.size() && s[pos] == ' ') ++pos;
  int meridian = 0;  // 1 AM, 2 PM
  if (pos < s.size()) {
    const std::string_view words[4] = {locale.timeAMString, locale.timePMString, "AM", "PM"};
    for (int i = 0; i < 4 && meridian == 0; ++i) {
      if (StartsWithNoCase(s, pos, words[i]) && pos + words[i].size() == s.size()) {
        meridian = i % 2 == 0 ? 1 : 2;
        pos = s.size();
      }
    }
    if (meridian == 0) return false;
  }
  if (!hasSeparator && meridian == 0) return false;
  if (meridian != 0) {
    if (hour < 1 || hour > 12) return false;
    if (hour == 12) hour = 0;
    if (meridian == 2) hour += 12;
  }
  return EncodeTime(hour, minute, second, ms, value);
}

std::string ShortTimePattern() {
  const std::string& full = platform::Locale::Current().longTimeFormat;
  std::string result;
  // Drop a seconds field together with the separator in front of it.
  for (size_t i = 0; i < full.size(); ++i) {
    const char u = Upper(full[i]);
    if (u == 'S') {
      while (!result.empty() && (result.back() == ':' || result.back() == '.' ||
                                 result.back() == platform::Locale::Current().timeSeparator))
        result.pop_back();
      while (i + 1 < full.size() && Upper(full[i + 1]) == 'S') ++i;
      continue;
    }
    result += full[i];
  }
  return result;
}

namespace {

void AppendFormatted(std::string& out, std::string_view pattern, const DateTimeParts& p,
                     int depth) {
  const auto& locale = platform::Locale::Current();
  // A 12-hour clock is used when the pattern holds an AM/PM field anywhere.
  bool twelveHour = false;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (StartsWithNoCase(pattern, i, "am/pm") || StartsWithNoCase(pattern, i, "a/p") ||
        StartsWithNoCase(pattern, i, "ampm"))
      twelveHour = true;
  }
  char lastLetter = 0;
  size_t i = 0;
  while (i < pattern.size()) {
    const char c = pattern[i];
    const char u = Upper(c);
    size_t run = 1;
    while (i + run < pattern.size() && Upper(pattern[i + run]) == u) ++run;
    if (c == '"' || c == '\'') {
      size_t end = pattern.find(c, i + 1);
      if (end == std::string_view::npos) end = pattern.size();
      out.append(pattern.substr(i + 1, end - i - 1));
      i = end + 1;
      continue;
    }
    if (StartsWithNoCase(pattern, i, "am/pm")) {
      out += p.hour < 12 ? locale.timeAMString : locale.timePMString;
      i += 5;
      continue;
    }
    if (StartsWithNoCase(pattern, i, "a/p")) {
      out += p.hour < 12 ? (c == 'A' ? "A" : "a") : (c == 'A' ? "P" : "p");
      i += 3;
      continue;
    }
    if (StartsWithNoCase(pattern, i, "ampm")) {
      out += p.hour < 12 ? locale.timeAMString : locale.timePMString;
      i += 4;
      continue;
    }
    switch (u) {
      case 'D':
        if (run == 1)
          out += std::to_string(p.day);
        else if (run == 2)
          out += Pad(p.day, 2);
        else if (run == 3)
          out += kShortDays[p.dayOfWeek];
        else if (run == 4)
          out += kLongDays[p.dayOfWeek];
        else if (depth == 0)
          AppendFormatted(out, locale.shortDateFormat, p, 1);
        break;
      case 'M':
        if (run <= 2 && (lastLetter == 'H')) {
          out += run == 1 ? std::to_string(p.minute) : Pad(p.minute, 2);
        } else if (run == 1) {
          out += std::to_string(p.month);
        } else if (run == 2) {
          out += Pad(p.month, 2);
        } else if (run == 3) {
          out += locale.shortMonthNames[p.month - 1];
        } else {
          out += locale.longMonthNames[p.month - 1];
        }
        break;
      case 'Y':
        out += run <= 2 ? Pad(p.year % 100, 2) : Pad(p.year, 4);
        break;
      case 'H': {
        int hour = p.hour;
        if (twelveHour) {
          hour %= 12;
          if (hour == 0) hour = 12;
        }
        out += run == 1 ? std::to_string(hour) : Pad(hour, 2);
        break;
      }
      case 'N':
        out += run == 1 ? std::to_string(p.minute) : Pad(p.minute, 2);
        break;
      case 'S':
        out += run == 1 ? std::to_string(p.second) : Pad(p.second, 2);
        break;
      case 'Z':
        out += run >= 3 ? Pad(p.millisecond, 3) : std::to_string(p.millisecond);
        break;
      case 'T':
        if (depth == 0)
          AppendFormatted(out, run == 1 ? ShortTimePattern() : locale.longTimeFormat, p, 1);
        break;
      case 'C':
        if (depth == 0) {
          AppendFormatted(out, locale.shortDateFormat, p, 1);
          out += ' ';
          AppendFormatted(out, locale.longTimeFormat, p, 1);
        }
        break;
      case '/':
        out.append(run, locale.dateSeparator);
        break;
      case ':':
        out.append(run, locale.timeSeparator);
        break;
      default:
        out.append(pattern.substr(i, run));
        break;
    }
    if (u == 'D' || u == 'M' || u == 'Y' || u == 'H' || u == 'N' || u == 'S') lastLetter = u;
    i += run;
  }
}

}  // namespace

std::string FormatDateTime(std::string_view pattern, double value) {
  DateTimeParts parts;
  if (!DecodeDateTime(value, parts)) return std::string();
  std::string out;
  AppendFormatted(out, pattern, parts, 0);
  return out;
}

}  // namespace workbook
